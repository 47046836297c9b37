#include "format/checked_float.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "format/failure.h"

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
