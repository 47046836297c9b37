#pragma once

#include <QString>
#include <cstdint>

#include "route/angles.h"

/// Elevation returned when no mesh file covers a point [m].
inline constexpr std::int32_t NoMeshElevation = -1999;

/// Grid size of a mesh file: 200 x 200 cells, rows of 202 values.
inline constexpr int MeshCells = 200;
inline constexpr int MeshRowValues = 202;
/// Bytes a mesh file needs for its last cell (row 200, position 200).
inline constexpr qint64 MeshMinBytes = 2 * ((MeshCells - 1) * MeshRowValues + MeshCells);
/// Files above this size count as missing rather than being read into memory.
inline constexpr qint64 MeshMaxBytes = 16 * 1024 * 1024;

/// Working values of one mesh lookup, owned by the caller.
struct MeshWork {
    float QueryLat = 0;       ///< WGS84 [deg]
    float QueryLng = 0;       ///< WGS84 [deg]
    float MeshLat = 0;        ///< Tokyo datum, later the square's south-west corner [deg]
    float MeshLng = 0;        ///< Tokyo datum, later the square's south-west corner [deg]
    float DatumShiftLat = 0;  ///< WGS84 minus Tokyo datum [deg]
    float DatumShiftLng = 0;  ///< WGS84 minus Tokyo datum [deg]
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

/// Tokyo datum to WGS84 shift at (MeshLat, MeshLng) into DatumShiftLat/Lng [deg]
void TokyoDatumShift(MeshWork& work, const AngleConstants& angles);

/// (QueryLat, QueryLng) moved into the Tokyo datum, into (MeshLat, MeshLng)
void ToTokyoDatum(MeshWork& work, const AngleConstants& angles);

/// grid square codes of (MeshLat, MeshLng) into PrimaryMeshCode and MeshCode
void MakeMeshCode(MeshWork& work);

/// the cell of Tokyo-datum point (tLat, tLng) in the square of MeshCode; leaves the square's
/// south-west corner in (MeshLat, MeshLng)
MeshCell LocateMeshCell(MeshWork& work, float tLat, float tLng);

/// elevation [m] of a stored 16-bit value
std::int32_t DecodeMeshValue(std::int16_t value);

/// elevation [m] of a WGS84 point from meshDir's files, NoMeshElevation when no usable file
/// covers it; Failure when an existing file cannot be read
std::int32_t MeshElevation(float lat, float lng, MeshWork& work, const QString& meshDir, const AngleConstants& angles);
