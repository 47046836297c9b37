#pragma once

#include <QString>
#include <cstdint>

#include "profile/chart_positions.h"
#include "route/route_table.h"

/// What the chart's hover shows: the hovered point, the tooltip box Memo9 and the marker Shape1
/// (positions within the chart panel [px]).
struct HoverState {
    std::int32_t HoverIndex = 0;  ///< 1..PointCount, 0 for none
    bool Memo9Visible = false;
    QString Memo9Text;
    int Memo9Left = 0;
    int Memo9Top = 0;
    bool Shape1Visible = false;
    int Shape1Left = 0;
    int Shape1Top = 0;
};

/// the four-line tooltip of point n
QString HoverText(const RouteTable& table, int n);

/// a mouse movement to (x, y) over a W x H chart whose last drawing put the points at drawn
void ChartMouseMove(const RouteTable& table, const ChartPositions& drawn, int width, int height, int x, int y,
                    HoverState& hover);

enum class ChartButton { Left, Right, Middle };

/// What a click on the chart asks for.
struct ChartClick {
    enum Kind { Nothing, AskName, Recentre } kind = Nothing;
    int point = 0;  ///< the hovered point
};

/// the action of a button going down over the chart; nothing while no point of the route is hovered
ChartClick ChartMouseDown(const RouteTable& table, const HoverState& hover, ChartButton button);

/// the caption, prompt and default text of the name input box
inline const char16_t* const NameBoxCaption = u"地名の入力";
inline const char16_t* const NameBoxPrompt = u"地名：";
