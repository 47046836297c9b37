#include "route/route_edits.h"

#include "format/checked_float.h"
#include "format/number_text.h"
#include "route/great_circle.h"
#include "route/route_points.h"

namespace {

// Climb and descent over points 1..PointCount with the single-precision steps of an append.
void RecountClimb(const RouteTable& table, RouteStats& stats) {
    stats.ClimbTotal = 0;
    stats.DescentTotal = 0;
    for (int i = 2; i <= table.PointCount; ++i) CountElevationStep(stats, table.Elevation[i - 1], table.Elevation[i]);
}

}  // namespace

void RebuildRouteList(const RouteTable& table, Readouts& shown) {
    shown.ListBox1.clear();
    for (int i = 1; i <= table.PointCount; ++i) {
        const QString elevation = GeneralFormat(table.Elevation[i]);
        QString row;
        if (i == 1) {
            // Point 1's name shows on the chart only.
            row = RouteRow(i, QStringLiteral("-"), elevation, QStringLiteral("-")) + QLatin1Char('\t');
        } else {
            row = RouteRow(i, PatternFormat(table.SegmentKm[i]), elevation, PatternFormat(table.CumulativeKm[i])) +
                  QLatin1Char('\t') + table.PointName[i];
        }
        shown.ListBox1.append(row);
    }
    shown.Memo4 = PatternFormat(table.CumulativeKm.empty() ? 0.0f : table.CumulativeKm[table.PointCount]);
}

void MirrorReturnRoute(RouteTable& table, RouteStats& stats, Readouts& shown) {
    const int n = table.PointCount;
    if (n < 1) return;
    table.Capacity = 2 * n + 10;
    AllocateRoute(table);
    for (int k = 1; k <= n - 1; ++k) {
        const int d = n + k;
        const int s = n - k;
        table.CumulativeKm[d] =
            ToSingle(2.0L * table.CumulativeKm[n] - static_cast<long double>(table.CumulativeKm[s]));
        table.Lat[d] = table.Lat[s];
        table.Lng[d] = table.Lng[s];
        table.SegmentKm[d] = table.SegmentKm[s + 1];
        table.Elevation[d] = table.Elevation[s];
        table.PointName[d] = table.PointName[s];
    }
    stats.TotalKm = ToDouble(2.0L * stats.TotalKm);
    table.PointCount = 2 * n - 1;

    RecountClimb(table, stats);
    shown.Memo3 = QString::number(table.PointCount);
    shown.Memo10 = RoundText(stats.ClimbTotal);
    shown.Memo11 = RoundText(stats.DescentTotal);
}

void RemoveLastPoint(RouteTable& table, RouteStats& stats, Readouts& shown) {
    if (table.PointCount <= 1) return;
    table.PointName[table.PointCount].clear();
    const int n = --table.PointCount;

    // Replay the kept points' statistics in the order they were appended.
    stats.TotalKm = 0;
    stats.LastSegmentKm = 0;
    stats.MaxElevation = 0;
    stats.MinElevation = 4000;
    for (int i = 1; i <= n; ++i) {
        if (i > 1) {
            stats.LastSegmentKm = GreatCircleKm(table.Lat[i - 1], table.Lng[i - 1], table.Lat[i], table.Lng[i]);
            stats.TotalKm = ToDouble(static_cast<long double>(stats.TotalKm) + stats.LastSegmentKm);
        }
        CountExtremes(stats, table.Elevation[i]);
    }
    RecountClimb(table, stats);
    stats.CurrentElevation = table.Elevation[n];

    shown.Edit1 = GeneralFormat(stats.CurrentElevation) + QStringLiteral(" m");
    shown.Memo3 = QString::number(n);
    // The removal refreshes the readouts but does not scroll the list.
    const int top = shown.ListBox1TopIndex;
    ShowRouteStats(stats, shown);
    shown.ListBox1TopIndex = top;
}

void StorePointName(RouteTable& table, int n, const QString& answer) {
    if (n >= 1 && n <= table.PointCount) table.PointName[n] = answer;
}
