#include "route/course_time.h"

#include <cmath>
#include <limits>

#include "format/failure.h"
#include "route/route_edits.h"
#include "route_fixture.h"

namespace {

TEST(LegMinutesTest, FollowsTheFitWithinItsSlopeRange) {
    const struct {
        long double km, rise, minutes;
    } cases[] = {
        {1, 0, 19},         // level: 19 min/km
        {2, 0, 38},         // scales with the length
        {1, 200, 38.04},    // s = 0.2: 151*0.04 + 65*0.2 + 19
        {1, -200, 27.68},   // s = -0.2: 137*0.04 + 16*0.2 + 19
        {1, 400, 69.16},    // s = 0.4: 151*0.16 + 65*0.4 + 19
        {1, 600, 69.16},    // s = 0.6 is timed as 0.4
        {1, -400, 47.32},   // s = -0.4: 137*0.16 + 16*0.4 + 19
        {1, -900, 47.32},   // s = -0.9 is timed as -0.4
        {0.5, 100, 19.02},  // s = 0.2 over half a kilometre
        {0, 0, 0},          // a leg of length 0
        {0, 50, 0},         // a rise on the spot takes no time either
    };
    for (const auto& c : cases)
        EXPECT_NEAR(static_cast<double>(LegMinutes(c.km, c.rise)), static_cast<double>(c.minutes), 1e-12)
            << static_cast<double>(c.km) << " km, " << static_cast<double>(c.rise) << " m";
}

TEST(LegMinutesTest, NonFiniteInputsFail) {
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_THROW(LegMinutes(1, nan), Failure);
    EXPECT_THROW(LegMinutes(nan, 100), Failure);
    EXPECT_THROW(LegMinutes(inf, 100), Failure);
    EXPECT_THROW(LegMinutes(1, inf), Failure);
    RouteStats stats;
    stats.TotalKm = std::numeric_limits<double>::infinity();
    EXPECT_THROW(CourseConstant(60, stats), Failure);
}

TEST(CourseTextTest, RoundsToTheNearestUnitTiesToEven) {
    const struct {
        long double minutes;
        const char* text;
    } times[] = {
        {0, "0:00"},     {0.49L, "0:00"}, {65, "1:05"},     {750, "12:30"},   {59.5L, "1:00"},
        {60.5L, "1:00"}, {61.5L, "1:02"}, {119.6L, "2:00"}, {6000, "100:00"},
    };
    for (const auto& t : times)
        EXPECT_EQ(CourseTimeText(t.minutes).toStdString(), t.text) << static_cast<double>(t.minutes);

    const struct {
        long double constant;
        const char* text;
    } constants[] = {
        {0, "0.0"}, {12.34L, "12.3"}, {0.25L, "0.2"}, {0.75L, "0.8"}, {9.96L, "10.0"}, {123, "123.0"},
    };
    for (const auto& c : constants)
        EXPECT_EQ(CourseConstantText(c.constant).toStdString(), c.text) << static_cast<double>(c.constant);
}

using CourseRouteTest = RouteFixture;

TEST_F(CourseRouteTest, OutAndBackCountsEachWayWithItsOwnSlopes) {
    // Two legs of 0.01 deg of latitude, 1.1112 km each: up 200 m, then down 600 m. The lengths
    // as measured differ from 1.1112 km by a few metres, hence the tolerance on the minutes.
    Add("35", "139", 700);
    Add("35.01", "139", 900);
    Add("35.02", "139", 300);

    // Leg 1: s = 200/1111.2 = 0.18:  151*0.0324 + 65*0.18 + 19 = 35.59/km, x 1.1112 = 39.55 min
    // Leg 2: s = -0.54, timed as -0.4: 137*0.16 + 16*0.4 + 19 = 47.32/km, x 1.1112 = 52.58 min
    // 92.13 min -> "1:32".
    EXPECT_NEAR(static_cast<double>(CourseMinutes(table)), 92.13, 0.03);
    // 1.8 x 92.13/60 h = 2.764, 0.3 x 2.2224 km = 0.667, 10 x 0.2 km = 2, 0.6 x 0.6 km = 0.36
    // -> 5.79 -> "5.8".
    EXPECT_NEAR(static_cast<double>(CourseConstant(CourseMinutes(table), stats)), 5.79, 0.005);
    CourseReadouts out = CourseTexts(table, stats);
    EXPECT_EQ(out.Time, "1:32");
    EXPECT_EQ(out.Constant, "5.8");

    // The way back climbs 600 m and falls 200 m.
    // Leg 3: s = 0.54, timed as 0.4: 69.16/km x 1.1112 = 76.85 min
    // Leg 4: s = -0.18: 137*0.0324 + 16*0.18 + 19 = 26.32/km, x 1.1112 = 29.24 min
    // 92.13 + 106.10 = 198.23 min -> "3:18".
    MirrorReturnRoute(table, stats, shown);
    EXPECT_NEAR(static_cast<double>(CourseMinutes(table)), 198.23, 0.03);
    // 1.8 x 198.23/60 h = 5.947, 0.3 x 4.4448 km = 1.333, 10 x 0.8 km = 8, 0.6 x 0.8 km = 0.48
    // -> 15.76 -> "15.8".
    EXPECT_NEAR(static_cast<double>(CourseConstant(CourseMinutes(table), stats)), 15.76, 0.005);
    const CourseReadouts back = CourseTexts(table, stats);
    EXPECT_EQ(back.Time, "3:18");
    EXPECT_EQ(back.Constant, "15.8");
}

TEST_F(CourseRouteTest, RepeatedPointAddsNoTime) {
    Add("35", "139", 700);
    Add("35", "139", 900);  // the same place: a leg of 0 km
    EXPECT_EQ(CourseMinutes(table), 0);
    const CourseReadouts texts = CourseTexts(table, stats);
    EXPECT_EQ(texts.Time, "0:00");
    EXPECT_EQ(texts.Constant, "2.0");  // only the 200 m climb counts: 10 x 0.2 km
}

TEST_F(CourseRouteTest, NoTextsWithoutALeg) {
    CourseReadouts texts = CourseTexts(table, stats);
    EXPECT_TRUE(texts.Time.isEmpty());
    EXPECT_TRUE(texts.Constant.isEmpty());

    Add("35", "139", 700);
    texts = CourseTexts(table, stats);
    EXPECT_TRUE(texts.Time.isEmpty());
    EXPECT_TRUE(texts.Constant.isEmpty());
}

}  // namespace
