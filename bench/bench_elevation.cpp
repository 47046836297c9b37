#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "elevation/elevation_lookup.h"
#include "elevation/mesh_file_writer.h"
#include "elevation/tile_address.h"
#include "elevation/tile_reader.h"

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

void MeshLookup(benchmark::State& state) {
    QTemporaryDir dir;
    const QString meshDir = dir.path() + "/";
    WriteMeshFile(meshDir + "533946.bh2", [](int row, int col) { return EncodeMeshElevation(row + col); });
    for (auto _ : state) benchmark::DoNotOptimize(MeshElevation(35.681236f, 139.767125f, meshDir));
}
BENCHMARK(MeshLookup)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
