#include "format/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "format/failure.h"

namespace {

struct FormatCase {
    long double value;
    const char* text;
};

TEST(GeneralFormat, WritesTheDocumentedTexts) {
    const FormatCase cases[] = {
        {250, "250"},
        {35.68123f, "35.6812286376953"},
        {0.1f, "0.100000001490116"},
        {0.00001, "1E-5"},
        {0, "0"},
        {-0.0L, "0"},
        {-2.5, "-2.5"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E15"},
        {9999999999999999.0, "1E16"},  // rounds up at the 15th digit
        {123456789012345678.0L, "1.23456789012346E17"},
        {1.5e-7, "1.5E-7"},
        {-1e300, "-1E300"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {100, "100"},
        {4500, "4500"},
    };
    for (const auto& c : cases) EXPECT_EQ(GeneralFormat(c.value).toStdString(), c.text) << (double)c.value;
}

TEST(PatternFormat, WritesTheDocumentedTexts) {
    const FormatCase cases[] = {
        {0, ".00"},         {0.005, ".01"},      {0.005f, ".00"},
        {0.5, ".50"},       {2.675, "2.67"},     {12.345, "12.35"},
        {99.995, "100.00"}, {1234.5, "1234.50"}, {-0.004, ".00"},
        {-0.006, "-.01"},   {-12.5, "-12.50"},   {0.004, ".00"},
        {111.12, "111.12"}, {1e-30, ".00"},      {999999999999999999.0L, "999999999999999999.00"},
        {1e18, "1E18"},     {-1e19, "-1E19"},
    };
    for (const auto& c : cases) EXPECT_EQ(PatternFormat(c.value).toStdString(), c.text) << (double)c.value;
}

TEST(NumberText, NonFiniteValuesFail) {
    for (long double v : {(long double)INFINITY, -(long double)INFINITY, (long double)NAN}) {
        EXPECT_THROW(GeneralFormat(v), Failure);
        EXPECT_THROW(PatternFormat(v), Failure);
        EXPECT_THROW(RoundToInteger(v), Failure);
        EXPECT_THROW(Truncate(v), Failure);
    }
}

TEST(RoundToInteger, TiesGoToEvenAndTruncationGoesTowardZero) {
    const struct {
        long double value;
        std::int64_t rounded, truncated;
    } cases[] = {
        {2.5, 2, 2},
        {3.5, 4, 3},
        {-2.5, -2, -2},
        {-3.7, -4, -3},
        {0.49999999999999994, 0, 0},
        {1e18, 1000000000000000000LL, 1000000000000000000LL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundToInteger(c.value), c.rounded) << (double)c.value;
        EXPECT_EQ(Truncate(c.value), c.truncated) << (double)c.value;
    }
    EXPECT_EQ(RoundText(-35.0f).toStdString(), "-35");
    EXPECT_THROW(RoundToInteger(1e19L), Failure);
    EXPECT_THROW(Truncate(-1e19L), Failure);
}

TEST(ParseDecimal, AcceptsTheGrammar) {
    const struct {
        const char* text;
        long double value;
    } cases[] = {
        {"35.68123", 35.68123L}, {"  -139.5 ", -139.5L}, {"+7", 7}, {"1e3", 1000},
        {"1E-2", 0.01L},         {"2.5e+1", 25},         {"0", 0},  {"007.50", 7.5L},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDecimal(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(ParseDecimal, RejectsEverythingElse) {
    for (const char* text : {"", " ", "1,000", "12abc", ".5", "5.", "1e", "e5", "--1", "+", "1 2", "\t1", "0x10", "nan",
                             "inf", "1e99999", "1.5.2", "１２"}) {
        EXPECT_THROW(ParseDecimal(QString::fromUtf8(text)), Failure) << text;
    }
}

TEST(ParseWhole, AcceptsDecimalAndHexForms) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"14", 14},
        {"  -3", -3},
        {"+8", 8},
        {"$1F", 31},
        {"x10", 16},
        {"X10", 16},
        {"0x7fffffff", 2147483647},
        {"0X10", 16},
        {"-2147483648", INT32_MIN},
        {"2147483647", INT32_MAX},
        {"-$10", -16},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseWhole(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(ParseWhole, RejectsTrailingTextAndOutOfRange) {
    for (const char* text : {"", "14 ", "1.5", "2147483648", "-2147483649", "0x80000000", "$", "0x", "1e3",
                             "99999999999999999999", "12a"}) {
        EXPECT_THROW(ParseWhole(QString::fromUtf8(text)), Failure) << text;
    }
}

// ---- an independent check against the exact decimal expansion of the binary value ----

// Exact decimal digits of a finite positive value: returns the digit string of the integer
// m * 5^k (or m * 2^e) and the number of digits after the decimal point.
struct Exact {
    std::string digits;  // no leading zeros
    int fractionDigits = 0;
};

void MultiplySmall(std::vector<int>& little, int factor) {
    int carry = 0;
    for (int& d : little) {
        const int v = d * factor + carry;
        d = v % 10;
        carry = v / 10;
    }
    while (carry) {
        little.push_back(carry % 10);
        carry /= 10;
    }
}

Exact ExactDecimal(long double value) {
    int exponent = 0;
    const long double fraction = std::frexp(value, &exponent);  // value = fraction * 2^exponent
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    exponent -= 64;  // value = mantissa * 2^exponent exactly
    std::vector<int> little;
    for (std::uint64_t m = mantissa; m; m /= 10) little.push_back(static_cast<int>(m % 10));
    Exact e;
    if (exponent >= 0) {
        for (int i = 0; i < exponent; ++i) MultiplySmall(little, 2);
    } else {
        for (int i = 0; i < -exponent; ++i) MultiplySmall(little, 5);
        e.fractionDigits = -exponent;
    }
    for (auto it = little.rbegin(); it != little.rend(); ++it) e.digits.push_back(static_cast<char>('0' + *it));
    return e;
}

// Decimal digit string arithmetic: round `digits` to `keep` leading digits.
std::string RoundAt(const std::string& digits, int keep, bool tiesToEven, bool* carried) {
    *carried = false;
    if (keep >= static_cast<int>(digits.size())) return digits;
    std::string head = keep > 0 ? digits.substr(0, keep) : "";
    const char next = digits[keep];
    const bool restNonZero = digits.find_first_not_of('0', keep + 1) != std::string::npos;
    bool up;
    if (next > '5')
        up = true;
    else if (next < '5')
        up = false;
    else if (!tiesToEven || restNonZero)
        up = true;
    else
        up = !head.empty() && (head.back() - '0') % 2 == 1;
    if (up) {
        int i = static_cast<int>(head.size()) - 1;
        while (i >= 0 && head[i] == '9') head[i--] = '0';
        if (i >= 0)
            ++head[i];
        else {
            head.insert(head.begin(), '1');
            *carried = true;
        }
    }
    return head;
}

// Reference general format from the exact expansion.
std::string ReferenceGeneral(long double value) {
    if (value == 0) return "0";
    const bool negative = value < 0;
    const Exact e = ExactDecimal(std::fabs(value));
    int x = static_cast<int>(e.digits.size()) - e.fractionDigits;  // value = 0.digits x 10^x
    bool carried;
    std::string d = RoundAt(e.digits, 18, true, &carried);
    if (carried) {
        ++x;
        d.pop_back();
    }
    d = RoundAt(d, 15, false, &carried);
    if (carried) {
        ++x;
        d.pop_back();
    }
    while (d.size() > 1 && d.back() == '0') d.pop_back();
    std::string out = negative ? "-" : "";
    if (x >= -3 && x <= 15) {
        if (x <= 0)
            out += "0." + std::string(-x, '0') + d;
        else {
            std::string integer = d.substr(0, std::min<size_t>(x, d.size()));
            integer.append(x - integer.size(), '0');
            out += integer;
            if (static_cast<int>(d.size()) > x) out += "." + d.substr(x);
        }
    } else {
        out += d.substr(0, 1);
        if (d.size() > 1) out += "." + d.substr(1);
        out += "E" + std::string(x - 1 < 0 ? "-" : "") + std::to_string(std::abs(x - 1));
    }
    return out;
}

// Reference pattern "###.#0" from the exact expansion.
std::string ReferencePattern(long double value) {
    const bool negative = value < 0;
    const Exact e = ExactDecimal(std::fabs(value));
    const int x = static_cast<int>(e.digits.size()) - e.fractionDigits;
    bool carried;
    std::string d = RoundAt(e.digits, 18, true, &carried);
    int scale = x;  // value = 0.d x 10^scale
    if (carried) {
        ++scale;
        d.pop_back();
    }
    // Digits down to the hundredths place.
    const int keep = scale + 2;
    std::string h;
    if (keep < 0)
        h = "0";
    else {
        std::string padded = d;
        if (keep > static_cast<int>(padded.size())) padded.append(keep - padded.size(), '0');
        h = RoundAt(padded, keep, false, &carried);
        if (h.empty()) h = "0";
    }
    long long asNumber = 0;
    for (char c : h) asNumber = asNumber * 10 + (c - '0');
    const std::string integer = asNumber / 100 ? std::to_string(asNumber / 100) : "";
    const std::string fraction = std::to_string(asNumber % 100 + 100).substr(1);
    return (negative && asNumber != 0 ? "-" : "") + integer + "." + fraction;
}

TEST(NumberText, AgreesWithTheExactDecimalExpansionForRandomValues) {
    std::mt19937_64 random(20261210);
    std::uniform_int_distribution<std::uint64_t> bits;
    std::uniform_real_distribution<double> magnitude(-8, 8);
    for (int i = 0; i < 20000; ++i) {
        // Doubles spread over many decades, singles from random bit patterns, and values
        // sitting on two-decimal halves where the rounding direction is decided.
        const double d = std::pow(10.0, magnitude(random)) * ((bits(random) & 1) ? -1 : 1);
        std::uint32_t raw = static_cast<std::uint32_t>(bits(random));
        float f;
        std::memcpy(&f, &raw, sizeof f);
        const double half = std::round(std::ldexp(static_cast<double>(bits(random) >> 40), -10) * 100) / 100 + 0.005;
        for (long double v : {static_cast<long double>(d), static_cast<long double>(half),
                              static_cast<long double>(static_cast<float>(half))}) {
            ASSERT_EQ(GeneralFormat(v).toStdString(), ReferenceGeneral(v)) << (double)v;
            ASSERT_EQ(PatternFormat(v).toStdString(), ReferencePattern(v)) << (double)v;
        }
        if (std::isfinite(f)) {
            ASSERT_EQ(GeneralFormat(f).toStdString(), ReferenceGeneral(f)) << f;
        }
        if (std::isfinite(f) && std::fabs(f) < 1e15f) {
            ASSERT_EQ(PatternFormat(f).toStdString(), ReferencePattern(f)) << f;
        }
    }
}

}  // namespace

namespace {

TEST(ParseDecimal, RoundsLikeTheCorrectlyRoundedLibraryConversion) {
    // Short texts take a fast path; long ones the library. Both must give the same value.
    std::mt19937_64 random(7);
    const char* digits = "0123456789";
    for (int i = 0; i < 20000; ++i) {
        std::string text = (random() & 1) ? "-" : "";
        const int integerDigits = 1 + random() % 12;
        for (int k = 0; k < integerDigits; ++k) text.push_back(digits[random() % 10]);
        if (random() % 4) {
            text.push_back('.');
            const int fractionDigits = 1 + random() % 14;
            for (int k = 0; k < fractionDigits; ++k) text.push_back(digits[random() % 10]);
        }
        if (random() % 3 == 0) text += "e" + std::to_string(static_cast<int>(random() % 80) - 40);
        const long double expected = std::strtold(text.c_str(), nullptr);
        ASSERT_EQ(ParseDecimal(QString::fromLatin1(text)), expected) << text;
    }
}

}  // namespace
