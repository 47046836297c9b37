#include "session/point_capture.h"

#include "session_fixture.h"

namespace {

using Capture = SessionFixture;

TEST_F(Capture, AcceptsANewPositionAndRefusesRepeats) {
    struct Step {
        const char *lat, *lng, *zoom;
        bool appended;
        const char *memo1, *memo2;
    };
    const Step steps[] = {
        {"35.681236", "139.767125", "", true, "35.6812", "139.7671"},
        {"35.681239", "139.767128", "", false, "35.6812", "139.7671"},     // same shortened texts
        {"35.681236", "139.767999", "", true, "35.6812", "139.7679"},      // longitude alone changed
        {"35.700000", "", "", false, "35.7000", "139.7679"},               // no longitude yet
        {"35.800000", "139.800000", "abc", false, "35.7000", "139.7679"},  // zoom does not parse: put back
        {"35.800000", "139.800000", "12", true, "35.8000", "139.8000"},    // so the same click counts later
        {"35,81", "139.800000", "", false, "35.8000", "139.8000"},         // comma: refused, put back
    };
    int points = 0;
    for (const Step& s : steps) {
        tiles.cell = QStringLiteral("250");
        const bool appended = CapturePoint(state, {s.lat, s.lng, s.zoom, {}, {}}, tiles);
        EXPECT_EQ(appended, s.appended) << s.lat << " " << s.lng;
        points += appended;
        EXPECT_EQ(state.Table.PointCount, points);
        EXPECT_EQ(state.Shown.Memo1, s.memo1);
        EXPECT_EQ(state.Shown.Memo2, s.memo2);
    }
    EXPECT_EQ(state.Table.Lat[1], 35.681236f);
    EXPECT_EQ(state.Shown.Edit1, "250 m");
    EXPECT_EQ(state.Shown.Memo3, "3");
}

TEST_F(Capture, TwoPointsDrawTheChartAndRecordPositions) {
    ASSERT_TRUE(Click("35.0", "139.0", "100"));
    EXPECT_TRUE(state.Chart.IsEmpty());
    ASSERT_TRUE(Click("35.01", "139.0", "300"));
    EXPECT_FALSE(state.Chart.IsEmpty());
    ASSERT_GE(state.Drawn.ChartX.size(), 3u);
    EXPECT_LT(state.Drawn.ChartX[1], state.Drawn.ChartX[2]);
    EXPECT_GT(state.Drawn.ChartY[1], state.Drawn.ChartY[2]);  // the higher point is drawn higher
}

TEST_F(Capture, AnUnusableTileGivesTheMeshAnswer) {
    tiles.fail = true;
    ASSERT_TRUE(CapturePoint(state, {"35.0", "139.0", {}, {}, {}}, tiles));
    EXPECT_EQ(state.Shown.Edit1, "0 m");  // no mesh file: unknown, stored as 0
}

TEST(CaptureSteps, AFailedLookupPutsBackOnlyWhatNoLaterReportChanged) {
    Readouts shown;
    const auto first = AcceptReport(shown, {"35.100000", "139.100000", {}, {}, {}});
    ASSERT_TRUE(first);
    const auto second = AcceptReport(shown, {"35.200000", "139.200000", {}, {}, {}});
    ASSERT_TRUE(second);
    EXPECT_EQ(second->OldMemo1, "35.1000");

    DropClick(shown, *first);  // the later report's texts stay
    EXPECT_EQ(shown.Memo1, "35.2000");
    EXPECT_EQ(shown.Memo2, "139.2000");
    DropClick(shown, *second);  // nothing later: back to what the second report found
    EXPECT_EQ(shown.Memo1, "35.1000");
    EXPECT_EQ(shown.Memo2, "139.1000");
}

TEST(CaptureSteps, AcceptedClickCarriesTheFullTextsAndSinglePosition) {
    Readouts shown;
    const auto click = AcceptReport(shown, {" 35.681236 ", "139.767125", "$1F", "35.5", "139.5"});
    ASSERT_TRUE(click);
    EXPECT_EQ(click->LatText, " 35.681236 ");
    EXPECT_EQ(click->QueryLat, 35.681236f);
    EXPECT_EQ(click->QueryLng, 139.767125f);
}

}  // namespace
