#include "profile/chart_mouse.h"

#include <cstdlib>

#include "format/number_text.h"

QString HoverText(const RouteTable& table, int n) {
    return QStringLiteral("(N0.") + QString::number(n) + QStringLiteral(")  \r\n") +
           PatternFormat(table.CumulativeKm[n]) + QStringLiteral(" Km  標高：") + GeneralFormat(table.Elevation[n]) +
           QStringLiteral(" m\r\n") + QStringLiteral("(左クリックで地名記入）\r\n（右クリックで地図移動）");
}

void ChartMouseMove(const RouteTable& table, const ChartPositions& drawn, int width, int height, int x, int y,
                    HoverState& hover) {
    if (table.PointCount <= 0) return;
    hover.HoverIndex = 0;
    if (x <= 33 || x >= width - 8 || y < 30 || y >= height - 100) {
        hover.Memo9Visible = false;
        hover.Shape1Visible = false;
        return;
    }
    long long best = 1000;
    for (int i = 1; i <= table.PointCount; ++i) {
        const long long d = std::llabs(static_cast<long long>(x) - drawn.X(i));
        if (d < best) {
            hover.HoverIndex = i;
            best = d;
        }
    }
    const int n = hover.HoverIndex;
    if (n == 0) return;  // no drawn point within reach

    hover.Memo9Text = HoverText(table, n);
    int left = drawn.X(n) - 65;
    if (left < 10) left = 10;
    if (left > width - 130) left = width - 130;
    hover.Memo9Left = left;
    hover.Memo9Top = y + 30;
    hover.Memo9Visible = true;

    hover.Shape1Left = drawn.X(n) - 3;
    hover.Shape1Top = drawn.Y(n) - 3;
    hover.Shape1Visible = true;
}

ChartClick ChartMouseDown(const RouteTable& table, const HoverState& hover, ChartButton button) {
    const int n = hover.HoverIndex;
    // A cleared route may leave an old index behind: it names no point of this route.
    if (n <= 0 || n > table.PointCount) return {};
    return {button == ChartButton::Left ? ChartClick::AskName : ChartClick::Recentre, n};
}
