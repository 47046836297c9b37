#pragma once

#include <QString>
#include <cstdint>

/// Elevation returned when no mesh file covers a point [m].
inline constexpr std::int32_t NoMeshElevation = -1999;

/// Grid size of a mesh file: 200 x 200 cells, rows of 202 values.
inline constexpr int MeshCells = 200;
inline constexpr int MeshRowValues = 202;
/// Bytes a mesh file needs for its last cell (row 200, position 200).
inline constexpr qint64 MeshMinBytes = 2 * ((MeshCells - 1) * MeshRowValues + MeshCells);
/// Files above this size count as missing rather than being read into memory.
inline constexpr qint64 MeshMaxBytes = 16 * 1024 * 1024;

/// WGS84 minus Tokyo datum at a point, each stored in single precision [deg].
struct DatumShift {
    float DatumShiftLat = 0;
    float DatumShiftLng = 0;
};

/// A position in the Tokyo datum, stored in single precision [deg].
struct TokyoPosition {
    float MeshLat = 0;
    float MeshLng = 0;
};

/// The grid square codes of a Tokyo-datum position.
struct MeshCodes {
    QString PrimaryMeshCode;  ///< first-level square, 4 digits in Japan
    QString MeshCode;         ///< second-level square, 6 digits in Japan
};

/// A cell of a mesh file, rows from the north and columns from the west, both 1..200.
struct MeshCell {
    int Row = 0;
    int Col = 0;
    /// byte offset of the cell's value in the file
    qint64 ByteOffset() const { return 2 * (qint64(Row - 1) * MeshRowValues + (Col - 1)); }
};

/// Where a Tokyo-datum point falls in its square: the cell, and the square's south-west corner.
struct MeshCellPlace {
    MeshCell Cell;
    TokyoPosition Corner;  ///< [deg]
};

/// the Tokyo datum to WGS84 shift at a Tokyo-datum position [deg]
DatumShift TokyoDatumShift(float meshLat, float meshLng);

/// a WGS84 position [deg] moved into the Tokyo datum by one step of inversion
TokyoPosition ToTokyoDatum(float queryLat, float queryLng);

/// the grid square codes of a Tokyo-datum position [deg]
MeshCodes MakeMeshCode(float meshLat, float meshLng);

/// the cell of Tokyo-datum point (tLat, tLng) [deg] in the square of meshCode, and the
/// square's south-west corner
MeshCellPlace LocateMeshCell(const QString& meshCode, float tLat, float tLng);

/// elevation [m] of a stored 16-bit value
std::int32_t DecodeMeshValue(std::int16_t value);

/// elevation [m] of a WGS84 point from meshDir's files, NoMeshElevation when no usable file
/// covers it; Failure when an existing file cannot be read
std::int32_t MeshElevation(float lat, float lng, const QString& meshDir);
