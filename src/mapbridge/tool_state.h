#pragma once

#include "elevation/elevation_lookup.h"
#include "elevation/mesh_elevation.h"
#include "profile/chart_mouse.h"
#include "route/angles.h"
#include "route/readouts.h"
#include "route/route_table.h"

/// Everything the tool keeps for its run, owned by the main window.
struct ToolState {
    RouteTable Table;
    RouteStats Stats;
    Readouts Shown;
    AngleConstants Angles;
    MeshWork Mesh;
    HoverState Hover;
    ElevationSources Sources;
};
