#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "route/readouts.h"
#include "route/route_table.h"

// GPX 1.1 documents of the route, UTF-8, as bytes for the caller to save.

/// a GPX 1.1 document: metadata (name, time in UTC), every named point as a waypoint, and one
/// track with one segment holding points 1..PointCount with their elevations and names;
/// coordinates in the shortest decimals that read back to the same floats; no time when invalid
QByteArray WriteGpx(const RouteTable& table, const QString& name, const QDateTime& time);

/// WriteGpx plus the exact route in the metadata's extensions: every stored per-point value,
/// PointCount, Capacity and the statistics, bit for bit; ReadRouteSnapshot restores it
QByteArray WriteExactGpx(const RouteTable& table, const RouteStats& stats, const QString& name, const QDateTime& time);

/// WriteExactGpx plus the readouts that describe the route (texts, list rows), so a restore
/// shows exactly what the run that wrote it showed
QByteArray WriteExactGpx(const RouteTable& table, const RouteStats& stats, const Readouts& shown, const QString& name,
                         const QDateTime& time);

/// the shortest decimal text (no exponent) that reads back as value; Failure when not finite
QString ShortestDecimal(float value);
