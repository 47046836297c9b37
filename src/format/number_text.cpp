#include "format/number_text.h"

#include <locale.h>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "format/checked_float.h"
#include "format/failure.h"
#include "format/format_messages.h"

namespace {

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// The "C" locale for the calling thread while it lives; the thread's own one afterwards.
class CLocaleScope {
  public:
    CLocaleScope() : previous_(uselocale(CLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    locale_t previous_;
};

// The value's first 18 significant digits, correctly rounded from its exact binary value
// with ties to even (glibc's conversion is exact), and the decimal exponent of the first.
struct Digits18 {
    std::string digits;  // exactly 18 characters '0'..'9'
    int exponent = 0;    // value = d0.d1d2... x 10^exponent
};

Digits18 ToDigits18(long double magnitude) {
    char buffer[64];
    {
        // printf writes the decimal point of the thread's C locale, which follows the user's
        // environment once the Qt application has called setlocale: format in "C".
        const CLocaleScope c;
        std::snprintf(buffer, sizeof buffer, "%.17Le", magnitude);
    }
    Digits18 result;
    const char* p = buffer;
    result.digits.push_back(*p++);
    ++p;  // '.'
    while (*p >= '0' && *p <= '9') result.digits.push_back(*p++);
    ++p;  // 'e'
    result.exponent = std::atoi(p);
    return result;
}

// Rounds a digit string to its first `keep` digits with halves away from zero; returns true
// when the carry ran out of the front (the digits became 1 followed by zeros, one longer).
bool RoundDigitsHalfUp(std::string& digits, int keep) {
    const bool up = keep < static_cast<int>(digits.size()) && digits[keep] >= '5';
    digits.resize(keep);
    if (!up) return false;
    for (int i = keep - 1; i >= 0; --i) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

using format_messages::NotANumber;

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// The value in hundredths, rounded half away from zero, when that can be decided without
// the exact decimal expansion. A double (or a widened single) times 100 is exact in the
// 64-bit significand; rounding to 18 significant digits first moves the value by at most
// |x| * 5e-18 hundredths, which only matters when the fraction lies that close to one half.
std::optional<std::int64_t> FastHundredths(long double magnitude) {
    if (magnitude >= 1e13L || static_cast<long double>(static_cast<double>(magnitude)) != magnitude)
        return std::nullopt;
    const long double x = magnitude * 100;
    const long double whole = std::floor(x);
    const long double fraction = x - whole;
    if (std::fabs(fraction - 0.5L) <= x * 1e-16L) return std::nullopt;
    return static_cast<std::int64_t>(whole) + (fraction > 0.5L ? 1 : 0);
}

// Hundredths as "###.#0": no integer digit for 0, a minus sign only when not zero.
QString HundredthsText(std::int64_t hundredths, bool negative) {
    const std::int64_t integer = hundredths / 100;
    const int fraction = static_cast<int>(hundredths % 100);
    char buffer[48];  // sign, at most 19 digits, point, two decimals
    char* p = buffer;
    if (negative && hundredths != 0) *p++ = '-';
    if (integer != 0) p = std::to_chars(p, buffer + 32, integer).ptr;
    *p++ = '.';
    *p++ = static_cast<char>('0' + fraction / 10);
    *p++ = static_cast<char>('0' + fraction % 10);
    return QString::fromLatin1(buffer, p - buffer);
}

// A checked decimal text ("[-+]d+[.d+][e[-+]d+]") as the correctly rounded extended value.
// With at most 19 significant digits and a power of ten below 10^28, both operands are exact
// in the 64-bit significand and one multiplication or division rounds correctly; anything
// else goes through the C library's correctly rounded conversion.
long double ExactOrLibrary(const std::string& ascii) {
    std::uint64_t mantissa = 0;
    int digits = 0;
    int scale = 0;  // value = mantissa * 10^scale
    std::size_t p = 0;
    const bool negative = ascii[0] == '-';
    if (ascii[0] == '-' || ascii[0] == '+') ++p;
    bool fraction = false;
    for (; p < ascii.size() && ascii[p] != 'e'; ++p) {
        if (ascii[p] == '.') {
            fraction = true;
            continue;
        }
        if (mantissa == 0 && ascii[p] == '0') {
            if (fraction) --scale;
            continue;
        }
        if (++digits > 19) return strtold_l(ascii.c_str(), nullptr, CLocale());
        mantissa = mantissa * 10 + static_cast<unsigned>(ascii[p] - '0');
        if (fraction) --scale;
    }
    if (p < ascii.size()) {
        const std::string exponent = ascii.substr(p + 1);
        if (exponent.size() > 6) return strtold_l(ascii.c_str(), nullptr, CLocale());
        scale += std::stoi(exponent);
    }
    if (mantissa == 0) return negative ? -0.0L : 0.0L;
    if (scale < -27 || scale > 27) return strtold_l(ascii.c_str(), nullptr, CLocale());
    long double power = 1;
    for (int i = 0; i < std::abs(scale); ++i) power *= 10;
    const long double magnitude =
        scale < 0 ? static_cast<long double>(mantissa) / power : static_cast<long double>(mantissa) * power;
    return negative ? -magnitude : magnitude;
}

}  // namespace

QString GeneralFormat(long double value) {
    RequireFinite(value);
    if (value == 0) return QStringLiteral("0");
    // Whole numbers below 10^15 have at most 15 digits: nothing to round.
    if (std::fabs(value) < 1e15L && std::trunc(value) == value) {
        char buffer[24];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int64_t>(value)).ptr;
        return QString::fromLatin1(buffer, end - buffer);
    }
    const bool negative = value < 0;
    Digits18 d = ToDigits18(std::fabs(value));
    if (RoundDigitsHalfUp(d.digits, 15)) {
        d.digits.pop_back();
        ++d.exponent;
    }
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();

    std::string out = negative ? "-" : "";
    const int e = d.exponent;
    const int n = static_cast<int>(d.digits.size());
    if (e >= -4 && e <= 14) {
        if (e >= 0) {
            for (int i = 0; i <= e; ++i) out.push_back(i < n ? d.digits[i] : '0');
            if (n > e + 1) out += "." + d.digits.substr(e + 1);
        } else {
            out += "0." + std::string(-e - 1, '0') + d.digits;
        }
    } else {
        out.push_back(d.digits[0]);
        if (n > 1) out += "." + d.digits.substr(1);
        out += "E";
        if (e < 0) out += "-";
        out += std::to_string(std::abs(e));
    }
    return QString::fromLatin1(out);
}

QString PatternFormat(long double value) {
    RequireFinite(value);
    if (std::fabs(value) >= 1e18L) return GeneralFormat(value);
    if (value == 0) return QStringLiteral(".00");
    const bool negative = value < 0;
    if (const auto h = FastHundredths(std::fabs(value))) return HundredthsText(*h, negative);
    Digits18 d = ToDigits18(std::fabs(value));
    // Hundredths: the digits down to the 10^-2 place, rounded by the next digit.
    const int keep = d.exponent + 3;
    std::string hundredths;
    if (keep < 0) {
        hundredths = "0";
    } else {
        std::string digits = d.digits;
        if (keep > static_cast<int>(digits.size())) digits.append(keep - digits.size(), '0');
        RoundDigitsHalfUp(digits, keep);
        hundredths = digits.empty() ? "0" : digits;
    }
    if (hundredths.size() <= 18) return HundredthsText(std::stoll(hundredths), negative);
    while (hundredths.size() > 1 && hundredths[0] == '0') hundredths.erase(0, 1);
    if (hundredths.size() < 3) hundredths.insert(0, 3 - hundredths.size(), '0');
    std::string integer = hundredths.substr(0, hundredths.size() - 2);
    const std::string fraction = hundredths.substr(hundredths.size() - 2);
    if (integer == "0") integer.clear();
    const bool zero = integer.empty() && fraction == "00";
    return QString::fromLatin1((negative && !zero ? "-" : "") + integer + "." + fraction);
}

std::int64_t RoundToInteger(long double value) {
    RequireFinite(value);
    const long double r = std::rint(value);  // the default rounding mode: ties to even
    if (r < -9223372036854775808.0L || r >= 9223372036854775808.0L) throw Failure(format_messages::IntegerOutOfRange());
    return static_cast<std::int64_t>(r);
}

QString RoundText(long double value) { return QString::number(RoundToInteger(value)); }

std::int64_t Truncate(long double value) {
    RequireFinite(value);
    const long double t = std::trunc(value);
    if (t < -9223372036854775808.0L || t >= 9223372036854775808.0L) throw Failure(format_messages::IntegerOutOfRange());
    return static_cast<std::int64_t>(t);
}

long double ParseDecimal(const QString& text) {
    const QChar* t = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && t[i] == QLatin1Char(' ')) ++i;
    qsizetype end = n;
    while (end > i && t[end - 1] == QLatin1Char(' ')) --end;

