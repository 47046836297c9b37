#include "route/great_circle.h"

#include <cmath>

#include "format/checked_float.h"

namespace {

// Products and differences are formed in extended precision and then stored as doubles.
double ToRadians(double degrees, double degToRad) {
    return static_cast<double>(static_cast<long double>(degrees) * degToRad);
}

}  // namespace

void GreatCircleKm(RouteStats& stats, const AngleConstants& angles) {
    const DistanceInputs& in = stats.Inputs;
    const double phi1 = ToRadians(in.Lat1, angles.DegToRad);
    const double lambda1 = ToRadians(in.Lng1, angles.DegToRad);
    const double phi2 = ToRadians(in.Lat2, angles.DegToRad);
    const double lambda2 = ToRadians(in.Lng2, angles.DegToRad);
    const double deltaLambda = ToDouble(static_cast<long double>(lambda1) - lambda2);

    stats.LastSegmentKm = 0;
    if (phi1 == phi2 && lambda1 == lambda2) return;

    long double sin1, cos1, sin2, cos2;
    if (phi1 == stats.LastTrig.Phi) {
        sin1 = stats.LastTrig.Sin;
        cos1 = stats.LastTrig.Cos;
    } else {
        sincosl(phi1, &sin1, &cos1);
    }
    sincosl(phi2, &sin2, &cos2);
    stats.LastTrig = {phi2, sin2, cos2};
    const double g = ToDouble(sin1 * sin2 + cos1 * cos2 * cosl(deltaLambda));

    double theta = 0;
    if (g != 0) {
        const long double oneMinusG2 = 1.0L - static_cast<long double>(g) * g;
        // Nearly coincident points can round G just past 1; their distance is 0.
        if (oneMinusG2 < 0) return;
        theta = ToDouble(std::atan(CheckedDivide(CheckedSqrt(oneMinusG2), g)));
    }
    const long double degrees = CheckedDivide(theta, angles.DegToRad);
    stats.LastSegmentKm = ToDouble(std::fabs(degrees * 60 * 1.852L));
}
