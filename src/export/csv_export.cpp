#include "export/csv_export.h"

#include "export/text_file_writer.h"
#include "format/number_text.h"

namespace {

// The file's name after the last "/", "\" or ":", less everything from its last ".".
QString TitleFromPath(const QString& path) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i)
        if (path[i] == QLatin1Char('/') || path[i] == QLatin1Char('\\') || path[i] == QLatin1Char(':')) start = i + 1;
    QString name = path.mid(start);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) name.truncate(dot);
    return name;
}

}  // namespace

QString CsvNameField(const QString& name) {
    const bool quote = name.contains(QLatin1Char(',')) || name.contains(QLatin1Char('"')) ||
                       name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n'));
    if (!quote) return name;
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QStringList RouteCsvLines(const RouteTable& table, const RouteStats& stats, const QString& path) {
    QStringList lines;
    lines << TitleFromPath(path) << QString();
    lines << QStringLiteral("総距離,") + PatternFormat(stats.TotalKm) + QStringLiteral("Km");
    lines << QStringLiteral("総高低差,") +
                 RoundText(static_cast<long double>(stats.MaxElevation) - stats.MinElevation) +
                 QStringLiteral("m,(上り累計),") + RoundText(stats.ClimbTotal) + QStringLiteral("m,(下り累計),") +
                 RoundText(stats.DescentTotal) + QStringLiteral("m");
    lines << QString() << QStringLiteral("No.,緯度,経度,標高(m),累計距離(km),地名");
    for (int i = 1; i <= table.PointCount; ++i) {
        lines << QString::number(i) + QLatin1Char(',') + GeneralFormat(table.Lat[i]) + QLatin1Char(',') +
                     GeneralFormat(table.Lng[i]) + QLatin1Char(',') + RoundText(table.Elevation[i]) + QLatin1Char(',') +
                     GeneralFormat(table.CumulativeKm[i]) + QLatin1Char(',') + CsvNameField(table.PointName[i]);
    }
    return lines;
}

QString WriteRouteCsv(const RouteTable& table, const RouteStats& stats, const QString& myDataDir) {
    const QString path = myDataDir + QString::fromUtf16(CsvFileName);
    const QStringList lines = RouteCsvLines(table, stats, path);
    TextFileWriter writer(path);
    for (const QString& line : lines) writer.WriteLine(line);
    writer.Close();
    return path;
}
