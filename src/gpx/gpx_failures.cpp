#include "gpx/gpx_failures.h"

// Every text fills its fields in one pass, so a "%1" inside a file name or a value stays as it is.

QString GpxTooLargeText(const QString& file, qint64 size) {
    return QStringLiteral("GPX ファイル「%1」は %2 バイトあり、上限の 64 MiB (67108864 バイト) を超えています")
        .arg(file, QString::number(size));
}

QString GpxNotXmlText(const QString& file, qint64 line, qint64 column, const QString& detail) {
    return QStringLiteral("GPX ファイル「%1」は XML として読めません (%2 行 %3 桁: %4)")
        .arg(file, QString::number(line), QString::number(column), detail);
}

QString GpxNotGpxText(const QString& file, const QString& root) {
    return QStringLiteral("ファイル「%1」は GPX ではありません (最上位の要素が gpx ではなく %2 です)").arg(file, root);
}

QString GpxEntityText(const QString& file) {
    return QStringLiteral("GPX ファイル「%1」は実体 (ENTITY) を定義する文書型宣言を含むため読み込みません").arg(file);
}

QString GpxMissingCoordinateText(const QString& file, qint64 line, const QString& element, const QString& what) {
    return QStringLiteral("GPX ファイル「%1」の %2 行目の %3 に%4がありません")
        .arg(file, QString::number(line), element, what);
}

QString GpxNotNumberText(const QString& file, qint64 line, const QString& element, const QString& what,
                         const QString& value) {
    return QStringLiteral("GPX ファイル「%1」の %2 行目の %3 の%4「%5」は数値ではありません")
        .arg(file, QString::number(line), element, what, value);
}

QString GpxLatitudeRangeText(const QString& file, qint64 line, const QString& element, const QString& value) {
    return QStringLiteral("GPX ファイル「%1」の %2 行目の %3 の緯度 %4 は -90 から 90 の範囲外です")
        .arg(file, QString::number(line), element, value);
}

QString GpxLongitudeRangeText(const QString& file, qint64 line, const QString& element, const QString& value) {
    return QStringLiteral("GPX ファイル「%1」の %2 行目の %3 の経度 %4 は -180 から 180 の範囲外です")
        .arg(file, QString::number(line), element, value);
}

QString GpxNoPointsText(const QString& file) {
    return QStringLiteral(
               "GPX ファイル「%1」には地点がありません (トラック、ルート、ウェイポイントのどれにもありません)")
        .arg(file);
}

QString GpxTooManyPointsText(const QString& file, int limit) {
    return QStringLiteral("GPX ファイル「%1」の地点が上限の %2 点を超えています").arg(file, QString::number(limit));
}

QString GpxNoSnapshotText(const QString& file) {
    return QStringLiteral("ファイル「%1」には自動保存された経路がありません").arg(file);
}

QString GpxBrokenSnapshotText(const QString& file, const QString& detail) {
    return QStringLiteral("自動保存ファイル「%1」の経路が壊れています (%2)").arg(file, detail);
}

QString GpxInconsistentTableText() { return QStringLiteral("経路の点数と配列の長さが合いません"); }

QString GpxCannotBuildText() { return QStringLiteral("GPX を組み立てられません"); }
