// The CSV and HTML writers on arbitrary names: the bytes decode as CP932, the CSV row keeps
// its six fields, and the HTML title stays one JavaScript string.

#include <iconv.h>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>

#include "export/csv_export.h"
#include "export/html_export.h"
#include "export/text_file_writer.h"

namespace {

void MustDecodeAsCp932(const QByteArray& bytes) {
    static iconv_t cd = iconv_open("UTF-16LE", "CP932");
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray out(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* o = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) std::abort();
}

// Fields of one CSV row, with double-quoted fields (inner quotes doubled).
int CsvFields(const QString& row) {
    int fields = 1;
    bool quoted = false;
    for (qsizetype i = 0; i < row.size(); ++i) {
        const QChar c = row[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < row.size() && row[i + 1] == QLatin1Char('"'))
                    ++i;
                else
                    quoted = false;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            ++fields;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            std::abort();  // a line break outside quotes splits the row
        }
    }
    if (quoted) std::abort();
    return fields;
}

// The marker row's title: one single-quoted string from "{title:'" to "'}).addTo(map);".
void TitleIsOneString(const QString& row) {
    const QString open = QStringLiteral("{title:'"), close = QStringLiteral("'}).addTo(map);");
    const qsizetype start = row.indexOf(open);
    if (start < 0 || !row.endsWith(close)) std::abort();
    qsizetype i = start + open.size();
    const qsizetype end = row.size() - close.size();
    for (; i < end; ++i) {
        const char16_t c = row[i].unicode();
        if (c == u'\\') {
            ++i;  // an escape takes the next character with it
            continue;
        }
        if (c == u'\'' || c == u'<' || c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029) std::abort();
    }
    if (i != end) std::abort();  // a trailing backslash would escape the closing quote
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), static_cast<qsizetype>(size / 2));
    RouteTable table;
    table.Capacity = 12;
    AllocateRoute(table);
    table.PointCount = 2;
    table.Lat[1] = 35.5f, table.Lng[1] = 139.5f, table.Lat[2] = 35.6f, table.Lng[2] = 139.6f;
    table.CumulativeKm[2] = 1.5f;
    table.PointName[1] = name;
    table.PointName[2] = name;
    RouteStats stats;

    const QStringList csv = RouteCsvLines(table, stats, QStringLiteral("/x/高低図.csv"));
    for (int i = 6; i < csv.size(); ++i)
        if (CsvFields(csv[i]) != 6) std::abort();
    const QStringList html = RouteHtmlLines(table);
    for (const QString& row : html)
        if (row.startsWith(QStringLiteral("  var  marker"))) TitleIsOneString(row);
    for (const QString& line : csv) MustDecodeAsCp932(ToAnsi(line));
    for (const QString& line : html) MustDecodeAsCp932(ToAnsi(line));
    return 0;
}
