#include "route/route_points.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "format/checked_float.h"
#include "format/failure.h"
#include "format/number_text.h"
#include "route/great_circle.h"

void ResetRoute(RouteTable& table, RouteStats& stats, Readouts& shown) {
    shown.Memo3.clear();
    shown.Memo1.clear();
    shown.Memo2.clear();
    shown.Edit1.clear();
    shown.memo5.clear();
    shown.Memo6.clear();
    shown.Memo7.clear();
    shown.Memo4.clear();
    shown.Memo10.clear();
    shown.Memo11.clear();

    table.PointCount = 0;
    stats.TotalKm = 0;
    stats.ClimbTotal = 0;
    stats.DescentTotal = 0;
    stats.MaxElevation = 0;
    stats.MinElevation = 4000;

    shown.ListBox1.clear();
    shown.ListBox1TopIndex = 0;

    // No name of the cleared route may reappear on a new point.
    for (QString& name : table.PointName) name.clear();
}

void StartUpRoute(RouteTable& table, RouteStats& stats, Readouts& shown) {
    ResetRoute(table, stats, shown);
    table.Capacity = StartCapacity;
    AllocateRoute(table);
}

QString RouteRow(int n, const QString& segment, const QString& elevation, const QString& cumulative) {
    QString row;
    row.reserve(16 + segment.size() + elevation.size() + cumulative.size());
    char number[16];
    const auto end = std::to_chars(number, number + sizeof number, n).ptr;
    row += QLatin1String("  ");
    row += QLatin1String(number, end - number);
    row += QLatin1Char('\t');
    row += segment;
    row += QLatin1Char('\t');
    row += elevation;
    row += QLatin1Char('\t');
    row += cumulative;
    return row;
}

void AppendPoint(RouteTable& table, RouteStats& stats, Readouts& shown, const QString& latText, const QString& lngText,
                 float elevation) {
    // Parse first: a text that does not parse leaves the route exactly as it was.
    const float lat = ToSingle(ParseDecimal(latText));
    const float lng = ToSingle(ParseDecimal(lngText));
    if (!std::isnan(elevation)) RequireFinite(elevation);  // an infinity is an overflow

    // Unknown (negative, or not a number at all) counts as sea level.
    stats.CurrentElevation = elevation >= 0 ? elevation : 0.0f;
    const QString elevationText = GeneralFormat(stats.CurrentElevation);
    shown.Edit1 = elevationText + QStringLiteral(" m");

    const int n = ++table.PointCount;
    shown.Memo3 = QString::number(n);

    if (table.Capacity - 10 < n) {
        table.Capacity = n + 20;
        AllocateRoute(table);
    }

    table.Lat[n] = lat;
    table.Lng[n] = lng;
    table.Elevation[n] = stats.CurrentElevation;

    if (n == 1) {
        stats.TotalKm = 0;
    } else {
        stats.LastSegmentKm = GreatCircleKm(table.Lat[n - 1], table.Lng[n - 1], table.Lat[n], table.Lng[n]);
        stats.TotalKm = ToDouble(static_cast<long double>(stats.TotalKm) + stats.LastSegmentKm);
    }
    table.SegmentKm[n] = ToSingle(stats.LastSegmentKm);
    table.CumulativeKm[n] = ToSingle(stats.TotalKm);

    QString segmentText = QStringLiteral("-");
    QString cumulativeText = QStringLiteral("-");
    if (n > 1) {
        segmentText = PatternFormat(stats.LastSegmentKm);
        cumulativeText = PatternFormat(stats.TotalKm);
    }
    shown.ListBox1.append(RouteRow(n, segmentText, elevationText, cumulativeText));

    if (n > 1) {
        shown.Memo4 = cumulativeText + QStringLiteral(" Km");
        CountElevationStep(stats, table.Elevation[n - 1], table.Elevation[n]);
    }

    CountExtremes(stats, stats.CurrentElevation);
}

void CountElevationStep(RouteStats& stats, float previous, float current) {
    const float d = ToSingle(static_cast<long double>(current) - previous);
    if (d > 0) stats.ClimbTotal = ToSingle(static_cast<long double>(stats.ClimbTotal) + d);
    if (d < 0) stats.DescentTotal = ToSingle(static_cast<long double>(stats.DescentTotal) + d);
}

void CountExtremes(RouteStats& stats, float elevation) {
    if (elevation > stats.MaxElevation) stats.MaxElevation = elevation;
    if (elevation < stats.MinElevation) stats.MinElevation = elevation;
}

void ShowRouteStats(const RouteStats& stats, Readouts& shown) {
    shown.memo5 = RoundText(stats.MinElevation);
    shown.Memo6 = RoundText(stats.MaxElevation);
    shown.Memo7 = RoundText(static_cast<long double>(stats.MaxElevation) - stats.MinElevation);
    shown.Memo10 = RoundText(stats.ClimbTotal);
    shown.Memo11 = RoundText(stats.DescentTotal);
    shown.ListBox1TopIndex = std::max(0, static_cast<int>(shown.ListBox1.size()) - 1);
}
