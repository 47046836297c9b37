#include "profile/draw_profile.h"

#include <limits>

#include <cmath>

#include "format/checked_float.h"
#include "format/failure.h"
#include "format/format_messages.h"
#include "format/number_text.h"

using namespace chart_colors;

namespace {

// lg kept in single precision, its integer part e, and the mantissa 10^(lg - e) in single.
struct Decade {
    long long e;
    float m;
};

Decade DecadeOf(long double value) {
    const float lg = ToSingle(std::log10(value));
    const long long e = Truncate(lg);
    const float fraction = ToSingle(static_cast<long double>(lg) - e);
    const float m = ToSingle(std::pow(10.0L, static_cast<long double>(fraction)));
    return {e, m};
}

long long StepFor(const Decade& d, int multiplier) {
    return RoundToInteger(std::pow(10.0L, static_cast<long double>(d.e - 1)) * multiplier);
}

int ToPixel(long double value) {
    const long long pixel = Truncate(value);
    if (pixel < std::numeric_limits<int>::min() || pixel > std::numeric_limits<int>::max())
        throw Failure(format_messages::IntegerOutOfRange());
    return static_cast<int>(pixel);
}

// A name one character under the other, long and short dashes drawn as a vertical bar.
void WriteVertical(Canvas& canvas, const QString& name, int x, int top) {
    int y = top;
    for (QChar c : name) {
        if (y >= canvas.Height()) break;  // everything further down is clipped anyway
        if (c == QChar(0x30FC) || c == QLatin1Char('-')) c = QChar(0xFF5C);
        const QString glyph(c);
        canvas.TextOut(x - canvas.TextWidth(glyph) / 2 + 1, y, glyph);
        y += canvas.TextHeight(glyph);
    }
}

}  // namespace

int ElevationStep(float range) {
    if (!(range > 10)) return 1;
    const Decade d = DecadeOf(range);
    const int multiplier = d.m < 2 ? 5 : d.m < 4 ? 10 : 20;
    const long long step = StepFor(d, multiplier);
    // Only absurd elevations (an imported file's, say) give a step beyond the chart's integers.
    if (step > std::numeric_limits<int>::max()) throw Failure(format_messages::IntegerOutOfRange());
    return static_cast<int>(step);
}

long long DistanceStep(double totalKm) {
    const long double metres = static_cast<long double>(totalKm) * 1000;
    if (!(metres > 0)) return 0;
    const Decade d = DecadeOf(metres);
    const int multiplier = d.m < 2 ? 5 : d.m < 5 ? 10 : 20;
    return StepFor(d, multiplier);
}

