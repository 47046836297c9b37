#include <benchmark/benchmark.h>

#include <cmath>

#include "profile/draw_profile.h"
#include "route/route_points.h"

namespace {

// DrawProfile on the window's 427 x 394 chart for a route of state.range(0) points.
void DrawProfileBench(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    RouteTable table;
    RouteStats stats;
    table.Capacity = n + 20;
    AllocateRoute(table);
    table.PointCount = n;
    stats.MinElevation = 4000;
    for (int i = 1; i <= n; ++i) {
        table.Elevation[i] = static_cast<float>(300 + 250 * std::sin(i * 0.37) + 100 * std::sin(i * 0.011));
        table.CumulativeKm[i] = (i - 1) * 0.05f;
        stats.MaxElevation = std::max(stats.MaxElevation, table.Elevation[i]);
        stats.MinElevation = std::min(stats.MinElevation, table.Elevation[i]);
        if (i % 97 == 0 && n <= 1000) table.PointName[i] = QStringLiteral("峠");
    }
    stats.TotalKm = table.CumulativeKm[n];
    Canvas canvas(427, 394, ChartFont());
    for (auto _ : state) {
        benchmark::DoNotOptimize(DrawProfile(table, stats, canvas));
    }
}
BENCHMARK(DrawProfileBench)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
