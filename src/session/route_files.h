#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "gpx/gpx_reader.h"
#include "gpx/route_snapshot.h"
#include "session/tool_state.h"

// The route to and from GPX files: the export for devices and phone apps, the import, and the
// restore of an autosave.

/// Default file name offered in the GPX save dialog.
inline const char16_t* const GpxDefaultFileName = u"行程.gpx";

/// writes the route as a GPX 1.1 file at path (its name without extension names the track);
/// Failure when it cannot be written
void ExportGpx(const ToolState& state, const QString& path);

/// Looks up the elevation of a point without one [m]; may take long.
using ElevationOf = std::function<float(float lat, float lng)>;

/// the elevation of each imported point [m]: its ele rounded to whole metres (ties to even), else
/// what lookup gives; returns nothing when progress (called with the points done so far) says stop
std::optional<std::vector<float>> ImportElevations(const std::vector<GpxPoint>& points, const ElevationOf& lookup,
                                                   const std::function<bool(int done)>& progress = {});

/// replaces the route with the imported points as clear all and a click per point would, in
/// file order, with their names; the route stays as it was when this fails
void ImportRoute(ToolState& state, const std::vector<GpxPoint>& points, const std::vector<float>& elevations);

/// replaces the route with an autosaved one exactly: the table, the statistics, the readouts and
/// the list as that run showed them, and the chart drawn from them. Memo1/Memo2 start afresh, as
/// after clear all, since the map page is loaded anew.
void RestoreRoute(ToolState& state, const RouteSnapshot& saved);
