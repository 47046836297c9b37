#include "route/angles.h"

#include <cmath>

AngleConstants ComputeAngleConstants() {
    AngleConstants a;
    a.Pi = static_cast<double>(4.0L * std::atan(1.0L));
    a.DegToRad = static_cast<double>(static_cast<long double>(a.Pi) / 180.0L);
    return a;
}
