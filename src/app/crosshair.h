#pragma once

#include <QPoint>

/// Where the four bars of the crosshair go (top-left corners) for a browser area of
/// width x height at top [px]: vertical bars 3 x 41, horizontal bars 41 x 3, a 20 px gap.
struct CrosshairLayout {
    QPoint Panel3;  ///< upper vertical bar
    QPoint Panel4;  ///< lower vertical bar
    QPoint Panel5;  ///< left horizontal bar
    QPoint Panel6;  ///< right horizontal bar

    static CrosshairLayout For(int width, int height, int top) {
        const int cx = width / 2 - 8;
        const int cy = height / 2 + top - 1;
        return {{cx - 1, cy - 41 - 10}, {cx - 1, cy + 10}, {cx - 41 - 10, cy - 1}, {cx + 10, cy - 1}};
    }
};
