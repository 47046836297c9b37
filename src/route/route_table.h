#pragma once

#include <QString>
#include <cstdint>
#include <vector>

/// The route as parallel per-point arrays, indexed 1..PointCount; index 0 never holds a point.
struct RouteTable {
    std::int32_t PointCount = 0;
    std::int32_t Capacity = 0;        ///< length of every per-point array
    std::vector<float> Lat;           ///< [deg]
    std::vector<float> Lng;           ///< [deg]
    std::vector<float> Elevation;     ///< [m]
    std::vector<float> CumulativeKm;  ///< distance from point 1 [km]
    std::vector<float> SegmentKm;     ///< distance from the previous point [km]
    std::vector<QString> PointName;   ///< place name given on the chart; empty by default
};

/// Running aggregates of the route.
struct RouteStats {
    double TotalKm = 0;          ///< route length [km]
    double LastSegmentKm = 0;    ///< the segment length measured last [km]
    float ClimbTotal = 0;        ///< sum of the rises between consecutive points [m]
    float DescentTotal = 0;      ///< sum of the drops, zero or negative [m]
    float MaxElevation = 0;      ///< [m]
    float MinElevation = 4000;   ///< [m]
    float CurrentElevation = 0;  ///< elevation of the point appended last [m]
};

/// gives every per-point array the length Capacity; kept entries keep their values, new ones are 0
void AllocateRoute(RouteTable& table);
