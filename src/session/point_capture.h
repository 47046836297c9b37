#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "elevation/downloader.h"
#include "elevation/elevation_lookup.h"
#include "session/tool_state.h"

/// The five input values the map page reports, read by FindInputValue's rules.
struct PageInputs {
    QString lat;
    QString lng;
    QString zoomLevel;
    QString clat;
    QString clon;
};

/// A report that was accepted as a new point: what its lookup needs, and what its acceptance
/// changed in Memo1/Memo2 (so a failure can put back exactly that).
struct AcceptedClick {
    QString LatText;             ///< the page's full latitude text
    QString LngText;             ///< the page's full longitude text
    float QueryLat = 0;          ///< [deg]
    float QueryLng = 0;          ///< [deg]
    QString OldMemo1, OldMemo2;  ///< the readouts before this report
    QString NewMemo1, NewMemo2;  ///< what this report showed there
};

/// shows a report's position in Memo1/Memo2 and decides whether it is a new point: the
/// shortened latitude or longitude changed, and every field parses. A report that fails its
/// checks puts Memo1/Memo2 back, so the same position is accepted at the next report.
std::optional<AcceptedClick> AcceptReport(Readouts& shown, const PageInputs& inputs);

/// the elevation of an accepted click [m]; may take as long as the tile download. Reads no
/// state of the tool, so it may run on a worker thread. Failure when a file cannot be read.
float LookupClick(const AcceptedClick& click, const ElevationSources& sources, Downloader& downloader);

/// appends an accepted click with its elevation [m], redraws the chart and refreshes the
/// readouts. Never throws: a failure before the point is counted drops the click as
/// DropClick does. Returns true when the point was appended.
bool FinishClick(ToolState& state, const AcceptedClick& click, float elevation);

/// forgets a click whose lookup failed: Memo1/Memo2 go back to their earlier texts unless a
/// later report has changed them since
void DropClick(Readouts& shown, const AcceptedClick& click);

/// Marks a long wait (the tile download) on screen: called with true before, false after.
using BusySignal = std::function<void(bool busy)>;

/// handles one report of the page's inputs from acceptance to the refreshed readouts, the
/// lookup included. Never throws. Returns true when a point was appended.
bool CapturePoint(ToolState& state, const PageInputs& inputs, Downloader& downloader, const BusySignal& busy = {});
