#pragma once

#include <QString>

#include "route/readouts.h"
#include "route/route_table.h"

/// The route's starting capacity [points].
inline constexpr int StartCapacity = 100;

/// the route as the window starts it: reset, then StartCapacity slots
void StartUpRoute(RouteTable& table, RouteStats& stats, Readouts& shown);

/// clears the route, its statistics, the names and their readouts; Capacity stays
void ResetRoute(RouteTable& table, RouteStats& stats, Readouts& shown);

/// appends the point the map page reported (its latitude and longitude texts) with its
/// elevation [m, negative when unknown]; both texts are parsed before anything changes
void AppendPoint(RouteTable& table, RouteStats& stats, Readouts& shown, const QString& latText, const QString& lngText,
                 float elevation);

/// writes the elevation readouts and scrolls the route list to its last row
void ShowRouteStats(const RouteStats& stats, Readouts& shown);

/// adds the rise or drop from previous to current [m] to the climb or descent total
void CountElevationStep(RouteStats& stats, float previous, float current);

/// raises MaxElevation or lowers MinElevation (strictly) to take in an elevation [m]
void CountExtremes(RouteStats& stats, float elevation);

/// the list row of a point: "  n", tab, segment, tab, elevation, tab, cumulative
QString RouteRow(int n, const QString& segment, const QString& elevation, const QString& cumulative);
