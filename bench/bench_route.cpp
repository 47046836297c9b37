#include <benchmark/benchmark.h>

#include "route/route_points.h"

// Appending 100,000 points with their list rows, from a fresh start-up route.
static void AppendHundredThousandPoints(benchmark::State& state) {
    const AngleConstants angles = ComputeAngleConstants();
    QStringList lats, lngs;
    for (int i = 0; i < 100000; ++i) {
        lats << QString::number(35 + (i % 1000) * 0.0001, 'f', 6);
        lngs << QString::number(139 + (i / 1000) * 0.0001, 'f', 6);
    }
    for (auto _ : state) {
        RouteTable table;
        RouteStats stats;
        Readouts shown;
        ResetRoute(table, stats, shown);
        table.Capacity = StartCapacity;
        AllocateRoute(table);
        for (int i = 0; i < 100000; ++i) {
            AppendPoint(table, stats, shown, angles, lats[i], lngs[i], static_cast<float>(i % 700));
            ShowRouteStats(stats, shown);
        }
        benchmark::DoNotOptimize(stats.TotalKm);
    }
}
BENCHMARK(AppendHundredThousandPoints)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
