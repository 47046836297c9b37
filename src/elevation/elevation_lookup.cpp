#include "elevation/elevation_lookup.h"

#include <QFile>
#include <cerrno>
#include <optional>

#include "elevation/tile_address.h"
#include "elevation/tile_reader.h"
#include "fileio/file_fault.h"
#include "format/checked_float.h"
#include "format/failure.h"
#include "format/number_text.h"

namespace {

void RemoveTempFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.exists()) return;
    errno = 0;
    if (!file.remove()) {
        const int error = errno;
        throw RemoveFault(fileName, error, file.errorString());
    }
}

// Removes the downloaded tile however the lookup ends.
class TempFileGuard {
  public:
    explicit TempFileGuard(const QString& fileName) : fileName_(fileName) {}
    ~TempFileGuard() { QFile::remove(fileName_); }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;

  private:
    QString fileName_;
};

}  // namespace

float LookupElevation(float lat, float lng, const ElevationSources& sources, Downloader& downloader) {
    const TilePosition tile = TileAddress(lat, lng);
    const QString url = sources.TileBase + TilePath(tile);

    // A tile left from an earlier lookup must never be read as this one.
    RemoveTempFile(sources.DemTempFile);
    std::optional<std::int64_t> value;
    {
        TempFileGuard guard(sources.DemTempFile);
        if (downloader.DownloadToFile(url, sources.DemTempFile) && QFile::exists(sources.DemTempFile))
            value = TileCellValue(CellText(ReadTileRow(sources.DemTempFile, tile.PixelRow), tile.PixelColumn));
    }
    if (!value) value = MeshElevation(lat, lng, sources.MeshDir);
    return ToSingle(static_cast<long double>(*value));
}

QString DiagnosticElevationText(const ElevationSources& sources, Downloader& downloader) {
    return GeneralFormat(LookupElevation(45.178505f, 141.24203f, sources, downloader));
}
