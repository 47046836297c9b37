#include "gpx/route_snapshot.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>
#include <cerrno>
#include <optional>

#include "fileio/file_fault.h"
#include "format/failure.h"
#include "gpx/gpx_document.h"
#include "gpx/gpx_failures.h"
#include "gpx/hex_float.h"

namespace {

// A capacity beyond this is taken for damage rather than allocated.
constexpr int MaxSnapshotCapacity = 10'000'000;

class SnapshotParser {
  public:
    SnapshotParser(QXmlStreamReader& xml, const QString& file) : xml_(xml), file_(file) {}

    // Reads up to the exact route; with headOnly it stops at its counts, else it reads the rest
    // of the document too.
    void Run(bool headOnly) {
        ns_ = OpenGpxRoot(xml_, file_);
        while (xml_.readNextStartElement()) {
            if (xml_.namespaceUri() == ns_ && xml_.name() == u"metadata") {
                ReadMetadata(headOnly);
                if (headOnly && found_) return;
            } else {
                xml_.skipCurrentElement();
            }
        }
        FinishGpxDocument(xml_, file_);
        if (!found_) throw Failure(GpxNoSnapshotText(file_));
    }

    RouteSnapshot snapshot;

  private:
    void ReadMetadata(bool headOnly) {
        while (xml_.readNextStartElement()) {
            if (xml_.namespaceUri() == ns_ && xml_.name() == u"time") {
                const QString text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
                snapshot.Time = QDateTime::fromString(text.trimmed(), Qt::ISODate).toUTC();
            } else if (xml_.namespaceUri() == ns_ && xml_.name() == u"extensions") {
                while (xml_.readNextStartElement()) {
                    if (!found_ && xml_.namespaceUri() == SnapshotNamespace && xml_.name() == u"route") {
                        found_ = true;
                        ReadHead();
                        if (headOnly) return;
                        ReadPoints();
                    } else {
                        xml_.skipCurrentElement();
                    }
                }
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    [[noreturn]] void Broken(const QString& detail) const {
        if (xml_.hasError()) ThrowGpxXmlError(xml_, file_);
        throw Failure(GpxBrokenSnapshotText(file_, detail));
    }

    QStringView Attribute(QStringView name) const {
        const QXmlStreamAttributes attributes = xml_.attributes();
        for (const QXmlStreamAttribute& a : attributes)
            if (a.namespaceUri().isEmpty() && a.name() == name) return a.value();
        Broken(QStringLiteral("%1 行目に %2 がありません").arg(QString::number(xml_.lineNumber()), name.toString()));
    }

    [[noreturn]] void Unreadable(QStringView name, QStringView value) const {
        Unreadable(xml_.lineNumber(), name, value);
    }

    [[noreturn]] void Unreadable(qint64 line, QStringView name, QStringView value) const {
        Broken(QStringLiteral("%1 行目の %2 の値「%3」が読めません")
                   .arg(QString::number(line), name.toString(), value.toString()));
    }

    int Whole(QStringView name) const {
        const QStringView text = Attribute(name);
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok || value < 0 || text.startsWith(u'+')) Unreadable(name, text);
        return value;
    }

    double Double(QStringView name) const {
        const QStringView text = Attribute(name);
        const std::optional<double> value = ParseHexFloat(text);
        if (!value) Unreadable(name, text);
        return *value;
    }

    float Single(QStringView name) const { return Single(xml_.lineNumber(), name, Attribute(name)); }

    float Single(qint64 line, QStringView name, QStringView text) const {
        const std::optional<double> value = ParseHexFloat(text);
        if (!value || static_cast<double>(static_cast<float>(*value)) != *value) Unreadable(line, name, text);
        return static_cast<float>(*value);
    }

    QString Utf16(qint64 line, QStringView text) const {
        if (text == u"-") return QString();
        if (text.isEmpty() || text.size() % 4 != 0) Unreadable(line, u"name", text);
        QString result(text.size() / 4, Qt::Uninitialized);
        for (qsizetype i = 0; i < result.size(); ++i) {
            char16_t unit = 0;
            for (const QChar c : text.mid(i * 4, 4)) {
                const int d = QStringView(u"0123456789abcdef").indexOf(c);
                if (d < 0) Unreadable(line, u"name", text);
                unit = static_cast<char16_t>(unit * 16 + d);
            }
            result[i] = QChar(unit);
        }
        return result;
    }

    void ReadHead() {
        RouteTable& table = snapshot.Table;
        table.PointCount = Whole(u"pointCount");
        table.Capacity = Whole(u"capacity");
        if (table.Capacity > MaxSnapshotCapacity || (table.PointCount > 0 && table.PointCount >= table.Capacity))
            Broken(QStringLiteral("点数 %1 と配列の長さ %2 が合いません")
                       .arg(QString::number(table.PointCount), QString::number(table.Capacity)));
        RouteStats& stats = snapshot.Stats;
        stats.TotalKm = Double(u"totalKm");
        stats.LastSegmentKm = Double(u"lastSegmentKm");
        stats.ClimbTotal = Single(u"climbTotal");
        stats.DescentTotal = Single(u"descentTotal");
        stats.MaxElevation = Single(u"maxElevation");
        stats.MinElevation = Single(u"minElevation");
        stats.CurrentElevation = Single(u"currentElevation");
    }

    void ReadPoints() {
        RouteTable& table = snapshot.Table;
        AllocateRoute(table);
        std::vector<bool> seen(static_cast<std::size_t>(table.Capacity));
        bool seenLines = false;
        while (xml_.readNextStartElement()) {
            if (!snapshot.Shown && xml_.namespaceUri() == SnapshotNamespace && xml_.name() == u"readouts") {
                ReadReadouts();
                continue;
            }
            if (seenLines || xml_.namespaceUri() != SnapshotNamespace || xml_.name() != u"slots") {
                xml_.skipCurrentElement();
                continue;
            }
            seenLines = true;
            qint64 line = xml_.lineNumber();
            const QString text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
            if (xml_.hasError()) ThrowGpxXmlError(xml_, file_);
            for (const QStringView row : QStringView(text).split(u'\n')) {
                if (!row.trimmed().isEmpty()) ReadSlot(line, row, seen);
                ++line;
            }
        }
        if (xml_.hasError()) ThrowGpxXmlError(xml_, file_);
        for (int i = 1; i <= table.PointCount; ++i)
            if (!seen[i]) Broken(QStringLiteral("番号 %1 の点がありません").arg(QString::number(i)));
    }

    // "key text" lines as ReadoutLines writes them; unknown keys are passed over.
    void ReadReadouts() {
        Readouts shown;
        qint64 line = xml_.lineNumber();
        const QString text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
        if (xml_.hasError()) ThrowGpxXmlError(xml_, file_);
        QString* const fields[] = {&shown.Memo3,      &shown.Memo4,         &shown.memo5,  &shown.Memo6,
                                   &shown.Memo7,      &shown.Memo10,        &shown.Memo11, &shown.Edit1,
                                   &shown.CourseTime, &shown.CourseConstant};
        static constexpr const char16_t* names[] = {u"Memo3",  u"Memo4",  u"memo5", u"Memo6",      u"Memo7",
                                                    u"Memo10", u"Memo11", u"Edit1", u"CourseTime", u"CourseConstant"};
        for (const QStringView row : QStringView(text).split(u'\n')) {
            const QList<QStringView> parts = row.split(u' ', Qt::SkipEmptyParts);
            if (parts.isEmpty()) {
                ++line;
                continue;
            }
            if (parts.size() != 2)
                Broken(QStringLiteral("%1 行目の項目が 2 つではありません").arg(QString::number(line)));
            const QString value = Utf16(line, parts[1]);
            if (parts[0] == u"row") {
                shown.ListBox1 << value;
            } else if (parts[0] == u"ListBox1TopIndex") {
                bool ok = false;
                shown.ListBox1TopIndex = value.toInt(&ok);
                if (!ok) Unreadable(line, parts[0], value);
            } else {
                for (std::size_t k = 0; k < std::size(names); ++k)
                    if (parts[0] == QStringView(names[k])) *fields[k] = value;
            }
            ++line;
        }
        snapshot.Shown = std::move(shown);
    }

    // "i lat lng ele cum seg name" as SlotLines writes it.
    void ReadSlot(qint64 line, QStringView row, std::vector<bool>& seen) {
        RouteTable& table = snapshot.Table;
        const QList<QStringView> fields = row.split(u' ', Qt::SkipEmptyParts);
        if (fields.size() != 7) Broken(QStringLiteral("%1 行目の項目が 7 つではありません").arg(QString::number(line)));
        bool ok = false;
        const int i = fields[0].toInt(&ok);
        if (!ok || i < 0 || fields[0].startsWith(u'+')) Unreadable(line, u"i", fields[0]);
        if (i >= table.Capacity) Broken(QStringLiteral("番号 %1 の点が配列の外です").arg(QString::number(i)));
        if (seen[i]) Broken(QStringLiteral("番号 %1 の点が二つあります").arg(QString::number(i)));
        seen[i] = true;
        table.Lat[i] = Single(line, u"lat", fields[1]);
        table.Lng[i] = Single(line, u"lng", fields[2]);
        table.Elevation[i] = Single(line, u"ele", fields[3]);
        table.CumulativeKm[i] = Single(line, u"cum", fields[4]);
        table.SegmentKm[i] = Single(line, u"seg", fields[5]);
        table.PointName[i] = Utf16(line, fields[6]);
    }

    QXmlStreamReader& xml_;
    QString file_;
    QString ns_;
    bool found_ = false;
};

}  // namespace

RouteSnapshot ReadRouteSnapshot(const QByteArray& bytes, const QString& file) {
    if (bytes.size() > MaxGpxBytes) throw Failure(GpxTooLargeText(file, bytes.size()));
    QXmlStreamReader xml(bytes);
    SnapshotParser parser(xml, file);
    parser.Run(false);
    return std::move(parser.snapshot);
}

RouteSnapshot ReadRouteSnapshotFile(const QString& path) {
    return ReadRouteSnapshot(ReadGpxBytes(path), QDir::toNativeSeparators(path));
}

AutosaveSummary ReadAutosaveSummaryFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const int error = errno;
        throw ReadFault(path, error, file.errorString());
    }
    if (file.size() > MaxGpxBytes) throw Failure(GpxTooLargeText(shown, file.size()));
    // The reader pulls from the file as it goes and stops at the counts near the top.
    QXmlStreamReader xml(&file);
    SnapshotParser parser(xml, shown);
    parser.Run(true);
    return {parser.snapshot.Table.PointCount, parser.snapshot.Time};
}
