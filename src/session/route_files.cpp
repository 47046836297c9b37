#include "session/route_files.h"

#include <QDateTime>
#include <QFileInfo>

#include "fileio/whole_file.h"
#include "format/checked_float.h"
#include "format/number_text.h"
#include "gpx/gpx_writer.h"
#include "route/course_time.h"
#include "route/route_edits.h"
#include "route/route_points.h"
#include "session/user_actions.h"

void ExportGpx(const ToolState& state, const QString& path) {
    WriteWholeFile(path, WriteGpx(state.Table, QFileInfo(path).completeBaseName(), QDateTime::currentDateTimeUtc()));
}

std::optional<std::vector<float>> ImportElevations(const std::vector<GpxPoint>& points, const ElevationOf& lookup,
                                                   const std::function<bool(int done)>& progress) {
    std::vector<float> elevations;
    elevations.reserve(points.size());
    for (const GpxPoint& p : points) {
        if (progress && !progress(static_cast<int>(elevations.size()))) return std::nullopt;
        if (p.Elevation)
            elevations.push_back(ToSingle(static_cast<long double>(RoundToInteger(*p.Elevation))));
        else
            elevations.push_back(lookup(ToSingle(p.Lat), ToSingle(p.Lng)));
    }
    return elevations;
}

void ImportRoute(ToolState& state, const std::vector<GpxPoint>& points, const std::vector<float>& elevations) {
    // Built aside and put in place whole, so a failure leaves the route as it was.
    RouteTable table = state.Table;
    RouteStats stats = state.Stats;
    Readouts shown = state.Shown;
    ResetRoute(table, stats, shown);
    bool named = false;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const GpxPoint& p = points[k];
        // Seventeen digits give back the same double, so the text parses as the file's value.
        AppendPoint(table, stats, shown, QString::number(p.Lat, 'g', 17), QString::number(p.Lng, 'g', 17),
                    elevations.at(k));
        table.PointName[table.PointCount] = p.Name;
        named |= !p.Name.isEmpty();
    }
    if (named) RebuildRouteList(table, shown);
    ShowRouteStats(stats, shown);
    const CourseReadouts course = CourseTexts(table, stats);
    shown.CourseTime = course.Time;
    shown.CourseConstant = course.Constant;
    Canvas chart = state.Chart;
    chart.Clear();
    std::optional<ChartPositions> drawn = DrawProfile(table, stats, chart);

    state.Table = std::move(table);
    state.Stats = stats;
    state.Shown = std::move(shown);
    state.Chart = std::move(chart);
    if (drawn) state.Drawn = std::move(*drawn);
}

void RestoreRoute(ToolState& state, const RouteSnapshot& saved) {
    state.Table = saved.Table;
    state.Stats = saved.Stats;
    if (saved.Shown) {
        state.Shown = *saved.Shown;
        state.Shown.Memo1.clear();
        state.Shown.Memo2.clear();
    } else {
        // An autosave without readouts: describe the route afresh.
        Readouts shown;
        shown.Memo3 = QString::number(state.Table.PointCount);
        RebuildRouteList(state.Table, shown);
        ShowRouteStats(state.Stats, shown);
        state.Shown = std::move(shown);
        ShowCourse(state);
    }
    state.Chart.Clear();
    if (auto drawn = DrawProfile(state.Table, state.Stats, state.Chart)) state.Drawn = std::move(*drawn);
}
