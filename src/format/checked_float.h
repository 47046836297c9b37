#pragma once

// Floating faults raise Failure instead of letting a NaN or an infinity travel.

/// value rounded to single precision; Failure on NaN, infinity or overflow
float ToSingle(long double value);

/// value rounded to double precision; Failure on NaN, infinity or overflow
double ToDouble(long double value);

/// square root; Failure for a negative or non-finite argument
long double CheckedSqrt(long double value);

/// numerator / denominator; Failure on division by zero or a non-finite result
long double CheckedDivide(long double numerator, long double denominator);
