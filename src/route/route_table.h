#pragma once

#include <QString>
#include <cstdint>
#include <vector>

/// The route as parallel per-point arrays, indexed 1..PointCount; index 0 never holds a point.
struct RouteTable {
    std::int32_t PointCount = 0;
    std::int32_t Capacity = 0;         ///< length of every per-point array
    std::vector<float> Lat;            ///< [deg]
    std::vector<float> Lng;            ///< [deg]
    std::vector<float> Elevation;      ///< [m]
    std::vector<float> CumulativeKm;   ///< distance from point 1 [km]
    std::vector<float> SegmentKm;      ///< distance from the previous point [km]
    std::vector<QString> PointName;    ///< place name given on the chart; empty by default
    std::vector<std::int32_t> ChartX;  ///< pixel column as last drawn in the chart
    std::vector<std::int32_t> ChartY;  ///< pixel row as last drawn in the chart
};

/// The two points GreatCircleKm measures [deg].
struct DistanceInputs {
    double Lat1 = 0;
    double Lng1 = 0;
    double Lat2 = 0;
    double Lng2 = 0;
};

/// Sine and cosine of the latitude GreatCircleKm saw last as its second point: consecutive
/// segments share a point, so each latitude's pair is computed once.
struct LatitudeTrig {
    double Phi = 0;
    long double Sin = 0;
    long double Cos = 1;
};

/// Running aggregates of the route.
struct RouteStats {
    double TotalKm = 0;          ///< route length [km]
    double LastSegmentKm = 0;    ///< the distance GreatCircleKm computed last [km]
    float ClimbTotal = 0;        ///< sum of the rises between consecutive points [m]
    float DescentTotal = 0;      ///< sum of the drops, zero or negative [m]
    float MaxElevation = 0;      ///< [m]
    float MinElevation = 4000;   ///< [m]
    float CurrentElevation = 0;  ///< elevation of the point appended last [m]
    DistanceInputs Inputs;
    LatitudeTrig LastTrig;
};

/// gives every per-point array the length Capacity; kept entries keep their values, new ones are 0
void AllocateRoute(RouteTable& table);
