#include "session/tool_state.h"

#include "route/route_points.h"

ToolState::ToolState(const QFont& chartFont) : Chart(ChartWidth, ChartHeight, chartFont) {}

void StartSession(ToolState& state, const QString& exeDir, const QString& tileBase) {
    ResetRoute(state.Table, state.Stats, state.Shown);
    state.Chart.Clear();
    state.Paths = DeriveAppPaths(exeDir);
    state.Sources = {tileBase, state.Paths.DemTempFile, state.Paths.MeshDir};
    state.Table.Capacity = StartCapacity;
    AllocateRoute(state.Table);
}
