#include <benchmark/benchmark.h>

#include <zlib.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <random>

#include "elevation/curl_downloader.h"
#include "elevation/elevation_lookup.h"
#include "elevation/mesh_file_writer.h"
#include "elevation/tile_address.h"
#include "elevation/tile_reader.h"
#include "support/scripted_server.h"

namespace {

std::string FullTile() {
    std::string tile;
    for (int r = 0; r < 256; ++r) {
        for (int c = 0; c < 256; ++c) {
            if (c) tile += ',';
            tile += std::to_string(1000 + (r * 7 + c * 13) % 3000) + ".25";
        }
        tile += '\n';
    }
    return tile;
}

// Stands for a download that has already arrived: writes the tile bytes to the target, so the
// figure is the lookup's own work (file write, row and column reading) without the transfer.
class ArrivedDownload : public Downloader {
  public:
    explicit ArrivedDownload(std::string body) : body_(std::move(body)) {}
    bool DownloadToFile(const QString&, const QString& fileName) override {
        QFile f(fileName);
        return f.open(QIODevice::WriteOnly) && f.write(body_.data(), qint64(body_.size())) == qint64(body_.size());
    }

  private:
    std::string body_;
};

void LookupWithoutTransfer(benchmark::State& state) {
    QTemporaryDir dir;
    ArrivedDownload downloader(FullTile());
    const ElevationSources sources{"http://127.0.0.1:1", dir.filePath("dem10b.txt"), dir.path() + "/"};
    for (auto _ : state) {
        // A point in the lower part of the tile, so most lines are read.
        benchmark::DoNotOptimize(LookupElevation(45.17f, 141.25f, sources, downloader));
    }
    state.SetLabel(std::to_string(FullTile().size()) + " bytes per tile");
}
BENCHMARK(LookupWithoutTransfer)->Unit(benchmark::kMicrosecond);

// A mountain tile as the service writes them: a smooth surface between about 500 and 3000 m
// with small-scale noise, two decimals, and a few cells without data ("e").
std::string MountainTile() {
    std::mt19937 random(14);
    std::uniform_real_distribution<double> noise(-3.0, 3.0);
    std::string tile;
    char cell[16];
    for (int r = 0; r < 256; ++r) {
        for (int c = 0; c < 256; ++c) {
            if (c) tile += ',';
            const double metres = 1750 + 900 * std::sin(r / 41.0) * std::cos(c / 53.0) +
                                  300 * std::sin((r + 2 * c) / 23.0) + noise(random);
            if (random() % 1000 == 0) {
                tile += 'e';
            } else {
                std::snprintf(cell, sizeof cell, "%.2f", metres);
                tile += cell;
            }
        }
        tile += '\n';
    }
    return tile;
}

std::string Gzip(const std::string& text, int level) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, text.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// One click's lookup through the real downloader from a server on 127.0.0.1 that answers with
// the mountain tile, plain (argument 0) or gzip at the level given; each answer closes its
// connection, so every lookup also opens one. Counters: bytes on the wire per lookup.
void LookupOverLoopback(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    const std::string tile = MountainTile();
    const std::string body = level ? Gzip(tile, level) : tile;
    const Script script{"HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Type: text/plain\r\n" +
                        std::string(level ? "Content-Encoding: gzip\r\n" : "") +
                        "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body};
    ScriptedServer server([&](const std::string&) { return script; });
    QTemporaryDir dir;
    CurlDownloader downloader;
    const ElevationSources sources{server.Base(), dir.filePath("dem10b.txt"), dir.path() + "/"};
    float metres = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(metres = LookupElevation(45.178505f, 141.24203f, sources, downloader));
    const double lookups = static_cast<double>(state.iterations());
    state.counters["wire_bytes"] = static_cast<double>(server.BytesSent()) / lookups;
    state.counters["body_bytes"] = static_cast<double>(body.size());
    state.counters["ratio"] = static_cast<double>(tile.size()) / static_cast<double>(body.size());
    state.SetLabel(std::to_string(tile.size()) + " bytes of tile text, " + std::to_string(metres) + " m");
}
BENCHMARK(LookupOverLoopback)->Arg(0)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMicrosecond);

void MeshLookup(benchmark::State& state) {
    QTemporaryDir dir;
    const QString meshDir = dir.path() + "/";
    WriteMeshFile(meshDir + "533946.bh2", [](int row, int col) { return EncodeMeshElevation(row + col); });
    for (auto _ : state) benchmark::DoNotOptimize(MeshElevation(35.681236f, 139.767125f, meshDir));
}
BENCHMARK(MeshLookup)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
