// Writes synthetic mesh files for the demo: a smooth cone peaking at 3776 m at the summit
// position below, over the second-level squares around it. Demo data only, not a survey.

#include <QCoreApplication>
#include <QDir>
#include <cmath>
#include <cstdio>

#include "elevation/mesh_elevation.h"
#include "elevation/mesh_file_writer.h"
#include "format/failure.h"

namespace {

constexpr double SummitLat = 35.3606, SummitLng = 138.7274;  // WGS84 [deg]
constexpr double PeakMetres = 3776, BaseMetres = 600, RadiusKm = 22;

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <mesh folder>\n", argv[0]);
        return 2;
    }
    const QString dir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + "/";
    // The cone stands where the WGS84 summit falls in the grid.
    const TokyoPosition summit = ToTokyoDatum(float(SummitLat), float(SummitLng));
    const double kmPerDegLat = 111.0, kmPerDegLng = 111.0 * std::cos(SummitLat * M_PI / 180);

    int files = 0;
    try {
        // Second-level squares are 5' x 7.5'; cover about +-0.2 deg around the summit.
        for (double lat = summit.MeshLat - 0.2; lat <= summit.MeshLat + 0.2; lat += 5.0 / 60) {
            for (double lng = summit.MeshLng - 0.25; lng <= summit.MeshLng + 0.25; lng += 7.5 / 60) {
                const MeshCodes square = MakeMeshCode(float(lat), float(lng));
                const TokyoPosition corner = LocateMeshCell(square.MeshCode, float(lat), float(lng)).Corner;
                const double south = corner.MeshLat, west = corner.MeshLng;
                WriteMeshFile(dir + square.MeshCode + ".bh2", [&](int row, int col) {
                    const double cellLat = south + (200 - row + 0.5) * (5.0 / 60 / 200);
                    const double cellLng = west + (col - 0.5) * (7.5 / 60 / 200);
                    const double d =
                        std::hypot((cellLat - summit.MeshLat) * kmPerDegLat, (cellLng - summit.MeshLng) * kmPerDegLng);
                    const double metres = std::max(BaseMetres, PeakMetres - (PeakMetres - BaseMetres) * d / RadiusKm);
                    return EncodeMeshElevation(int(std::lround(metres)));
                });
                ++files;
            }
        }
    } catch (const Failure& f) {
        std::fprintf(stderr, "%s\n", f.what());
        return 1;
    }
    std::printf("%d synthetic mesh files in %s\n", files, qPrintable(dir));
    return 0;
}
