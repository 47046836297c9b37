#include "profile/canvas.h"

#include <gtest/gtest.h>
#include <QFontInfo>

#include <utility>

#include "format/failure.h"
#include "profile/profile_messages.h"

namespace {

const QRgb White = qRgb(255, 255, 255), Red = qRgb(255, 0, 0), Blue = qRgb(0, 0, 255);

TEST(Canvas, StartsEmptyAndClearsToWhite) {
    Canvas c(20, 10, ChartFont());
    EXPECT_TRUE(c.IsEmpty());
    c.SetPenColor(Red);
    c.MoveTo(0, 0);
    c.LineTo(5, 0);
    EXPECT_FALSE(c.IsEmpty());
    EXPECT_EQ(c.Image().size(), QSize(20, 10));
    c.Clear();
    EXPECT_TRUE(c.IsEmpty());
    c.MoveTo(0, 5);
    c.LineTo(0, 5);  // a line of no length still starts the new white bitmap
    EXPECT_FALSE(c.IsEmpty());
    EXPECT_EQ(c.Pixel(0, 0), White);
}

TEST(Canvas, LinesLeaveOutTheirEndPixel) {
    Canvas c(20, 20, ChartFont());
    c.SetPenColor(Red);
    c.MoveTo(2, 2);
    c.LineTo(8, 2);
    EXPECT_EQ(c.Pixel(2, 2), Red);
    EXPECT_EQ(c.Pixel(7, 2), Red);
    EXPECT_EQ(c.Pixel(8, 2), White);
    c.LineTo(8, 6);  // continues from the end of the last line
    EXPECT_EQ(c.Pixel(8, 2), Red);
    EXPECT_EQ(c.Pixel(8, 5), Red);
    EXPECT_EQ(c.Pixel(8, 6), White);
    c.MoveTo(0, 0);
    c.LineTo(4, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c.Pixel(i, i), Red) << i;
    // Lines running off the edges are clipped, even absurdly long ones.
    c.MoveTo(-1000000, 10);
    c.LineTo(1000000, 10);
    EXPECT_EQ(c.Pixel(0, 10), Red);
    EXPECT_EQ(c.Pixel(19, 10), Red);
    // A line wholly outside the picture leaves every pixel as it was.
    const QImage before = c.Image();
    c.MoveTo(-5, -5);
    c.LineTo(-1, -100);
    c.MoveTo(25, 0);
    c.LineTo(25, 19);
    EXPECT_EQ(c.Image(), before);
}

TEST(Canvas, RectanglesCoverTheHalfOpenRange) {
    Canvas c(20, 20, ChartFont());
    c.SetBrushColor(Blue);
    c.SetPenColor(Red);
    c.Rectangle(2, 3, 6, 8);
    EXPECT_EQ(c.Pixel(2, 3), Red);
    EXPECT_EQ(c.Pixel(5, 7), Red);
    EXPECT_EQ(c.Pixel(3, 4), Blue);
    EXPECT_EQ(c.Pixel(6, 4), White);
    EXPECT_EQ(c.Pixel(3, 8), White);
    c.SetBrushClear();
    c.Rectangle(10, 10, 15, 15);
    EXPECT_EQ(c.Pixel(10, 12), Red);
    EXPECT_EQ(c.Pixel(12, 12), White);
    c.SetBrushColor(Blue);  // a brush colour makes the brush solid again
    c.Rectangle(-5, -5, 100, 1);
    EXPECT_EQ(c.Pixel(19, 0), Red);
}

TEST(Canvas, TextCellsAndGlyphs) {
    Canvas c(100, 40, ChartFont());
    EXPECT_EQ(c.TextHeight("A"), c.TextHeight("高"));
    EXPECT_GE(c.TextHeight("A"), 11);
    EXPECT_GT(c.TextWidth("高低図"), c.TextWidth("A"));
    c.SetBrushColor(Red);
    c.SetFontColor(qRgb(255, 255, 255));
    c.TextOut(10, 5, "高低図");
    const int w = c.TextWidth("高低図"), h = c.TextHeight("高低図");
    // The cell is red, the glyphs white and crisp: no colour but the two inside the cell.
    int white = 0;
    for (int y = 5; y < 5 + h; ++y)
        for (int x = 10; x < 10 + w; ++x) {
            const QRgb p = c.Pixel(x, y);
            ASSERT_TRUE(p == Red || p == qRgb(255, 255, 255)) << x << "," << y;
            white += p != Red;
        }
    EXPECT_GT(white, 20);
    EXPECT_EQ(c.Pixel(9, 5), qRgb(255, 255, 255));
    EXPECT_EQ(c.Pixel(10 + w, 5), qRgb(255, 255, 255));

    c.SetBrushClear();
    c.SetFontColor(Blue);
    c.TextOut(60, 30, "A");  // glyphs only; the part below the edge is clipped
    EXPECT_EQ(c.Texts().back().x, 60);
    EXPECT_EQ(c.Pixel(60, 30), qRgb(255, 255, 255));
}

TEST(Canvas, FloodFillStopsAtTheBorderAndNeverRecurses) {
    Canvas c(40, 40, ChartFont());
    c.SetPenColor(Red);
    c.SetBrushClear();
    c.Rectangle(5, 5, 20, 20);
    c.SetBrushColor(Blue);
    c.FloodFill(10, 10, Red);
    EXPECT_EQ(c.Pixel(10, 10), Blue);
    EXPECT_EQ(c.Pixel(18, 18), Blue);
    EXPECT_EQ(c.Pixel(5, 5), Red);
    EXPECT_EQ(c.Pixel(25, 25), qRgb(255, 255, 255));
    const QImage filled = c.Image();
    c.FloodFill(10, 10, Red);  // filling with the colour already there ends, changing nothing
    EXPECT_EQ(c.Image(), filled);

    // A whole large image in one fill: an explicit stack, not the call stack.
    Canvas big(3000, 3000, ChartFont());
    big.SetBrushColor(Blue);
    big.FloodFill(1500, 1500, Red);
    EXPECT_EQ(big.Pixel(0, 0), Blue);
    EXPECT_EQ(big.Pixel(2999, 2999), Blue);
    big.SetBrushColor(Red);
    for (const auto& [x, y] : {std::pair{-1, 5}, {5, -1}, {3000, 5}, {5, 3000}}) {
        big.FloodFill(x, y, White);  // outside the picture: nothing is filled
        EXPECT_EQ(big.Pixel(5, 5), Blue) << x << "," << y;
        EXPECT_EQ(big.Pixel(0, 0), Blue) << x << "," << y;
        EXPECT_EQ(big.Pixel(2999, 2999), Blue) << x << "," << y;
    }
}

TEST(ChartFont, IsTheNamedFaceFromTheFontDatabaseOrAFailure) {
    const QFont font = ChartFont();
    EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf16(ScreenFontFamily));  // not a substitute
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_TRUE(font.styleStrategy() & QFont::NoAntialias);
    EXPECT_TRUE(font.styleStrategy() & QFont::NoFontMerging);
    try {
        ChartFont(QStringLiteral("No Such Family 7"));
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.text(), profile_messages::ChartFontMissing(QStringLiteral("No Such Family 7")));
    }
}

}  // namespace
