#pragma once

#include <QString>
#include <functional>

#include "elevation/downloader.h"
#include "mapbridge/tool_state.h"
#include "profile/canvas.h"

/// The five input values the map page reports, read by FindInputValue's rules.
struct PageInputs {
    QString lat;
    QString lng;
    QString zoomLevel;
    QString clat;
    QString clon;
};

/// Marks a long wait (the tile download) on screen: called with true before, false after.
using BusySignal = std::function<void(bool busy)>;

/// handles one report of the page's inputs: shows the position in Memo1/Memo2, and when either
/// shortened text changed, looks up the elevation, appends the point, redraws the chart and
/// refreshes the readouts. Never throws; a failure before the point is counted puts Memo1 and
/// Memo2 back, so the same position is accepted at the next report. Returns true when a point
/// was appended.
bool CapturePoint(ToolState& state, const PageInputs& inputs, Downloader& downloader, Canvas& chart,
                  const BusySignal& busy = {});

/// the script that recentres the map on a point [deg]: "GotoLatLng(lat,lng)"
QString RecentreScript(float lat, float lng);
