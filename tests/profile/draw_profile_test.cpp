#include "profile/draw_profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "format/failure.h"
#include "route/route_points.h"

namespace {

using namespace chart_colors;

// A route built directly from its table values, as the chart reads them.
struct Chart : ::testing::Test {
    RouteTable table;
    RouteStats stats;
    Canvas canvas{427, 394, ChartFont()};

    void Route(const std::vector<float>& elevations, const std::vector<float>& cumulative, double totalKm) {
        table.Capacity = static_cast<int>(elevations.size()) + 10;
        AllocateRoute(table);
        table.PointCount = static_cast<int>(elevations.size());
        stats.MaxElevation = 0;
        stats.MinElevation = 4000;
        for (int i = 1; i <= table.PointCount; ++i) {
            table.Elevation[i] = elevations[i - 1];
            table.CumulativeKm[i] = cumulative[i - 1];
            stats.MaxElevation = std::max(stats.MaxElevation, elevations[i - 1]);
            stats.MinElevation = std::min(stats.MinElevation, elevations[i - 1]);
        }
        stats.TotalKm = totalKm;
    }

    // Draws a route of two or more points and gives where its points went.
    ChartPositions Draw() {
        std::optional<ChartPositions> drawn = DrawProfile(table, stats, canvas);
        EXPECT_TRUE(drawn.has_value());
        return drawn.value_or(ChartPositions{});
    }

    std::vector<PlacedText> TextsAt(int y) const {
        std::vector<PlacedText> found;
        for (const auto& t : canvas.Texts())
            if (t.y == y) found.push_back(t);
        return found;
    }
    const PlacedText* Find(const QString& text) const {
        for (const auto& t : canvas.Texts())
            if (t.text == text) return &t;
        return nullptr;
    }
};

TEST_F(Chart, WorkedExample) {
    Route({100, 250, 180}, {0, 1.5f, 2.5f}, 2.5);
    const ChartPositions drawn = Draw();

    // Title tag and plot area.
    EXPECT_EQ(canvas.Pixel(191, 3), Red);
    EXPECT_EQ(canvas.Pixel(235, 21), Red);
    EXPECT_EQ(canvas.Pixel(236, 3), White);
    EXPECT_EQ(canvas.Pixel(190, 10), White);
    ASSERT_NE(Find("高低図"), nullptr);
    EXPECT_EQ(Find("高低図")->x, 196);
    EXPECT_EQ(Find("高低図")->y, 6);
    EXPECT_EQ(canvas.Pixel(35, 25), LightBlue);
    EXPECT_EQ(canvas.Pixel(416, 248), LightBlue);
    EXPECT_EQ(canvas.Pixel(417, 100), White);
    EXPECT_EQ(canvas.Pixel(100, 250), White);

    // Grid lines with their labels.
    const struct {
        int y;
        const char* label;
    } grid[] = {{244, "100 m"}, {173, "150"}, {102, "200"}, {30, "250"}};
    for (const auto& g : grid) {
        EXPECT_EQ(canvas.Pixel(36, g.y), White) << g.y;
        EXPECT_EQ(canvas.Pixel(416, g.y), White) << g.y;  // right of the outline: the line shows
        const PlacedText* t = Find(g.label);
        ASSERT_NE(t, nullptr) << g.label;
        EXPECT_EQ(t->x, 5);
        EXPECT_EQ(t->y, g.y - 4);
    }
    EXPECT_EQ(Find("300"), nullptr);
    EXPECT_EQ(canvas.Pixel(36, 50), LightBlue);

    // Point positions and outline.
    EXPECT_EQ(drawn.ChartX, (std::vector<int>{0, 40, 263, 412}));
    EXPECT_EQ(drawn.ChartY, (std::vector<int>{0, 244, 30, 130}));
    EXPECT_EQ(canvas.Pixel(40, 244), Yellow);
    EXPECT_EQ(canvas.Pixel(412, 200), Yellow);  // closing line down the right
    EXPECT_EQ(canvas.Pixel(200, 249), Yellow);  // and along the bottom
    EXPECT_EQ(canvas.Pixel(40, 247), Yellow);   // back up to point 1
    EXPECT_EQ(canvas.Pixel(412, 249), Yellow);  // a line's end pixel is the next line's first
    // Fill: inside grey-green (grid lines included), above the outline light blue.
    EXPECT_EQ(canvas.Pixel(410, 246), GreyGreen);
    EXPECT_EQ(canvas.Pixel(300, 173), GreyGreen);
    EXPECT_EQ(canvas.Pixel(300, 240), GreyGreen);
    EXPECT_EQ(canvas.Pixel(300, 40), LightBlue);
    EXPECT_EQ(canvas.Pixel(300, 60), GreyGreen);
    EXPECT_EQ(canvas.Pixel(38, 200), LightBlue);  // left of point 1, outside the outline
    // The one drop line, point 2 down to B + 4.
    EXPECT_EQ(canvas.Pixel(263, 31), White);
    EXPECT_EQ(canvas.Pixel(263, 247), White);
    EXPECT_EQ(canvas.Pixel(263, 248), GreyGreen);  // the drop line ends above B + 4
    EXPECT_NE(canvas.Pixel(40, 200), White);

    // Distance scale: ticks at 40, 188, 337 from 251 to 255, labels at y 254.
    for (int x : {40, 188, 337}) {
        EXPECT_EQ(canvas.Pixel(x, 251), Black) << x;
        EXPECT_EQ(canvas.Pixel(x, 253), Black) << x;
    }
    const auto labels = TextsAt(254);
    ASSERT_EQ(labels.size(), 3u);
    const char* texts[] = {"0 Km", "1", "2"};
    const int ticks[] = {40, 188, 337};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(labels[i].text, texts[i]);
        EXPECT_EQ(labels[i].x, static_cast<int>(ticks[i] - canvas.TextWidth(texts[i]) / 2.0) + 1);
    }
}

