#pragma once

// The angle constants of the whole program.

/// 4 x arctan(1), the arctangent evaluated in extended precision, stored as a double [rad]
inline constexpr double Pi = 3.141592653589793;

/// Pi / 180, the quotient evaluated in extended precision, stored as a double [rad/deg]
inline constexpr double DegToRad = static_cast<double>(static_cast<long double>(Pi) / 180.0L);
