#include "route/great_circle.h"

#include <cmath>

#include "format/angles.h"
#include "format/checked_float.h"

namespace {

// Products and differences are formed in extended precision and then stored as doubles.
double ToRadians(double degrees) { return static_cast<double>(static_cast<long double>(degrees) * DegToRad); }

}  // namespace

double GreatCircleKm(double lat1, double lng1, double lat2, double lng2) {
    const double phi1 = ToRadians(lat1);
    const double lambda1 = ToRadians(lng1);
    const double phi2 = ToRadians(lat2);
    const double lambda2 = ToRadians(lng2);
    const double deltaLambda = ToDouble(static_cast<long double>(lambda1) - lambda2);

    if (phi1 == phi2 && lambda1 == lambda2) return 0;

    long double sin1, cos1, sin2, cos2;
    sincosl(phi1, &sin1, &cos1);
    sincosl(phi2, &sin2, &cos2);
    const double g = ToDouble(sin1 * sin2 + cos1 * cos2 * cosl(deltaLambda));

    double theta = 0;
    if (g != 0) {
        const long double oneMinusG2 = 1.0L - static_cast<long double>(g) * g;
        // Nearly coincident points can round G just past 1; their distance is 0.
        if (oneMinusG2 < 0) return 0;
        theta = ToDouble(std::atan(CheckedDivide(CheckedSqrt(oneMinusG2), g)));
    }
    const long double degrees = CheckedDivide(theta, DegToRad);
    return ToDouble(std::fabs(degrees * 60 * 1.852L));
}
