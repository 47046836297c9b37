#pragma once

#include <QString>
#include <cstdint>

/// Zoom level of the elevation tiles.
inline constexpr int TileZoom = 14;

/// Where a point falls among the zoom-14 tiles of 256 x 256 pixels.
struct TilePosition {
    std::int32_t TileX = 0;        ///< tile column, eastwards from -180 deg
    std::int32_t TileY = 0;        ///< tile row, southwards from the projection's northern limit
    std::int32_t PixelColumn = 0;  ///< 0..256 from the tile's west edge, rounded
    std::int32_t PixelRow = 0;     ///< 0..256 from the tile's north edge, rounded
};

/// the tile and pixel of a WGS84 point [deg]; Failure within about 0.0001 deg of a pole
TilePosition TileAddress(float lat, float lng);

/// "/xyz/dem/14/{TileX}/{TileY}.txt"
QString TilePath(const TilePosition& position);
