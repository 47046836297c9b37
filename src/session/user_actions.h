#pragma once

#include <QImage>
#include <QString>

#include "profile/chart_mouse.h"
#include "session/tool_state.h"

// One function per user action, each running its steps in order. Failures are raised as
// Failure for the window's error display; the map-click road is in point_capture.h.

/// writes the route's course time and course constant readouts
void ShowCourse(ToolState& state);

/// true while the route has a point to export
bool HasRoute(const ToolState& state);

/// clear all: the route, its statistics, names, readouts and the chart start afresh (the window
/// reloads the map page first)
void ClearAll(ToolState& state);

/// a left click's answer in the name box for point n: stored exactly as typed (empty clears the
/// name), then the chart and the route list are redrawn
void NamePoint(ToolState& state, int n, const QString& answer);

/// the return-route button: the route becomes out-and-back, then the chart and the list are
/// redrawn; an empty route is left alone
void ReturnRoute(ToolState& state);

/// the remove-last-point edit: drops the last point of a route of two or more, then rebuilds the
/// list and redraws the chart
void RemoveLast(ToolState& state);

/// a mouse movement over the chart image of width x height [px] to (x, y)
void HoverChart(ToolState& state, int width, int height, int x, int y);

/// what a button going down over the chart asks for
ChartClick ClickChart(const ToolState& state, ChartButton button);

/// the script that recentres the map on point n: "GotoLatLng(lat,lng)"
QString RecentreScript(const ToolState& state, int n);

/// writes the CSV table into MyDataDir and returns its path
QString ExportCsv(const ToolState& state);

/// the folder the page export's save dialog opens in: MyDataDir, or the user's home folder when
/// MyDataDir does not exist (never the program's own folder)
QString HtmlSaveFolder(const ToolState& state);

/// writes the route page to the chosen path and remembers it as HtmlOutPath
void ExportHtml(ToolState& state, const QString& path);

/// writes the window snapshot as a JPEG into MyDataDir and returns its path
QString ExportSnapshot(const ToolState& state, const QImage& snapshot);
