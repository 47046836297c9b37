#include "format/checked_float.h"

#include "format/format_messages.h"

namespace checked_float_detail {

void Fault(long double value) {
    if (std::isnan(value)) throw Failure(format_messages::InvalidOperation());
    throw Failure(format_messages::Overflow());
}

}  // namespace checked_float_detail

long double CheckedSqrt(long double value) {
    RequireFinite(value);
    if (value < 0) throw Failure(format_messages::InvalidOperation());
    return std::sqrt(value);
}

long double CheckedDivide(long double numerator, long double denominator) {
    RequireFinite(numerator);
    RequireFinite(denominator);
    if (denominator == 0) {
        if (numerator == 0) throw Failure(format_messages::InvalidOperation());
        throw Failure(format_messages::DivisionByZero());
    }
    const long double result = numerator / denominator;
    RequireFinite(result);
    return result;
}
