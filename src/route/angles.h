#pragma once

/// The angle constants of the whole program, computed once at start-up.
struct AngleConstants {
    double Pi = 0;        ///< 4 x arctan(1) [rad]
    double DegToRad = 0;  ///< Pi / 180 [rad/deg]
};

/// Pi from the extended-precision arctangent, DegToRad = Pi / 180, both stored as doubles
AngleConstants ComputeAngleConstants();
