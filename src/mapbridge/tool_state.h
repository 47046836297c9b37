#pragma once

#include "elevation/elevation_lookup.h"
#include "elevation/mesh_elevation.h"
#include "profile/chart_mouse.h"
#include "route/readouts.h"
#include "route/route_table.h"

/// Everything the tool keeps for its run, owned by the main window.
struct ToolState {
    RouteTable Table;
    RouteStats Stats;
    Readouts Shown;
    HoverState Hover;
    ChartPositions Drawn;  ///< where the last drawing put the points; kept while a shorter route draws nothing
    ElevationSources Sources;
};
