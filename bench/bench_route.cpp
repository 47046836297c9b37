#include <benchmark/benchmark.h>

#include <cmath>

#include "route/route_points.h"

// Appending 100,000 points with their list rows, from a fresh start-up route.
static void AppendPoints(benchmark::State& state) {
    // A wandering walk of about 10 m steps, as the page would report it.
    QStringList lats, lngs;
    double lat = 35.68123, lng = 139.76712;
    for (int i = 0; i < 100000; ++i) {
        lat += 0.0001 * std::sin(i * 0.01);
        lng += 0.0001 * std::cos(i * 0.013);
        lats << QString::number(lat, 'f', 6);
        lngs << QString::number(lng, 'f', 6);
    }
    const int count = static_cast<int>(state.range(1));
    for (auto _ : state) {
        RouteTable table;
        RouteStats stats;
        Readouts shown;
        StartUpRoute(table, stats, shown);
        for (int i = 0; i < count; ++i) {
            AppendPoint(table, stats, shown, lats[i], lngs[i], static_cast<float>(i % 700));
            if (state.range(0)) ShowRouteStats(stats, shown);
        }
        benchmark::DoNotOptimize(stats.TotalKm);
    }
}
// First argument 0: AppendPoint alone; 1: with the readout refresh a map click runs after it.
// Second argument: the number of points (10,000 against 100,000 shows the growth is linear).
BENCHMARK(AppendPoints)->Args({0, 10000})->Args({0, 100000})->Args({1, 100000})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
