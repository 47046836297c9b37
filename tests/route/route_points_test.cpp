#include "route/route_points.h"

#include <cmath>

#include "format/failure.h"
#include "route_fixture.h"

namespace {

using AppendPointTest = RouteFixture;

TEST_F(AppendPointTest, FirstPointFillsTheReadouts) {
    Add("35", "139", 250);
    EXPECT_EQ(shown.Edit1, "250 m");
    EXPECT_EQ(shown.Memo3, "1");
    EXPECT_EQ(Row(0), "  1\t-\t250\t-");
    EXPECT_EQ(shown.Memo4, "");
    EXPECT_EQ(shown.memo5, "250");
    EXPECT_EQ(shown.Memo6, "250");
    EXPECT_EQ(shown.Memo7, "0");
    EXPECT_EQ(shown.Memo10, "0");
    EXPECT_EQ(shown.Memo11, "0");
    EXPECT_EQ(stats.TotalKm, 0);
    EXPECT_EQ(table.CumulativeKm[1], 0);
    EXPECT_EQ(shown.ListBox1TopIndex, 0);
}

TEST_F(AppendPointTest, ClimbAndDescentFollowTheSteps) {
    Add("35", "139", 250);
    Add("36", "139", 300);
    EXPECT_EQ(Row(1), "  2\t111.12\t300\t111.12");
    EXPECT_EQ(shown.Memo4, "111.12 Km");
    EXPECT_EQ(stats.ClimbTotal, 50);
    EXPECT_EQ(shown.Memo10, "50");
    EXPECT_EQ(shown.Memo6, "300");
    EXPECT_EQ(shown.Memo7, "50");

    Add("36", "139.01", 280);
    EXPECT_EQ(stats.DescentTotal, -20);
    EXPECT_EQ(shown.Memo11, "-20");
    EXPECT_EQ(shown.Memo10, "50");

    Add("36", "139.02", 280);
    EXPECT_EQ(stats.ClimbTotal, 50);
    EXPECT_EQ(stats.DescentTotal, -20);
    EXPECT_EQ(shown.ListBox1TopIndex, 3);
    EXPECT_EQ(shown.Memo3, "4");
}

TEST_F(AppendPointTest, ExtremesStartAtZeroAndFourThousand) {
    const struct {
        float elevation;
        float max, min;
        const char *edit, *lowest, *highest, *range;
    } cases[] = {
        {0, 0, 0, "0 m", "0", "0", "0"},     {4500, 4500, 4000, "4500 m", "4000", "4500", "500"},
        {-1999, 0, 0, "0 m", "0", "0", "0"},  // no elevation known
        {NAN, 0, 0, "0 m", "0", "0", "0"},   {123.5f, 123.5f, 123.5f, "123.5 m", "124", "124", "0"},  // ties to even
    };
    for (const auto& c : cases) {
        ResetRoute(table, stats, shown);
        Add("35", "139", c.elevation);
        EXPECT_EQ(stats.MaxElevation, c.max) << c.elevation;
        EXPECT_EQ(stats.MinElevation, c.min) << c.elevation;
        EXPECT_EQ(table.Elevation[1], c.max) << c.elevation;
        EXPECT_EQ(shown.Edit1.toStdString(), c.edit);
        EXPECT_EQ(shown.memo5.toStdString(), c.lowest);
        EXPECT_EQ(shown.Memo6.toStdString(), c.highest);
        EXPECT_EQ(shown.Memo7.toStdString(), c.range);
    }
}

TEST_F(AppendPointTest, ShortSegmentsHaveNoIntegerDigit) {
    // 4 m and 0.5 km north of the first point.
    Add("35", "139", 0);
    Add("35.000036", "139", 0);
    Add("35.0045356", "139", 0);
    EXPECT_EQ(Row(1), "  2\t.00\t0\t.00");
    EXPECT_EQ(Row(2), "  3\t.50\t0\t.50");
}

TEST_F(AppendPointTest, RowsFormatTheDoubleStatisticsAndTheTableHoldsSingles) {
    Add("35.68123", "139.76712", 40);
    Add("35.68949", "139.69171", 35);
    EXPECT_EQ(table.Lat[2], 35.68949f);
    EXPECT_EQ(table.Lng[2], 139.69171f);
    EXPECT_EQ(table.SegmentKm[2], static_cast<float>(stats.LastSegmentKm));
    EXPECT_EQ(table.CumulativeKm[2], static_cast<float>(stats.TotalKm));
    EXPECT_EQ(Row(1), "  2\t6.87\t35\t6.87");
}

TEST_F(AppendPointTest, GrowthKeepsTenSpareSlotsAndEarlierEntries) {
    for (int i = 1; i <= 90; ++i) Add("35", QString::number(139 + i * 0.001).toUtf8().constData(), i);
    EXPECT_EQ(table.Capacity, 100);
    Add("35", "140", 91);
    EXPECT_EQ(table.Capacity, 111);
    for (auto* v : {&table.Lat, &table.Lng, &table.Elevation, &table.CumulativeKm, &table.SegmentKm})
        EXPECT_EQ(v->size(), 111u);
    EXPECT_EQ(table.PointName.size(), 111u);
    for (int i = 1; i <= 90; ++i) EXPECT_EQ(table.Elevation[i], i);
    for (int i = 92; i <= 101; ++i) Add("35", "140", i);
    EXPECT_EQ(table.Capacity, 111);
    Add("35", "140", 102);
    EXPECT_EQ(table.Capacity, 122);
}

TEST_F(AppendPointTest, BadTextsLeaveTheRouteUntouched) {
    Add("35", "139", 100);
    const Readouts before = shown;
    for (const auto& [lat, lng] : std::initializer_list<std::pair<const char*, const char*>>{
             {"", "139"}, {"35", ""}, {"1,5", "139"}, {"35x", "139"}, {"35", "1e39"}, {"1e400", "139"}}) {
        EXPECT_THROW(AppendPoint(table, stats, shown, lat, lng, 200), Failure) << lat << " " << lng;
    }
    EXPECT_EQ(table.PointCount, 1);
    EXPECT_EQ(shown.ListBox1, before.ListBox1);
    EXPECT_EQ(shown.Edit1, before.Edit1);
    EXPECT_EQ(stats.CurrentElevation, 100);
    EXPECT_THROW(AppendPoint(table, stats, shown, "35", "139", INFINITY), Failure);
    EXPECT_EQ(table.PointCount, 1);
}

TEST_F(AppendPointTest, ResetClearsRouteNamesAndReadoutsButKeepsCapacity) {
    Add("35", "139", 100);
    Add("35.1", "139", 120);
    table.PointName[2] = "峠";
    shown.Memo1 = "35.1";
    stats.LastSegmentKm = 7;
    ResetRoute(table, stats, shown);
    EXPECT_EQ(table.PointCount, 0);
    EXPECT_EQ(table.Capacity, 100);
    EXPECT_TRUE(table.PointName[2].isEmpty());
    EXPECT_TRUE(shown.ListBox1.isEmpty());
    for (const QString* t : {&shown.Memo1, &shown.Memo2, &shown.Memo3, &shown.Memo4, &shown.memo5, &shown.Memo6,
                             &shown.Memo7, &shown.Memo10, &shown.Memo11, &shown.Edit1})
        EXPECT_TRUE(t->isEmpty());
    EXPECT_EQ(stats.TotalKm, 0);
    EXPECT_EQ(stats.MinElevation, 4000);
    EXPECT_EQ(stats.MaxElevation, 0);
    EXPECT_EQ(stats.ClimbTotal, 0);
    EXPECT_EQ(stats.DescentTotal, 0);
    EXPECT_EQ(stats.LastSegmentKm, 7);  // left as it was
    Add("36", "139", 50);
    EXPECT_TRUE(table.PointName[1].isEmpty());
    EXPECT_EQ(table.Elevation[2], 120);  // leftovers beyond PointCount stay
}

}  // namespace
