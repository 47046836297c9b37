#pragma once

#include "route/readouts.h"
#include "route/route_table.h"

/// rewrites the route list from the table, with the name column, and Memo4 as a bare number
void RebuildRouteList(const RouteTable& table, Readouts& shown);

/// makes the route out-and-back: appends the way back from the last point to point 1;
/// the climb and descent totals then count the way back too. An empty route is left alone.
void MirrorReturnRoute(RouteTable& table, RouteStats& stats, Readouts& shown);

/// drops the last point and rolls the statistics back to the kept points; the freed slot's
/// name is cleared. A route of one point or none is left alone.
void RemoveLastPoint(RouteTable& table, RouteStats& stats, Readouts& shown);

/// stores the answer of the name input box as point n's name, exactly as typed (empty clears it)
void StorePointName(RouteTable& table, int n, const QString& answer);
