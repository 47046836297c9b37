#include "gpx/gpx_reader.h"

#include <QDir>
#include <QXmlStreamReader>
#include <charconv>
#include <string>

#include "format/failure.h"
#include "gpx/gpx_document.h"
#include "gpx/gpx_failures.h"

namespace {

bool IsXmlSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// A decimal number as xsd:decimal writes it ("[+-]digits[.digits]", blanks around); an exponent is
// taken too, since some writers use one. Infinity, NaN and hexadecimal are not numbers here.
std::optional<double> ParseNumber(QStringView text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsXmlSpace(text[begin])) ++begin;
    while (end > begin && IsXmlSpace(text[end - 1])) --end;
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(end - begin));
    qsizetype at = begin;
    if (at < end && (text[at] == u'+' || text[at] == u'-')) {
        if (text[at] == u'-') ascii += '-';
        ++at;
    }
    int mantissaDigits = 0;
    bool point = false;
    for (; at < end; ++at) {
        const char16_t u = text[at].unicode();
        if (u >= '0' && u <= '9') {
            ++mantissaDigits;
        } else if (u == '.' && !point) {
            point = true;
        } else {
            break;
        }
        ascii += static_cast<char>(u);
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (at < end && (text[at] == u'e' || text[at] == u'E')) {
        ascii += 'e';
        ++at;
        if (at < end && (text[at] == u'+' || text[at] == u'-')) ascii += static_cast<char>(text[at++].unicode());
        int exponentDigits = 0;
        for (; at < end && text[at] >= u'0' && text[at] <= u'9'; ++at, ++exponentDigits)
            ascii += static_cast<char>(text[at].unicode());
        if (exponentDigits == 0) return std::nullopt;
    }
    if (at != end) return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size()) return std::nullopt;
    return value;
}

enum class Taken { None, Track, Route };

class GpxParser {
  public:
    GpxParser(const QByteArray& bytes, const QString& file) : xml_(bytes), file_(file) {}

    std::vector<GpxPoint> Run() {
        ns_ = OpenGpxRoot(xml_, file_);
        while (xml_.readNextStartElement()) {
            if (!Ours()) {
                xml_.skipCurrentElement();
            } else if (xml_.name() == u"wpt") {
                Keep(waypoints_, ReadPoint());
            } else if (xml_.name() == u"rte") {
                ReadPath(Taken::Route, u"rtept", nullptr);
            } else if (xml_.name() == u"trk") {
                ReadPath(Taken::Track, u"trkpt", u"trkseg");
            } else {
                xml_.skipCurrentElement();
            }
        }
        FinishGpxDocument(xml_, file_);

        std::vector<GpxPoint>& points = taken_ != Taken::None ? path_ : waypoints_;
        if (points.empty()) throw Failure(GpxNoPointsText(file_));
        if (points.size() > MaxGpxPoints) throw Failure(GpxTooManyPointsText(file_, MaxGpxPoints));
        return std::move(points);
    }

  private:
    bool Ours() const { return xml_.namespaceUri() == ns_; }

    // One point past the limit is kept, so that the limit's failure can be told at the end.
    static void Keep(std::vector<GpxPoint>& into, GpxPoint&& point) {
        if (into.size() <= MaxGpxPoints) into.push_back(std::move(point));
    }

    // A track (points inside its segments) or a route (points directly inside). The first one
    // with points is taken, a track before any route; later ones are read only to check them.
    void ReadPath(Taken kind, QStringView pointName, const char16_t* segmentName) {
        const bool take = taken_ == Taken::None || (taken_ == Taken::Route && kind == Taken::Track);
        std::vector<GpxPoint> points;
        const auto readPoints = [&] {
            while (xml_.readNextStartElement()) {
                if (Ours() && xml_.name() == pointName) {
                    GpxPoint point = ReadPoint();
                    if (take) Keep(points, std::move(point));
                } else {
                    xml_.skipCurrentElement();
                }
            }
        };
        if (segmentName == nullptr) {
            readPoints();
        } else {
            while (xml_.readNextStartElement()) {
                if (Ours() && xml_.name() == segmentName)
                    readPoints();
                else
                    xml_.skipCurrentElement();
            }
        }
        if (take && !points.empty()) {
            path_ = std::move(points);
            taken_ = kind;
        }
    }

    double Coordinate(const QString& element, QLatin1String attribute, const QString& what) {
        if (!xml_.attributes().hasAttribute(attribute))
            throw Failure(GpxMissingCoordinateText(file_, line_, element, what));
        const QStringView text = xml_.attributes().value(attribute);
        const std::optional<double> value = ParseNumber(text);
        if (!value) throw Failure(GpxNotNumberText(file_, line_, element, what, text.toString()));
        return *value;
    }

    GpxPoint ReadPoint() {
        const QString element = xml_.name().toString();
        line_ = xml_.lineNumber();
        GpxPoint point;
        point.Lat = Coordinate(element, QLatin1String("lat"), QStringLiteral("緯度"));
        point.Lng = Coordinate(element, QLatin1String("lon"), QStringLiteral("経度"));
        if (!(point.Lat >= -90 && point.Lat <= 90))
            throw Failure(
                GpxLatitudeRangeText(file_, line_, element, xml_.attributes().value(QLatin1String("lat")).toString()));
        if (!(point.Lng >= -180 && point.Lng <= 180))
            throw Failure(
                GpxLongitudeRangeText(file_, line_, element, xml_.attributes().value(QLatin1String("lon")).toString()));
        while (xml_.readNextStartElement()) {
            if (Ours() && xml_.name() == u"ele") {
                const QString text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
                if (xml_.hasError()) ThrowGpxXmlError(xml_, file_);
                // Some writers leave an empty ele for an unknown elevation.
                if (text.trimmed().isEmpty()) continue;
                point.Elevation = ParseNumber(text);
                if (!point.Elevation)
                    throw Failure(GpxNotNumberText(file_, line_, element, QStringLiteral("標高"), text));
            } else if (Ours() && xml_.name() == u"name") {
                point.Name = xml_.readElementText(QXmlStreamReader::SkipChildElements);
            } else {
                xml_.skipCurrentElement();
            }
        }
        return point;
    }

    QXmlStreamReader xml_;
    QString file_;
    QString ns_;
    qint64 line_ = 0;
    std::vector<GpxPoint> waypoints_;
    std::vector<GpxPoint> path_;
    Taken taken_ = Taken::None;
};

}  // namespace

std::vector<GpxPoint> ReadGpx(const QByteArray& bytes, const QString& file) {
    if (bytes.size() > MaxGpxBytes) throw Failure(GpxTooLargeText(file, bytes.size()));
    return GpxParser(bytes, file).Run();
}

std::vector<GpxPoint> ReadGpxFile(const QString& path) {
    return ReadGpx(ReadGpxBytes(path), QDir::toNativeSeparators(path));
}
