#pragma once

#include <QFont>

#include "elevation/elevation_lookup.h"
#include "profile/canvas.h"
#include "profile/chart_mouse.h"
#include "profile/draw_profile.h"
#include "route/readouts.h"
#include "route/route_table.h"
#include "session/app_paths.h"

/// Everything the tool keeps for its run: the route, its readouts, the chart with the positions
/// of its last drawing, the hover, the paths and where elevations come from. The window owns one;
/// a test builds its own.
struct ToolState {
    explicit ToolState(const QFont& chartFont);

    RouteTable Table;
    RouteStats Stats;
    Readouts Shown;
    HoverState Hover;
    Canvas Chart;
    /// where the last drawing put each point; kept while a shorter route draws nothing
    ChartPositions Drawn;
    AppPaths Paths;
    ElevationSources Sources;
};

/// Chart size [px].
inline constexpr int ChartWidth = 427, ChartHeight = 394;

/// the start-up sequence for an executable in exeDir: the route reset, the paths, the elevation
/// sources (tileBase: scheme and host of the tile server) and the route's first capacity
void StartSession(ToolState& state, const QString& exeDir, const QString& tileBase);