    // Check the grammar first; the accepted characters are then plain ASCII one for one.
    qsizetype p = i;
    if (p < end && (t[p] == QLatin1Char('+') || t[p] == QLatin1Char('-'))) ++p;
    const qsizetype intStart = p;
    while (p < end && IsDigit(t[p])) ++p;
    if (p == intStart) throw Failure(NotANumber(text));
    if (p < end && t[p] == QLatin1Char('.')) {
        const qsizetype fracStart = ++p;
        while (p < end && IsDigit(t[p])) ++p;
        if (p == fracStart) throw Failure(NotANumber(text));
    }
    if (p < end && (t[p] == QLatin1Char('e') || t[p] == QLatin1Char('E'))) {
        ++p;
        if (p < end && (t[p] == QLatin1Char('+') || t[p] == QLatin1Char('-'))) ++p;
        const qsizetype expStart = p;
        while (p < end && IsDigit(t[p])) ++p;
        if (p == expStart) throw Failure(NotANumber(text));
    }
    if (p != end) throw Failure(NotANumber(text));

    std::string ascii(static_cast<std::size_t>(end - i), '\0');
    for (qsizetype k = i; k < end; ++k) {
        const char c = static_cast<char>(t[k].unicode());
        ascii[static_cast<std::size_t>(k - i)] = c == 'E' ? 'e' : c;
    }
    const long double value = ExactOrLibrary(ascii);
    RequireFinite(value);  // a finite text too large for the format: overflow
    return value;
}

std::int32_t ParseWhole(const QString& text) {
    const qsizetype n = text.size();
    qsizetype p = 0;
    while (p < n && text[p] == QLatin1Char(' ')) ++p;
    bool negative = false;
    if (p < n && (text[p] == QLatin1Char('+') || text[p] == QLatin1Char('-'))) negative = text[p++] == QLatin1Char('-');

    int base = 10;
    if (p < n && (text[p] == QLatin1Char('$') || text[p] == QLatin1Char('x') || text[p] == QLatin1Char('X'))) {
        base = 16;
        ++p;
    } else if (p + 1 < n && text[p] == QLatin1Char('0') &&
               (text[p + 1] == QLatin1Char('x') || text[p + 1] == QLatin1Char('X'))) {
        base = 16;
        p += 2;
    }
    const qsizetype start = p;
    std::int64_t magnitude = 0;
    for (; p < n; ++p) {
        const int digit = base == 16 ? HexValue(text[p]) : (IsDigit(text[p]) ? text[p].unicode() - '0' : -1);
        if (digit < 0) throw Failure(NotANumber(text));
        magnitude = magnitude * base + digit;
        if (magnitude > 2147483648LL) throw Failure(NotANumber(text));
    }
    if (p == start) throw Failure(NotANumber(text));
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > 2147483647LL) throw Failure(NotANumber(text));
    return static_cast<std::int32_t>(value);
}
