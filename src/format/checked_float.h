#pragma once

#include <cmath>

#include "format/failure.h"

// Floating faults raise Failure instead of letting a NaN or an infinity travel.

namespace checked_float_detail {
[[noreturn]] void Fault(long double value);
inline void RequireFinite(long double value) {
    if (!std::isfinite(value)) [[unlikely]]
        Fault(value);
}
}  // namespace checked_float_detail

/// value rounded to single precision; Failure on NaN, infinity or overflow
inline float ToSingle(long double value) {
    checked_float_detail::RequireFinite(value);
    const float result = static_cast<float>(value);
    checked_float_detail::RequireFinite(result);
    return result;
}

/// value rounded to double precision; Failure on NaN, infinity or overflow
inline double ToDouble(long double value) {
    checked_float_detail::RequireFinite(value);
    const double result = static_cast<double>(value);
    checked_float_detail::RequireFinite(result);
    return result;
}

/// square root; Failure for a negative or non-finite argument
long double CheckedSqrt(long double value);

/// numerator / denominator; Failure on division by zero or a non-finite result
long double CheckedDivide(long double numerator, long double denominator);
