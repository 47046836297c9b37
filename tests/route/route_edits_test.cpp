#include "route/route_edits.h"

#include "route_fixture.h"

namespace {

struct RouteEditsTest : RouteFixture {
    // The three-point route: cumulative 0, 2.5, 4.0 km, elevations 100, 200, 150, point 2 "A".
    void BuildThreePoints() {
        table.PointCount = 3;
        const float cumulative[] = {0, 0, 2.5f, 4.0f};
        const float segment[] = {0, 0, 2.5f, 1.5f};
        const float elevation[] = {0, 100, 200, 150};
        for (int i = 1; i <= 3; ++i) {
            table.Lat[i] = 35 + i * 0.01f;
            table.Lng[i] = 139;
            table.CumulativeKm[i] = cumulative[i];
            table.SegmentKm[i] = segment[i];
            table.Elevation[i] = elevation[i];
        }
        table.PointName[2] = "A";
        stats.TotalKm = 4.0;
        stats.ClimbTotal = 100;
        stats.DescentTotal = -50;
        stats.MaxElevation = 200;
        stats.MinElevation = 100;
        shown.Memo3 = "3";
    }
};

TEST_F(RouteEditsTest, ReturnRouteWalksBackOverTheSamePoints) {
    BuildThreePoints();
    MirrorReturnRoute(table, stats, shown);
    RebuildRouteList(table, shown);

    EXPECT_EQ(table.PointCount, 5);
    EXPECT_EQ(table.Capacity, 16);
    EXPECT_EQ(stats.TotalKm, 8.0);
    const float elevation[] = {200, 100};
    const float cumulative[] = {5.5f, 8.0f};
    const float segment[] = {1.5f, 2.5f};
    const char* names[] = {"A", ""};
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(table.Elevation[4 + k], elevation[k]);
        EXPECT_EQ(table.CumulativeKm[4 + k], cumulative[k]);
        EXPECT_EQ(table.SegmentKm[4 + k], segment[k]);
        EXPECT_EQ(table.PointName[4 + k], names[k]);
        EXPECT_EQ(table.Lat[4 + k], table.Lat[2 - k]);
    }
    ASSERT_EQ(shown.ListBox1.size(), 5);
    EXPECT_EQ(Row(0), "  1\t-\t100\t-\t");
    EXPECT_EQ(Row(1), "  2\t2.50\t200\t2.50\tA");
    EXPECT_EQ(Row(3), "  4\t1.50\t200\t5.50\tA");
    EXPECT_EQ(Row(4), "  5\t2.50\t100\t8.00\t");
    EXPECT_EQ(shown.Memo4, "8.00");

    // The way back counts: +100 -50 out, +50 -100 back.
    EXPECT_EQ(stats.ClimbTotal, 150);
    EXPECT_EQ(stats.DescentTotal, -150);
    EXPECT_EQ(shown.Memo3, "5");
    EXPECT_EQ(shown.Memo10, "150");
    EXPECT_EQ(shown.Memo11, "-150");
}

TEST_F(RouteEditsTest, ReturnRouteOnOnePointOrNone) {
    MirrorReturnRoute(table, stats, shown);
    EXPECT_EQ(table.PointCount, 0);
    EXPECT_EQ(table.Capacity, 100);

    Add("35", "139", 10);
    MirrorReturnRoute(table, stats, shown);
    EXPECT_EQ(table.PointCount, 1);
    EXPECT_EQ(stats.TotalKm, 0);
    EXPECT_EQ(table.Capacity, 12);
    EXPECT_EQ(table.Elevation[1], 10);
}

TEST_F(RouteEditsTest, MirroredRouteKeepsGrowing) {
    Add("35", "139", 10);
    Add("35.01", "139", 20);
    MirrorReturnRoute(table, stats, shown);
    const double doubled = stats.TotalKm;
    Add("35.01", "139", 30);  // measured from the copy of point 1
    EXPECT_EQ(table.PointCount, 4);
    EXPECT_NEAR(stats.TotalKm - doubled, 1.1112, 1e-3);
    EXPECT_EQ(table.Capacity, 14);
    EXPECT_EQ(Row(shown.ListBox1.size() - 1).substr(0, 4), "  4\t");
}

TEST_F(RouteEditsTest, RebuildShowsNamesExceptOnPointOne) {
    Add("35", "139", 100);
    Add("35.01", "139", 120);
    table.PointName[1] = "起点";
    RebuildRouteList(table, shown);
    ASSERT_EQ(shown.ListBox1.size(), 2);
    EXPECT_EQ(Row(0), "  1\t-\t100\t-\t");
    EXPECT_EQ(Row(1), "  2\t1.11\t120\t1.11\t");
    EXPECT_EQ(shown.Memo4, "1.11");

    ResetRoute(table, stats, shown);
    RebuildRouteList(table, shown);
    EXPECT_TRUE(shown.ListBox1.isEmpty());
    EXPECT_EQ(shown.Memo4, ".00");
}

TEST_F(RouteEditsTest, RemovingTheLastPointRollsEverythingBack) {
    Add("35", "139", 100);
    Add("35.01", "139", 300);
    RouteStats twoPoints = stats;
    const Readouts twoShown = shown;
    Add("35.02", "139", 50);
    table.PointName[3] = "谷";

    RemoveLastPoint(table, stats, shown);
    RebuildRouteList(table, shown);
    EXPECT_EQ(table.PointCount, 2);
    EXPECT_EQ(stats.TotalKm, twoPoints.TotalKm);
    EXPECT_EQ(stats.ClimbTotal, twoPoints.ClimbTotal);
    EXPECT_EQ(stats.DescentTotal, 0);
    EXPECT_EQ(stats.MaxElevation, 300);
    EXPECT_EQ(stats.MinElevation, 100);
    EXPECT_EQ(shown.ListBox1.size(), 2);
    EXPECT_EQ(shown.Memo3, "2");
    EXPECT_EQ(shown.Memo11, "0");
    EXPECT_EQ(shown.memo5, twoShown.memo5);
    EXPECT_EQ(shown.Edit1, "300 m");
    EXPECT_TRUE(table.PointName[3].isEmpty());

    Add("35.03", "139", 200);  // continues from point 2, without the old name
    EXPECT_NEAR(stats.TotalKm, twoPoints.TotalKm + 2 * 1.1112, 1e-3);
    EXPECT_TRUE(table.PointName[3].isEmpty());

    ResetRoute(table, stats, shown);
    Add("35", "139", 100);
    RemoveLastPoint(table, stats, shown);
    EXPECT_EQ(table.PointCount, 1);
}

TEST_F(RouteEditsTest, NamesAreStoredExactlyAsTypedWithinTheRoute) {
    BuildThreePoints();
    StorePointName(table, 2, QStringLiteral(" 峠, \"頂\" "));
    EXPECT_EQ(table.PointName[2], QStringLiteral(" 峠, \"頂\" "));  // exactly as typed
    StorePointName(table, 2, QString());
    EXPECT_TRUE(table.PointName[2].isEmpty());
    for (int n : {0, 4, -1}) StorePointName(table, n, QStringLiteral("x"));  // beyond the route: ignored
    for (int i = 0; i < table.Capacity; ++i) EXPECT_TRUE(table.PointName[i].isEmpty()) << i;
}

}  // namespace