std::optional<ChartPositions> DrawProfile(const RouteTable& table, const RouteStats& stats, Canvas& canvas) {
    const int W = canvas.Width(), H = canvas.Height();
    const ChartFrame f = ChartFrame::Of(W, H);
    const int n = table.PointCount;
    if (n <= 1) return std::nullopt;
    canvas.Clear();

    // Title tag.
    const int bx = (W - 45) / 2;
    canvas.SetBrushColor(Red);
    canvas.SetPenColor(Red);
    canvas.Rectangle(bx, 3, bx + 45, 22);
    canvas.SetFontColor(White);
    canvas.TextOut(bx + 5, 6, QStringLiteral("高低図"));

    // Plot area.
    canvas.SetBrushColor(LightBlue);
    canvas.SetPenColor(LightBlue);
    canvas.Rectangle(f.L, f.T - 5, f.R, f.B + 5);

    // Elevation scale.
    const float range = ToSingle(static_cast<long double>(stats.MaxElevation) - stats.MinElevation);
    const int step = ElevationStep(range);
    const long long base = Truncate(static_cast<long double>(stats.MinElevation) / step) * step;
    float scale = ToSingle(static_cast<long double>(stats.MaxElevation) - base);
    if (scale < 5) scale = 5;

    canvas.SetPenColor(White);
    canvas.SetFontColor(Black);
    canvas.SetBrushClear();
    for (long long i = 0;; ++i) {
        const int y = f.B - ToPixel(static_cast<long double>(i) * step / scale * f.PH);
        if (y <= f.T - 4) break;
        canvas.MoveTo(f.L, y);
        canvas.LineTo(f.R, y);
        QString label = QString::number(base + i * step);
        if (i == 0) label += QStringLiteral(" m");
        canvas.TextOut(5, y - 4, label);
        if (f.PH <= 0) break;  // a chart too low to climb
    }

    // Profile outline. A route of zero length (clicks on one spot) has no distances to spread its
    // points by: they stand evenly by their number, so the outline still closes around the fill.
    const float last = table.CumulativeKm[n];
    auto yOf = [&](float elevation) {
        return f.B - ToPixel((static_cast<long double>(elevation) - base) / scale * f.PH);
    };
    const int y1 = yOf(table.Elevation[1]);
    canvas.MoveTo(f.L + 5, y1);
    ChartPositions drawn;
    std::vector<std::int32_t>& chartX = drawn.ChartX;
    std::vector<std::int32_t>& chartY = drawn.ChartY;
    chartX.assign(static_cast<std::size_t>(n) + 1, 0);
    chartY.assign(static_cast<std::size_t>(n) + 1, 0);
    chartX[1] = f.L + 5;
    chartY[1] = y1;
    canvas.SetBrushColor(GreyGreen);
    canvas.SetPenColor(Yellow);
    for (int i = 2; i <= n; ++i) {
        const long double share = last > 0 ? static_cast<long double>(table.CumulativeKm[i]) / last
                                           : static_cast<long double>(i - 1) / (n - 1);
        const int x = ToPixel(share * f.PW) + f.L + 5;
        const int y = yOf(table.Elevation[i]);
        canvas.LineTo(x, y);
        chartX[i] = x;
        chartY[i] = y;
    }
    canvas.LineTo(f.R - 5, f.B + 5);
    canvas.LineTo(f.L + 5, f.B + 5);
    canvas.LineTo(f.L + 5, y1);

    canvas.SetBrushColor(GreyGreen);
    canvas.FloodFill(f.R - 7, f.B + 2, Yellow);

    if (n < 30) {
        canvas.SetPenColor(White);
        for (int i = 2; i <= n - 1; ++i) {
            canvas.MoveTo(chartX[i], chartY[i]);
            canvas.LineTo(chartX[i], f.B + 4);
        }
    }

    // Names, first pass with their leader lines.
    canvas.SetFontColor(Blue);
    canvas.SetPenColor(Blue);
    canvas.SetBrushClear();
    for (int i = 1; i <= n; ++i) {
        if (table.PointName[i].isEmpty()) continue;
        canvas.MoveTo(chartX[i], f.B + 22);
        canvas.LineTo(chartX[i], chartY[i] + 1);
        WriteVertical(canvas, table.PointName[i], chartX[i], f.B + 25);
    }

    // Distance scale; a step of 0 (a route of zero length or under 2 m) shows the 0 tick only.
    const long long stepD = DistanceStep(stats.TotalKm);
    canvas.SetPenColor(Black);
    canvas.SetBrushClear();
    for (long long i = 0;; ++i) {
        const int x =
            (stepD > 0 && stats.TotalKm > 0 ? ToPixel(static_cast<long double>(i) * stepD / 1000 / stats.TotalKm * f.PW)
                                            : 0) +
            f.L + 5;
        if (x >= f.R) break;
        canvas.MoveTo(x, f.B + 7);
        canvas.LineTo(x, f.B + 12);
        QString label;
        if (stats.TotalKm >= 2) {
            label = QString::number(RoundToInteger(static_cast<long double>(i) * stepD / 1000));
            if (i == 0) label += QStringLiteral(" Km");
        } else {
            label = QString::number(i * stepD);
            if (i == 0) label += QStringLiteral(" m");
        }
        const long double w = canvas.TextWidth(label);
        canvas.TextOut(ToPixel(x - w / 2) + 1, f.B + 10, label);
        if (stepD <= 0) break;
    }

    // Names again, over anything the scale drew across them.
    canvas.SetFontColor(Blue);
    for (int i = 1; i <= n; ++i) {
        if (!table.PointName[i].isEmpty()) WriteVertical(canvas, table.PointName[i], chartX[i], f.B + 25);
    }
    return drawn;
}
