#pragma once

#include <cmath>

#include "format/failure.h"

// Floating faults raise Failure instead of letting a NaN or an infinity travel.

namespace checked_float_detail {
[[noreturn]] void Fault(long double value);
}  // namespace checked_float_detail

/// Failure unless the value is finite: a NaN is an invalid operation, an infinity an overflow
inline void RequireFinite(long double value) {
    if (!std::isfinite(value)) [[unlikely]]
        checked_float_detail::Fault(value);
}

/// value rounded to single precision; Failure on NaN, infinity or overflow
inline float ToSingle(long double value) {
    RequireFinite(value);
    const float result = static_cast<float>(value);
    RequireFinite(result);
    return result;
}

/// value rounded to double precision; Failure on NaN, infinity or overflow
inline double ToDouble(long double value) {
    RequireFinite(value);
    const double result = static_cast<double>(value);
    RequireFinite(result);
    return result;
}

/// square root; Failure for a negative or non-finite argument
long double CheckedSqrt(long double value);

/// numerator / denominator; Failure on division by zero or a non-finite result
long double CheckedDivide(long double numerator, long double denominator);
