#include "format/checked_float.h"

#include <cmath>

#include "format/failure.h"

namespace {

void RequireFinite(long double value) {
    if (std::isnan(value)) throw Failure(QStringLiteral("浮動小数点演算が無効です"));
    if (std::isinf(value)) throw Failure(QStringLiteral("浮動小数点演算でオーバーフローしました"));
}

}  // namespace

float ToSingle(long double value) {
    RequireFinite(value);
    const float result = static_cast<float>(value);
    RequireFinite(result);
    return result;
}

double ToDouble(long double value) {
    RequireFinite(value);
    const double result = static_cast<double>(value);
    RequireFinite(result);
    return result;
}

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
