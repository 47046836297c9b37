// The mesh reader on arbitrary file contents and positions: the file is written under the
// code the position names, so the whole lookup runs on it.

#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "elevation/mesh_elevation.h"
#include "format/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    float lat, lng;
    std::memcpy(&lat, data, 4);
    std::memcpy(&lng, data + 4, 4);
    static const QString dir = [] {
        const QString d = QDir::tempPath() + QStringLiteral("/mirevale-fuzz-mesh-%1/").arg(getpid());
        QDir().mkpath(d);
        return d;
    }();
    try {
        // Find the file name first, then put the contents there.
        const TokyoPosition t = ToTokyoDatum(lat, lng);
        const QString code = MakeMeshCode(t.MeshLat, t.MeshLng).MeshCode;
        if (code.contains(QLatin1Char('/')) || code.size() > 80) std::abort();
        const QString path = dir + code + QStringLiteral(".bh2");
        {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
            f.write(reinterpret_cast<const char*>(data + 8), static_cast<qint64>(size - 8));
        }
        const std::int32_t m = MeshElevation(lat, lng, dir);
        QFile::remove(path);
        if (m != NoMeshElevation && (m < -1776 || m > 4776)) std::abort();
    } catch (const Failure&) {
    }
    return 0;
}
