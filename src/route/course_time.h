#pragma once

#include <QString>

#include "route/route_table.h"

// Standard course time of the route and its course constant (the walking-effort figure).

/// minutes to walk a leg of horizontal length km [km] that rises by rise [m] (negative: falls);
/// a leg of length 0 takes 0 minutes [min]
long double LegMinutes(long double km, long double rise);

/// the route's standard course time: LegMinutes summed over the legs from point 1 to
/// PointCount, so a way back counts with its own slopes [min]
long double CourseMinutes(const RouteTable& table);

/// 1.8 x course time [h] + 0.3 x TotalKm + 10 x ClimbTotal [km] + 0.6 x |DescentTotal| [km]
long double CourseConstant(long double minutes, const RouteStats& stats);

/// minutes [min] rounded to the nearest minute (ties to even) as "h:mm"
QString CourseTimeText(long double minutes);

/// the course constant with one decimal, rounded to the nearest tenth (ties to even)
QString CourseConstantText(long double constant);

/// The two course texts; both empty for a route of fewer than two points.
struct CourseReadouts {
    QString Time;      ///< "h:mm"
    QString Constant;  ///< one decimal, e.g. "12.3"
};

/// course time and course constant of the route as texts
CourseReadouts CourseTexts(const RouteTable& table, const RouteStats& stats);
