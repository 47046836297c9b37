#include "format/checked_float.h"

namespace checked_float_detail {

void Fault(long double value) {
    if (std::isnan(value)) throw Failure(QStringLiteral("浮動小数点演算が無効です"));
    throw Failure(QStringLiteral("浮動小数点演算でオーバーフローしました"));
}

}  // namespace checked_float_detail

using checked_float_detail::RequireFinite;

long double CheckedSqrt(long double value) {
    RequireFinite(value);
    if (value < 0) throw Failure(QStringLiteral("浮動小数点演算が無効です"));
    return std::sqrt(value);
}

long double CheckedDivide(long double numerator, long double denominator) {
    RequireFinite(numerator);
    RequireFinite(denominator);
    if (denominator == 0) {
        if (numerator == 0) throw Failure(QStringLiteral("浮動小数点演算が無効です"));
        throw Failure(QStringLiteral("0 で除算しました"));
    }
    const long double result = numerator / denominator;
    RequireFinite(result);
    return result;
}
