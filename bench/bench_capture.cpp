#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "support/loopback_server.h"

#include "elevation/curl_downloader.h"
#include "elevation/tile_address.h"
#include "route/route_points.h"
#include "session/point_capture.h"

namespace {

// A loopback server answering every tile request with the same full 256 x 256 tile.
LoopbackServer& TheServer() {
    static LoopbackServer server([](httplib::Server& s) {
        std::string tile;
        for (int r = 0; r < 256; ++r) {
            for (int c = 0; c < 256; ++c) tile += (c ? "," : "") + std::to_string(100 + (r + c) % 900) + ".5";
            tile += '\n';
        }
        s.Get(".*", [tile](const httplib::Request&, httplib::Response& res) { res.set_content(tile, "text/plain"); });
    });
    return server;
}

// One accepted report through the whole capture path, on a route of state.range(0) points.
void CaptureReport(benchmark::State& state) {
    const int start = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    CurlDownloader downloader;
    ToolState s(ChartFont());
    StartSession(s, dir.path(), TheServer().Base());
    for (int i = 0; i < start; ++i)
        AppendPoint(s.Table, s.Stats, s.Shown, QString::number(35 + i * 1e-4, 'f', 6), "139.000000", 100.0f + i % 50);
    int k = 0;
    for (auto _ : state) {
        const PageInputs inputs{QString::number(35.5 + (k % 2) * 0.01, 'f', 6),
                                QString::number(139.1 + k * 1e-4, 'f', 6), "14", "35.5", "139.1"};
        ++k;
        if (!CapturePoint(s, inputs, downloader)) state.SkipWithError("report not appended");
        state.PauseTiming();
        s.Table.PointCount = start;  // the same route length for every report
        s.Shown.ListBox1.resize(start);
        state.ResumeTiming();
    }
}
BENCHMARK(CaptureReport)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

// The tile transfer alone, to subtract from the figures above.
void TileTransfer(benchmark::State& state) {
    QTemporaryDir dir;
    CurlDownloader downloader;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            downloader.DownloadToFile(TheServer().Base() + "/xyz/dem/14/1/1.txt", dir.filePath("t.txt")));
}
BENCHMARK(TileTransfer)->Unit(benchmark::kMillisecond);

}  // namespace
