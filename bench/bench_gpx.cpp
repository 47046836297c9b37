#include <benchmark/benchmark.h>
#include <QDateTime>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cmath>

#include "gpx/gpx_reader.h"
#include "gpx/gpx_writer.h"
#include "gpx/route_snapshot.h"

namespace {

// A wandering walk of about 10 m steps with elevations, every 50th point named.
RouteTable Walk(int count, RouteStats& stats) {
    RouteTable table;
    table.Capacity = count + 20;
    AllocateRoute(table);
    table.PointCount = count;
    double lat = 35.68123, lng = 139.76712;
    float cumulative = 0;
    for (int i = 1; i <= count; ++i) {
        lat += 0.0001 * std::sin(i * 0.01);
        lng += 0.0001 * std::cos(i * 0.013);
        table.Lat[i] = static_cast<float>(lat);
        table.Lng[i] = static_cast<float>(lng);
        table.Elevation[i] = 300.0f + 250.0f * static_cast<float>(std::sin(i * 0.002));
        table.SegmentKm[i] = i > 1 ? 0.0101f : 0.0f;
        cumulative += table.SegmentKm[i];
        table.CumulativeKm[i] = cumulative;
        if (i % 50 == 0) table.PointName[i] = QStringLiteral("地点 %1 <峠>").arg(i);
    }
    stats.TotalKm = cumulative;
    stats.DescentTotal = -1234.5f;
    return table;
}

void Save(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error("save failed");
}

const QDateTime When(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC);

}  // namespace

// The autosave: the exact form of a 10,000-point route written and saved atomically.
static void AutosaveExact(benchmark::State& state) {
    RouteStats stats;
    const RouteTable table = Walk(10000, stats);
    QTemporaryDir dir;
    const QString path = dir.filePath("autosave.gpx");
    for (auto _ : state) Save(path, WriteExactGpx(table, stats, QStringLiteral("自動保存"), When));
}
BENCHMARK(AutosaveExact)->Unit(benchmark::kMillisecond);

// Restoring that autosave bit for bit.
static void RestoreExact(benchmark::State& state) {
    RouteStats stats;
    const RouteTable table = Walk(10000, stats);
    QTemporaryDir dir;
    const QString path = dir.filePath("autosave.gpx");
    Save(path, WriteExactGpx(table, stats, QStringLiteral("自動保存"), When));
    for (auto _ : state) benchmark::DoNotOptimize(ReadRouteSnapshotFile(path).Table.PointCount);
}
BENCHMARK(RestoreExact)->Unit(benchmark::kMillisecond);

// Importing a 100,000-point track with elevations (and its 2,000 named waypoints) from a file.
static void ImportGpx(benchmark::State& state) {
    RouteStats stats;
    const RouteTable table = Walk(100000, stats);
    QTemporaryDir dir;
    const QString path = dir.filePath("track.gpx");
    Save(path, WriteGpx(table, QStringLiteral("track"), When));
    for (auto _ : state) benchmark::DoNotOptimize(ReadGpxFile(path).size());
}
BENCHMARK(ImportGpx)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
