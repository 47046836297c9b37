#include "gpx/hex_float.h"

#include <gtest/gtest.h>
#include <bit>
#include <cstdint>
#include <limits>
#include <random>

#include "format/failure.h"

namespace {

TEST(HexFloat, EveryKindOfDoubleComesBackBitForBit) {
    using L = std::numeric_limits<double>;
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -2.5,
                             0.1,
                             35.6895,
                             139.6917,
                             L::max(),
                             -L::max(),
                             L::min(),
                             L::denorm_min(),
                             -L::denorm_min(),
                             L::min() / 3,
                             1e-300,
                             double(0.1f),
                             double(-4000.0f),
                             double(std::numeric_limits<float>::denorm_min())};
    for (const double v : values) {
        const QString text = HexFloatText(v);
        const std::optional<double> back = ParseHexFloat(text);
        ASSERT_TRUE(back.has_value()) << text.toStdString();
        EXPECT_EQ(std::bit_cast<std::uint64_t>(*back), std::bit_cast<std::uint64_t>(v)) << text.toStdString();
    }
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::bit_cast<double>(random());
        if (!std::isfinite(v)) continue;
        const std::optional<double> back = ParseHexFloat(HexFloatText(v));
        ASSERT_TRUE(back.has_value());
        ASSERT_EQ(std::bit_cast<std::uint64_t>(*back), std::bit_cast<std::uint64_t>(v));
    }
}

TEST(HexFloat, WritesTheC99Form) {
    EXPECT_EQ(HexFloatText(1.0), "0x1p+0");
    EXPECT_EQ(HexFloatText(-0.0), "-0x0p+0");
    EXPECT_EQ(HexFloatText(3.0), "0x1.8p+1");
    EXPECT_EQ(HexFloatText(0.1), "0x1.999999999999ap-4");
    EXPECT_EQ(HexFloatText(std::numeric_limits<double>::denorm_min()), "0x0.0000000000001p-1022");
    EXPECT_THROW(HexFloatText(std::numeric_limits<double>::infinity()), Failure);
    EXPECT_THROW(HexFloatText(-std::numeric_limits<double>::infinity()), Failure);
    EXPECT_THROW(HexFloatText(std::numeric_limits<double>::quiet_NaN()), Failure);
}

TEST(HexFloat, RejectsMalformedAndInexactTexts) {
    const char* bad[] = {
        "",
        "0x",
        "1.5",
        "0x1.8",
        "0x1.8p",
        "0x1.8p+",
        "0xp+1",
        "0x1.8e+1",
        "0x1.8p+1 ",
        " 0x1.8p+1",
        "0x1.8p1x",
        "0x1..8p+1",
        "0x1.g8p+1",
        "inf",
        "nan",
        "0x1p+1024",                // overflow
        "0x1p-1075",                // below the smallest subnormal: would round
        "0x1.00000000000001p+0",    // 57 significant bits
        "0x1.0000000000001p-1023",  // a subnormal that needs one more bit
    };
    for (const char* text : bad) EXPECT_FALSE(ParseHexFloat(QString::fromLatin1(text)).has_value()) << text;
    EXPECT_EQ(ParseHexFloat(u"0X1.8P+1"), 3.0);
    EXPECT_EQ(ParseHexFloat(u"+0x18p-3"), 3.0);
    EXPECT_EQ(ParseHexFloat(u"0x0000000000000000001p+0"), 1.0);
}

}  // namespace
