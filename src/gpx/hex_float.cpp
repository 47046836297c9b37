#include "gpx/hex_float.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "format/checked_float.h"

void AppendHexFloat(std::string& out, double value) {
    RequireFinite(value);
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);

    if (negative) out += '-';
    if (biased == 0 && fraction == 0) {
        out += "0x0p+0";
        return;
    }
    out += biased == 0 ? "0x0" : "0x1";
    if (fraction != 0) {
        out += '.';
        int digits = 13;
        while ((fraction & 0xf) == 0) {
            fraction >>= 4;
            --digits;
        }
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += "0123456789abcdef"[(fraction >> shift) & 0xf];
    }
    const int exponent = biased == 0 ? -1022 : biased - 1023;
    out += exponent < 0 ? "p-" : "p+";
    char buffer[8];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::abs(exponent)).ptr;
    out.append(buffer, end);
}

QString HexFloatText(double value) {
    std::string text;
    AppendHexFloat(text, value);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<double> ParseHexFloat(QStringView text) {
    qsizetype at = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (at < n && (text[at] == u'-' || text[at] == u'+')) negative = text[at++] == u'-';
    if (n - at < 2 || text[at] != u'0' || (text[at + 1] != u'x' && text[at + 1] != u'X')) return std::nullopt;
    at += 2;

    // At most 53 significant bits, so the mantissa converts to double without rounding.
    std::uint64_t mantissa = 0;
    int fractionDigits = 0;
    int digits = 0;
    bool seenPoint = false;
    for (; at < n; ++at) {
        if (text[at] == u'.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        const int d = HexDigit(text[at]);
        if (d < 0) break;
        ++digits;
        if (seenPoint) ++fractionDigits;
        if (mantissa == 0 && d == 0) continue;
        if (mantissa >= (std::uint64_t{1} << 49)) return std::nullopt;
        mantissa = mantissa * 16 + static_cast<unsigned>(d);
    }
    if (digits == 0 || at >= n || (text[at] != u'p' && text[at] != u'P')) return std::nullopt;
    ++at;
    bool negativeExponent = false;
    if (at < n && (text[at] == u'-' || text[at] == u'+')) negativeExponent = text[at++] == u'-';
    if (at == n) return std::nullopt;
    int exponent = 0;
    for (; at < n; ++at) {
        const char16_t u = text[at].unicode();
        if (u < '0' || u > '9' || exponent > 100000) return std::nullopt;
        exponent = exponent * 10 + (u - '0');
    }
    if (mantissa >= (std::uint64_t{1} << 53)) return std::nullopt;
    const int scale = (negativeExponent ? -exponent : exponent) - 4 * fractionDigits;
    const double value = std::ldexp(static_cast<double>(mantissa), scale);
    // Underflow or overflow would round: only exact values are accepted.
    if (!std::isfinite(value) || std::ldexp(value, -scale) != static_cast<double>(mantissa)) return std::nullopt;
    return negative ? -value : value;
}
