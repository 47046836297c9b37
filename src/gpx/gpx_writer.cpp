#include "gpx/gpx_writer.h"

#include <QXmlStreamWriter>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "format/checked_float.h"
#include "format/failure.h"
#include "gpx/gpx_document.h"
#include "gpx/gpx_failures.h"
#include "gpx/hex_float.h"

QString ShortestDecimal(float value) {
    RequireFinite(value);
    // xsd:decimal has no exponent, so the shortest form is asked for in fixed notation.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

namespace {

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Text content keeps every character XML 1.0 can carry; a carriage return goes out as a character
// reference, since a parser turns a literal one into a line feed. Characters XML cannot carry at
// all (most control characters, lone surrogates) become U+FFFD.
void WriteText(QXmlStreamWriter& xml, const QString& text) {
    QString run;
    run.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            run += c;
            run += text[++i];
        } else if (c == u'\r') {
            if (!run.isEmpty()) xml.writeCharacters(run);
            run.clear();
            xml.writeEntityReference(QStringLiteral("#13"));
        } else if (c.isSurrogate() || !IsXmlChar(c.unicode())) {
            run += QChar(QChar::ReplacementCharacter);
        } else {
            run += c;
        }
    }
    if (!run.isEmpty()) xml.writeCharacters(run);
}

void WriteTextElement(QXmlStreamWriter& xml, const QString& element, const QString& text) {
    xml.writeStartElement(element);
    WriteText(xml, text);
    xml.writeEndElement();
}

void WritePoint(QXmlStreamWriter& xml, const QString& element, const RouteTable& table, int i) {
    xml.writeStartElement(element);
    xml.writeAttribute(QStringLiteral("lat"), ShortestDecimal(table.Lat[i]));
    xml.writeAttribute(QStringLiteral("lon"), ShortestDecimal(table.Lng[i]));
    xml.writeTextElement(QStringLiteral("ele"), ShortestDecimal(table.Elevation[i]));
    if (!table.PointName[i].isEmpty()) WriteTextElement(xml, QStringLiteral("name"), table.PointName[i]);
    xml.writeEndElement();
}

// UTF-16 code units in hexadecimal, "-" for an empty text.
void AppendUtf16Hex(std::string& out, const QString& text) {
    static constexpr char digits[] = "0123456789abcdef";
    if (text.isEmpty()) out += '-';
    for (const QChar c : text)
        for (int shift = 12; shift >= 0; shift -= 4) out += digits[(c.unicode() >> shift) & 0xf];
}

QString Hex(float value) { return HexFloatText(static_cast<double>(value)); }

bool IsUntouched(const RouteTable& table, int i) {
    const auto zero = [](float v) { return std::bit_cast<std::uint32_t>(v) == 0; };
    return zero(table.Lat[i]) && zero(table.Lng[i]) && zero(table.Elevation[i]) && zero(table.CumulativeKm[i]) &&
           zero(table.SegmentKm[i]) && table.PointName[i].isEmpty();
}

// One line per slot: "i lat lng ele cum seg name", the values in hexadecimal floating form and
// the name as UTF-16 code units in hexadecimal ("-" when empty), since XML cannot carry every
// character a name may hold. One text block instead of an element per slot keeps an autosave of
// a long route quick.
QString SlotLines(const RouteTable& table) {
    std::string lines;
    lines.reserve(std::size_t{1} + static_cast<std::size_t>(table.PointCount) * 90);
    lines += '\n';
    char number[16];
    // Slots outside 1..PointCount are written only when they hold something, so a restore
    // gives back every stored value, even those a removal left behind.
    for (int i = 0; i < table.Capacity; ++i) {
        if ((i < 1 || i > table.PointCount) && IsUntouched(table, i)) continue;
        lines.append(number, std::to_chars(number, number + sizeof number, i).ptr);
        for (const float v :
             {table.Lat[i], table.Lng[i], table.Elevation[i], table.CumulativeKm[i], table.SegmentKm[i]}) {
            lines += ' ';
            AppendHexFloat(lines, static_cast<double>(v));
        }
        lines += ' ';
        AppendUtf16Hex(lines, table.PointName[i]);
        lines += '\n';
    }
    return QString::fromLatin1(lines.data(), static_cast<qsizetype>(lines.size()));
}

// One line per readout, "key text", the text as UTF-16 in hexadecimal; the list's rows in order
// as "row" lines.
QString ReadoutLines(const Readouts& shown) {
    std::string lines = "\n";
    const auto line = [&](const char* key, const QString& text) {
        lines += key;
        lines += ' ';
        AppendUtf16Hex(lines, text);
        lines += '\n';
    };
    line("Memo3", shown.Memo3);
    line("Memo4", shown.Memo4);
    line("memo5", shown.memo5);
    line("Memo6", shown.Memo6);
    line("Memo7", shown.Memo7);
    line("Memo10", shown.Memo10);
    line("Memo11", shown.Memo11);
    line("Edit1", shown.Edit1);
    line("CourseTime", shown.CourseTime);
    line("CourseConstant", shown.CourseConstant);
    line("ListBox1TopIndex", QString::number(shown.ListBox1TopIndex));
    for (const QString& row : shown.ListBox1) line("row", row);
    return QString::fromLatin1(lines.data(), static_cast<qsizetype>(lines.size()));
}

