#include <benchmark/benchmark.h>
#include <QDateTime>
#include <QDir>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cmath>
#include <stdexcept>

#include "gpx/gpx_reader.h"
#include "gpx/gpx_writer.h"
#include "gpx/route_snapshot.h"
#include "session/autosave.h"
#include "session/route_files.h"
#include "session/tool_state.h"

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

// The tool's state for an install tree in folder; no tile server answers.
void StartTool(ToolState& state, const QTemporaryDir& folder) {
    QDir(folder.path()).mkpath(QStringLiteral("MV6_DATA/20"));
    StartSession(state, folder.path() + QStringLiteral("/MV6_DATA/20"), QStringLiteral("http://127.0.0.1:9"));
}

// Every point has its ele: a lookup would be a fault of the import.
float NoLookup(float, float) { throw std::logic_error("an elevation was looked up"); }

// The whole import of a GPX document: read, elevations from its ele, the route replaced.
void Import(ToolState& state, const QByteArray& document) {
    const std::vector<GpxPoint> points = ReadGpx(document, QStringLiteral("track.gpx"));
    const std::optional<std::vector<float>> elevations = ImportElevations(points, NoLookup);
    ImportRoute(state, points, *elevations);
}

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

// What a route change costs the window's thread for the autosave of a 10,000-point route as the
// window holds it (imported, so with its list rows): the copy handed to the writer thread. The
// writer is idle at every change: the previous route is written, outside the timing, first.
static void AutosaveOnChange(benchmark::State& state) {
    RouteStats stats;
    QTemporaryDir dir;
    ToolState tool(ChartFont());
    StartTool(tool, dir);
    Import(tool, WriteGpx(Walk(10000, stats), QStringLiteral("route"), When));
    Autosave autosave(dir.filePath(QStringLiteral("state")));
    if (autosave.Path().isEmpty()) return state.SkipWithError("no autosave slot");
    for (auto _ : state) {
        state.PauseTiming();
        autosave.Flush();
        state.ResumeTiming();
        autosave.SaveInBackground(tool);
    }
    autosave.Flush();
    if (!autosave.LastFailure().isEmpty()) state.SkipWithError(autosave.LastFailure().toStdString().c_str());
    state.counters["points"] = tool.Table.PointCount;
}
// Each iteration waits for a whole write (about as long as AutosaveExact) outside the timing.
BENCHMARK(AutosaveOnChange)->Unit(benchmark::kMicrosecond)->Iterations(200);

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

// The whole import of a 100,000-point GPX with elevations, without lookups: the document read,
// the elevations taken from its ele, the route built as clicks would build it and the chart drawn.
static void ImportRoute100k(benchmark::State& state) {
    RouteStats stats;
    const QByteArray document = WriteGpx(Walk(100000, stats), QStringLiteral("track"), When);
    QTemporaryDir dir;
    ToolState tool(ChartFont());
    StartTool(tool, dir);
    for (auto _ : state) Import(tool, document);
    state.counters["points"] = tool.Table.PointCount;
}
BENCHMARK(ImportRoute100k)->Unit(benchmark::kMillisecond);
