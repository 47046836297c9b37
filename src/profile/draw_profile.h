#pragma once

#include <optional>

#include "profile/canvas.h"
#include "profile/chart_positions.h"
#include "route/route_table.h"

/// Colours of the chart [RGB].
namespace chart_colors {
inline const QRgb Red = qRgb(255, 0, 0);
inline const QRgb White = qRgb(255, 255, 255);
inline const QRgb LightBlue = qRgb(100, 200, 255);
inline const QRgb Black = qRgb(0, 0, 0);
inline const QRgb Yellow = qRgb(255, 255, 0);
inline const QRgb GreyGreen = qRgb(100, 150, 100);
inline const QRgb Blue = qRgb(0, 0, 255);
}  // namespace chart_colors

/// The plot frame of a W x H chart [px].
struct ChartFrame {
    int L, R, T, B, PW, PH;
    static ChartFrame Of(int width, int height) { return {35, width - 10, 30, height - 150, width - 55, height - 180}; }
};

/// grid step [m] of the elevation scale for an elevation range [m]
int ElevationStep(float range);

/// tick step [m] of the distance scale for a route length [km]; 0 below about 2 m
long long DistanceStep(double totalKm);

/// draws the elevation profile of a route of two or more points and returns where each point
/// went; a shorter route leaves the picture as it was and gives nullopt
std::optional<ChartPositions> DrawProfile(const RouteTable& table, const RouteStats& stats, Canvas& canvas);
