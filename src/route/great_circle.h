#pragma once

#include "route/angles.h"
#include "route/route_table.h"

/// distance between stats.Inputs' two points on the sphere of 1.852 km per minute of arc;
/// leaves it in stats.LastSegmentKm [km]
void GreatCircleKm(RouteStats& stats, const AngleConstants& angles);
