#include "profile/chart_mouse.h"

#include <gtest/gtest.h>

#include "route/route_points.h"

namespace {

// The worked example's route as drawn on a 427 x 394 chart.
struct Mouse : ::testing::Test {
    RouteTable table;
    ChartPositions drawn{{0, 40, 263, 412}, {0, 244, 30, 130}};
    HoverState hover;
    Mouse() {
        table.Capacity = 20;
        AllocateRoute(table);
        table.PointCount = 3;
        const float elevation[] = {0, 100, 250, 180}, cumulative[] = {0, 0, 1.5f, 2.5f};
        for (int i = 1; i <= 3; ++i) {
            table.Elevation[i] = elevation[i];
            table.CumulativeKm[i] = cumulative[i];
        }
    }
    void Move(int x, int y) { ChartMouseMove(table, drawn, 427, 394, x, y, hover); }
};

TEST_F(Mouse, MarginsHideAndTheInsideShows) {
    const struct {
        int x, y;
        bool shown;
    } cases[] = {{33, 100, false}, {34, 100, true}, {418, 100, true}, {419, 100, false},
                 {200, 29, false}, {200, 30, true}, {200, 293, true}, {200, 294, false}};
    for (const auto& c : cases) {
        hover.HoverIndex = 99;
        Move(c.x, c.y);
        EXPECT_EQ(hover.Memo9Visible, c.shown) << c.x << "," << c.y;
        EXPECT_EQ(hover.Shape1Visible, c.shown) << c.x << "," << c.y;
        EXPECT_EQ(hover.HoverIndex != 0, c.shown) << c.x << "," << c.y;
    }
}

TEST_F(Mouse, WorkedExampleTooltip) {
    Move(260, 100);
    EXPECT_EQ(hover.HoverIndex, 2);
    EXPECT_EQ(
        hover.Memo9Text,
        QStringLiteral("(N0.2)  \r\n1.50 Km  標高：250 m\r\n(左クリックで地名記入）\r\n（右クリックで地図移動）"));
    EXPECT_EQ(hover.Memo9Left, 198);
    EXPECT_EQ(hover.Memo9Top, 130);
    EXPECT_EQ(hover.Shape1Left, 260);
    EXPECT_EQ(hover.Shape1Top, 27);

    Move(36, 50);
    EXPECT_EQ(hover.HoverIndex, 1);
    EXPECT_TRUE(hover.Memo9Text.contains(QStringLiteral("\r\n.00 Km  標高：100 m")));
    EXPECT_EQ(hover.Memo9Left, 10);
    Move(418, 50);
    EXPECT_EQ(hover.HoverIndex, 3);
    EXPECT_EQ(hover.Memo9Left, 297);
}

TEST_F(Mouse, WidenedDigitsAndTiesToTheLowerIndex) {
    drawn.ChartX[3] = 263;  // drawn at the same x as point 2
    table.Elevation[3] = 0.1f;
    Move(263, 100);
    EXPECT_EQ(hover.HoverIndex, 2);
    Move(300, 100);
    EXPECT_EQ(hover.HoverIndex, 2);
    drawn.ChartX[2] = 250;
    Move(300, 100);
    EXPECT_EQ(hover.HoverIndex, 3);
    EXPECT_TRUE(hover.Memo9Text.contains(QStringLiteral("標高：0.100000001490116 m")));
}

TEST_F(Mouse, NoPointsLeaveEverythingAsItWas) {
    Move(260, 100);
    table.PointCount = 0;
    Move(30, 10);
    EXPECT_EQ(hover.HoverIndex, 2);
    EXPECT_TRUE(hover.Memo9Visible);
    // ...but a click then names or recentres nothing.
    EXPECT_EQ(ChartMouseDown(table, hover, ChartButton::Left).kind, ChartClick::Nothing);
    EXPECT_EQ(ChartMouseDown(table, hover, ChartButton::Right).kind, ChartClick::Nothing);
}

TEST_F(Mouse, ClicksNameOrRecentreTheHoveredPoint) {
    EXPECT_EQ(ChartMouseDown(table, hover, ChartButton::Left).kind, ChartClick::Nothing);
    Move(260, 100);
    const ChartClick left = ChartMouseDown(table, hover, ChartButton::Left);
    EXPECT_EQ(left.kind, ChartClick::AskName);
    EXPECT_EQ(left.point, 2);
    for (ChartButton b : {ChartButton::Right, ChartButton::Middle}) {
        const ChartClick c = ChartMouseDown(table, hover, b);
        EXPECT_EQ(c.kind, ChartClick::Recentre);
        EXPECT_EQ(c.point, 2);
    }
    Move(20, 100);  // the margins clear the hovered point
    EXPECT_EQ(ChartMouseDown(table, hover, ChartButton::Left).kind, ChartClick::Nothing);
}

TEST_F(Mouse, PointsTheLastDrawingDidNotPlaceSitAtZero) {
    // A route of one point is never drawn: it hovers over what the last drawing left.
    table.PointCount = 1;
    Move(300, 100);
    EXPECT_EQ(hover.HoverIndex, 1);
    EXPECT_EQ(hover.Memo9Left, 10);
    EXPECT_EQ(hover.Shape1Left, 37);
    EXPECT_EQ(hover.Shape1Top, 241);

    // Nothing drawn yet, or more points than the drawing had: those points sit at (0, 0).
    drawn = {};
    Move(300, 100);
    EXPECT_EQ(hover.HoverIndex, 1);
    EXPECT_EQ(hover.Shape1Left, -3);
    EXPECT_EQ(hover.Shape1Top, -3);
    drawn = {{0, 263, 412}, {0, 30, 130}};
    table.PointCount = 3;
    Move(34, 100);
    EXPECT_EQ(hover.HoverIndex, 3);
    EXPECT_EQ(hover.Shape1Left, -3);
    EXPECT_EQ(hover.Shape1Top, -3);
}

}  // namespace