void WriteSnapshot(QXmlStreamWriter& xml, const RouteTable& table, const RouteStats& stats, const Readouts* shown) {
    const QString ns = QString::fromUtf16(SnapshotNamespace);
    xml.writeStartElement(QStringLiteral("extensions"));
    xml.writeNamespace(ns, QStringLiteral("mm"));
    xml.writeStartElement(ns, QStringLiteral("route"));
    xml.writeAttribute(QStringLiteral("pointCount"), QString::number(table.PointCount));
    xml.writeAttribute(QStringLiteral("capacity"), QString::number(table.Capacity));
    xml.writeAttribute(QStringLiteral("totalKm"), HexFloatText(stats.TotalKm));
    xml.writeAttribute(QStringLiteral("lastSegmentKm"), HexFloatText(stats.LastSegmentKm));
    xml.writeAttribute(QStringLiteral("climbTotal"), Hex(stats.ClimbTotal));
    xml.writeAttribute(QStringLiteral("descentTotal"), Hex(stats.DescentTotal));
    xml.writeAttribute(QStringLiteral("maxElevation"), Hex(stats.MaxElevation));
    xml.writeAttribute(QStringLiteral("minElevation"), Hex(stats.MinElevation));
    xml.writeAttribute(QStringLiteral("currentElevation"), Hex(stats.CurrentElevation));
    // The lines hold only hexadecimal digits, signs, "x", "p", "." and blanks: a CDATA section
    // carries them without the writer escaping every character.
    xml.writeStartElement(ns, QStringLiteral("slots"));
    xml.writeCDATA(SlotLines(table));
    xml.writeEndElement();
    if (shown) {
        xml.writeStartElement(ns, QStringLiteral("readouts"));
        xml.writeCDATA(ReadoutLines(*shown));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
}

void RequireConsistent(const RouteTable& table) {
    const auto n = static_cast<std::size_t>(table.Capacity);
    if (table.Capacity < 0 || table.PointCount < 0 || (table.PointCount > 0 && table.PointCount >= table.Capacity) ||
        table.Lat.size() < n || table.Lng.size() < n || table.Elevation.size() < n || table.CumulativeKm.size() < n ||
        table.SegmentKm.size() < n || table.PointName.size() < n)
        throw Failure(GpxInconsistentTableText());
}

QByteArray WriteDocument(const RouteTable& table, const RouteStats* stats, const Readouts* shown, const QString& name,
                         const QDateTime& time) {
    RequireConsistent(table);
    // Writing into a QString and encoding once is faster than letting the writer encode every
    // small piece; the declaration is then written by hand, naming UTF-8. No indentation either:
    // it would cost a quarter of the time of an autosave.
    QString text;
    text.reserve(256 + qsizetype{table.PointCount} * (stats ? 260 : 80));
    QXmlStreamWriter xml(&text);
    text += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    xml.writeDefaultNamespace(QString::fromUtf16(GpxNamespace));
    xml.writeStartElement(QString::fromUtf16(GpxNamespace), QStringLiteral("gpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("Mirevale MAP"));

    xml.writeStartElement(QStringLiteral("metadata"));
    WriteTextElement(xml, QStringLiteral("name"), name);
    if (time.isValid()) xml.writeTextElement(QStringLiteral("time"), time.toUTC().toString(Qt::ISODate));
    if (stats) WriteSnapshot(xml, table, *stats, shown);
    xml.writeEndElement();

    for (int i = 1; i <= table.PointCount; ++i)
        if (!table.PointName[i].isEmpty()) WritePoint(xml, QStringLiteral("wpt"), table, i);

    xml.writeStartElement(QStringLiteral("trk"));
    WriteTextElement(xml, QStringLiteral("name"), name);
    xml.writeStartElement(QStringLiteral("trkseg"));
    for (int i = 1; i <= table.PointCount; ++i) WritePoint(xml, QStringLiteral("trkpt"), table, i);
    xml.writeEndElement();
    xml.writeEndElement();

    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError()) throw Failure(GpxCannotBuildText());
    return text.toUtf8();
}

}  // namespace

QByteArray WriteGpx(const RouteTable& table, const QString& name, const QDateTime& time) {
    return WriteDocument(table, nullptr, nullptr, name, time);
}

QByteArray WriteExactGpx(const RouteTable& table, const RouteStats& stats, const QString& name, const QDateTime& time) {
    return WriteDocument(table, &stats, nullptr, name, time);
}

QByteArray WriteExactGpx(const RouteTable& table, const RouteStats& stats, const Readouts& shown, const QString& name,
                         const QDateTime& time) {
    return WriteDocument(table, &stats, &shown, name, time);
}
