#include "session/user_actions.h"

#include <QDir>
#include <QFileInfo>

#include "export/csv_export.h"
#include "export/html_export.h"
#include "export/jpeg_export.h"
#include "format/number_text.h"
#include "route/course_time.h"
#include "route/route_edits.h"
#include "route/route_points.h"

namespace {

void Redraw(ToolState& state) {
    if (auto drawn = DrawProfile(state.Table, state.Stats, state.Chart)) state.Drawn = std::move(*drawn);
}

}  // namespace

void ShowCourse(ToolState& state) {
    const CourseReadouts course = CourseTexts(state.Table, state.Stats);
    state.Shown.CourseTime = course.Time;
    state.Shown.CourseConstant = course.Constant;
}

bool HasRoute(const ToolState& state) { return state.Table.PointCount >= 1; }

void ClearAll(ToolState& state) {
    ResetRoute(state.Table, state.Stats, state.Shown);
    state.Chart.Clear();
    ShowCourse(state);
}

void NamePoint(ToolState& state, int n, const QString& answer) {
    StorePointName(state.Table, n, answer);
    Redraw(state);
    RebuildRouteList(state.Table, state.Shown);
}

void ReturnRoute(ToolState& state) {
    if (state.Table.PointCount < 1) return;
    MirrorReturnRoute(state.Table, state.Stats, state.Shown);
    ShowCourse(state);
    Redraw(state);
    RebuildRouteList(state.Table, state.Shown);
}

void RemoveLast(ToolState& state) {
    if (state.Table.PointCount <= 1) return;
    RemoveLastPoint(state.Table, state.Stats, state.Shown);
    ShowCourse(state);
    RebuildRouteList(state.Table, state.Shown);
    Redraw(state);
}

void HoverChart(ToolState& state, int width, int height, int x, int y) {
    ChartMouseMove(state.Table, state.Drawn, width, height, x, y, state.Hover);
}

ChartClick ClickChart(const ToolState& state, ChartButton button) {
    return ChartMouseDown(state.Table, state.Hover, button);
}

QString RecentreScript(const ToolState& state, int n) {
    return QStringLiteral("GotoLatLng(") + GeneralFormat(state.Table.Lat[n]) + QLatin1Char(',') +
           GeneralFormat(state.Table.Lng[n]) + QLatin1Char(')');
}

QString ExportCsv(const ToolState& state) { return WriteRouteCsv(state.Table, state.Stats, state.Paths.MyDataDir); }

QString HtmlSaveFolder(const ToolState& state) {
    // A dialog told to open in a missing folder falls back to the working folder, which is the
    // program's own: the user's files never belong there.
    if (QFileInfo(state.Paths.MyDataDir).isDir()) return state.Paths.MyDataDir;
    return QDir::homePath();
}

void ExportHtml(ToolState& state, const QString& path) {
    state.Paths.HtmlOutPath = path;
    WriteRouteHtml(state.Table, path);
}

QString ExportSnapshot(const ToolState& state, const QImage& snapshot) {
    return WriteSnapshotJpeg(snapshot, state.Paths.MyDataDir);
}
