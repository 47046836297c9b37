#include "elevation/tile_address.h"

#include <cmath>
#include <limits>

#include "elevation/elevation_messages.h"
#include "format/angles.h"
#include "format/checked_float.h"
#include "format/failure.h"
#include "format/number_text.h"

namespace {

// artanh as 1/2 ln((1 + v) / (1 - v)), infinite within 1e-12 of +-1: that infinity is a fault.
double Artanh(double v) {
    if (std::fabs(v - 1.0) < 1e-12 || std::fabs(v + 1.0) < 1e-12) throw Failure(elevation_messages::TooNearPole());
    const long double ratio = CheckedDivide(1.0L + v, 1.0L - v);
    return ToDouble(0.5L * std::log(ratio));
}

std::int32_t ToInt32(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw Failure(elevation_messages::TileNumberOutOfRange());
    return static_cast<std::int32_t>(value);
}

}  // namespace

TilePosition TileAddress(float lat, float lng) {
    const long double f = 2097152.0L;  // 2^(14 + 7): pixels across the zoom-14 world / 2
    TilePosition t;

    const long double x = f * (static_cast<long double>(lng) / 180 + 1);
    t.TileX = ToInt32(Truncate(x / 256));
    t.PixelColumn = ToInt32(RoundToInteger((x / 256 - t.TileX) * 256));

    const double northSine = ToDouble(std::sin(85.05112878L * DegToRad));
    const double pointSine = ToDouble(std::sin(static_cast<long double>(lat) * DegToRad));
    const long double y = f / Pi * (static_cast<long double>(Artanh(northSine)) - Artanh(pointSine));
    t.TileY = ToInt32(Truncate(y / 256));
    t.PixelRow = ToInt32(RoundToInteger((y / 256 - t.TileY) * 256));
    return t;
}

QString TilePath(const TilePosition& position) {
    return QStringLiteral("/xyz/dem/%1/%2/%3.txt").arg(TileZoom).arg(position.TileX).arg(position.TileY);
}
