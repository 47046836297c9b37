#include "elevation/mesh_file_writer.h"

#include <QByteArray>

#include "elevation/elevation_messages.h"
#include "elevation/mesh_elevation.h"
#include "fileio/whole_file.h"
#include "format/failure.h"

std::int16_t EncodeMeshElevation(std::int32_t metres) {
    const std::int32_t v = 10 * (metres - 1500);
    if (v < -32768 || v > 32767) throw Failure(elevation_messages::NotStorableInMesh(metres));
    return static_cast<std::int16_t>(v);
}

void WriteMeshFile(const QString& path, const std::function<std::int16_t(int row, int col)>& value) {
    QByteArray data;
    data.reserve(2 * MeshCells * MeshRowValues);
    for (int row = 1; row <= MeshCells; ++row) {
        for (int position = 1; position <= MeshRowValues; ++position) {
            const auto v = static_cast<std::uint16_t>(position <= MeshCells ? value(row, position) : 0);
            data.append(static_cast<char>(v & 0xff));
            data.append(static_cast<char>(v >> 8));
        }
    }
    WriteWholeFile(path, data);
}