TEST(ScaleSteps, ElevationAndDistanceSteps) {
    const struct {
        float range;
        int step;
    } elevation[] = {{0, 1}, {10, 1}, {12, 5}, {25, 10}, {45, 20}, {100, 50}, {350, 100}, {450, 200}, {1200, 500}};
    for (const auto& c : elevation) EXPECT_EQ(ElevationStep(c.range), c.step) << c.range;
    EXPECT_EQ(ElevationStep(3e9f), 1'000'000'000);
    EXPECT_THROW(ElevationStep(1e10f), Failure);  // a step beyond the chart's integers
    const struct {
        double metres;
        long long step;
    } distance[] = {{300, 100},    {800, 200}, {1500, 500}, {3000, 1000}, {4500, 1000},
                    {15000, 5000}, {1, 0},     {0, 0},      {2.5, 1}};
    for (const auto& c : distance) EXPECT_EQ(DistanceStep(c.metres / 1000), c.step) << c.metres;
}

TEST_F(Chart, FlatRouteUsesTheSmallestScale) {
    Route({52.3f, 52.3f}, {0, 1}, 1);
    const ChartPositions drawn = Draw();
    const int B = 244;
    const struct {
        int above;
        const char* label;
    } grid[] = {{0, "52 m"}, {42, "53"}, {85, "54"}, {128, "55"}, {171, "56"}, {214, "57"}};
    for (const auto& g : grid) {
        const PlacedText* t = Find(g.label);
        ASSERT_NE(t, nullptr) << g.label;
        EXPECT_EQ(t->y, B - g.above - 4) << g.label;
    }
    EXPECT_EQ(Find("58"), nullptr);
    EXPECT_EQ(drawn.ChartY[1], B - 12);
    EXPECT_EQ(drawn.ChartY[2], B - 12);
    // A 1 km route is labelled in metres.
    ASSERT_NE(Find("0 m"), nullptr);
    EXPECT_EQ(Find("0 m")->y, 254);
    EXPECT_NE(Find("500"), nullptr);
}

TEST_F(Chart, DropLinesOnlyBelowThirtyPoints) {
    for (int n : {2, 29, 30}) {
        std::vector<float> e(n, 100), c(n);
        for (int i = 0; i < n; ++i) c[i] = i * 0.1f;
        Route(e, c, c.back());
        const ChartPositions drawn = Draw();
        EXPECT_EQ(drawn.ChartX.size(), static_cast<std::size_t>(n) + 1);
        EXPECT_EQ(drawn.ChartX[n], 412);
        // All points lie on the base line: each drop line shows white just below it.
        int white = 0;
        for (int x = 41; x < 412; ++x) white += canvas.Pixel(x, 246) == White;
        EXPECT_EQ(white, n == 29 ? 27 : 0) << n;
    }
}

TEST_F(Chart, NamesStandVerticallyWithBarsForDashes) {
    Route({100, 200, 150}, {0, 1, 3}, 3);
    table.PointName[2] = QStringLiteral("A-ー");
    const ChartPositions drawn = Draw();
    const int x = drawn.ChartX[2];
    const int h = canvas.TextHeight("A");
    const QString expected[] = {"A", "｜", "｜"};
    int found = 0;
    for (const auto& t : canvas.Texts()) {
        if (t.y < 269) continue;
        const int k = (t.y - 269) / h;
        ASSERT_LT(k, 3);
        EXPECT_EQ(t.y, 269 + k * h);
        EXPECT_EQ(t.text, expected[k]);
        EXPECT_EQ(t.x, x - canvas.TextWidth(t.text) / 2 + 1);
        ++found;
    }
    EXPECT_EQ(found, 6);                    // both passes
    EXPECT_EQ(canvas.Pixel(x, 264), Blue);  // the leader line
    EXPECT_EQ(canvas.Pixel(x, 262), Blue);
    EXPECT_EQ(canvas.Pixel(drawn.ChartX[3], 264), White);  // no name, no leader
}

TEST_F(Chart, ZeroLengthAndTinyRoutesEndWithTheZeroTick) {
    for (double total : {0.0, 0.001}) {
        Route({100, 120, 110}, {0, static_cast<float>(total / 2), static_cast<float>(total)}, total);
        ChartPositions drawn;
        ASSERT_NO_THROW(drawn = Draw());
        const auto labels = TextsAt(254);
        ASSERT_EQ(labels.size(), 1u) << total;
        EXPECT_EQ(labels[0].text, "0 m");
        EXPECT_EQ(canvas.Pixel(40, 252), Black);
        if (total == 0) {
            // No distance to go by: the points stand evenly by their number.
            EXPECT_EQ(drawn.ChartX[1], 40);
            EXPECT_EQ(drawn.ChartX[2], 226);
            EXPECT_EQ(drawn.ChartX[3], 412);
        }
        // The chart stays readable: title, plot area above the profile, its fill, the grid labels.
        EXPECT_EQ(canvas.Pixel(192, 4), Red) << total;
        EXPECT_EQ(canvas.Pixel(300, 40), LightBlue) << total;
        EXPECT_EQ(canvas.Pixel(300, 240), GreyGreen) << total;
        EXPECT_TRUE(Find("100 m")) << total;
    }
}

TEST_F(Chart, OnePointKeepsThePreviousPicture) {
    Route({100}, {0}, 0);
    EXPECT_FALSE(DrawProfile(table, stats, canvas).has_value());
    EXPECT_TRUE(canvas.IsEmpty());
    Route({100, 250, 180}, {0, 1.5f, 2.5f}, 2.5);
    Draw();
    const QImage before = canvas.Image();
    table.PointCount = 1;
    EXPECT_FALSE(DrawProfile(table, stats, canvas).has_value());
    EXPECT_EQ(canvas.Image(), before);
}

}  // namespace
