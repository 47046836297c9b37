#pragma once

/// distance between two points [deg] on the sphere of 1.852 km per minute of arc [km]
double GreatCircleKm(double lat1, double lng1, double lat2, double lng2);
