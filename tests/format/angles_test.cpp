#include "format/angles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(AngleConstants, AreTheExtendedComputationsStoredAsDoubles) {
    // The run-time evaluation the constants stand for, operand by operand.
    const long double pi = 4 * atanl(1.0L);
    EXPECT_EQ(Pi, static_cast<double>(pi));
    EXPECT_EQ(DegToRad, static_cast<double>(static_cast<long double>(static_cast<double>(pi)) / 180.0L));
    EXPECT_EQ(DegToRad, 0.017453292519943295);
}

}  // namespace
