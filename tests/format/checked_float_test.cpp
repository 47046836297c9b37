#include "format/checked_float.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>

#include "format/failure.h"
#include "format/format_messages.h"
#include "format/number_text.h"

TEST(CheckedFloat, FaultsRaiseInsteadOfTravelling) {
    EXPECT_THROW(ToSingle(1e39L), Failure);  // overflow on store
    EXPECT_THROW(ToSingle(-1e39L), Failure);
    EXPECT_THROW(ToDouble(1e309L), Failure);
    EXPECT_THROW(ToSingle(NAN), Failure);
    EXPECT_THROW(CheckedSqrt(-1e-30L), Failure);  // invalid operation
    EXPECT_THROW(CheckedDivide(1, 0), Failure);   // division by zero
    EXPECT_THROW(CheckedDivide(0, 0), Failure);   // invalid operation
    EXPECT_THROW(CheckedDivide(LDBL_MAX, 1e-10L), Failure);
}

TEST(CheckedFloat, OrdinaryValuesPassThroughRounded) {
    EXPECT_EQ(ToSingle(0.1L), 0.1f);
    EXPECT_EQ(ToSingle(1e-50L), 0.0f);  // underflow is silent
    EXPECT_EQ(ToDouble(0.1L), 0.1);
    EXPECT_EQ(CheckedSqrt(2.25L), 1.5L);
    EXPECT_EQ(CheckedDivide(1, 4), 0.25L);
}

// One finite check for everything: a NaN is an invalid operation, an infinity an overflow.
TEST(CheckedFloat, NaNIsInvalidAndInfinityIsOverflowEverywhere) {
    const long double inf = INFINITY, nan = NAN;
    const struct {
        const char* name;
        std::function<void()> call;
        QString text;
    } cases[] = {
        {"ToSingle(NaN)", [&] { ToSingle(nan); }, format_messages::InvalidOperation()},
        {"ToDouble(inf)", [&] { ToDouble(-inf); }, format_messages::Overflow()},
        {"ToSingle(1e39)", [] { ToSingle(1e39L); }, format_messages::Overflow()},
        {"CheckedSqrt(-1)", [] { CheckedSqrt(-1); }, format_messages::InvalidOperation()},
        {"CheckedDivide(0, 0)", [] { CheckedDivide(0, 0); }, format_messages::InvalidOperation()},
        {"CheckedDivide(1, 0)", [] { CheckedDivide(1, 0); }, format_messages::DivisionByZero()},
        {"GeneralFormat(NaN)", [&] { GeneralFormat(nan); }, format_messages::InvalidOperation()},
        {"PatternFormat(inf)", [&] { PatternFormat(inf); }, format_messages::Overflow()},
        {"RoundToInteger(NaN)", [&] { RoundToInteger(nan); }, format_messages::InvalidOperation()},
        {"Truncate(inf)", [&] { Truncate(inf); }, format_messages::Overflow()},
        {"ParseDecimal(1e99999)", [] { ParseDecimal(QStringLiteral("1e99999")); }, format_messages::Overflow()},
        {"RoundToInteger(1e19)", [] { RoundToInteger(1e19L); }, format_messages::IntegerOutOfRange()},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.name << ": no failure";
        } catch (const Failure& f) {
            EXPECT_EQ(f.text(), c.text) << c.name;
        }
    }
}
