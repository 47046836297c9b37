#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

#include "route/readouts.h"
#include "route/route_table.h"

// The exact route an autosave keeps (WriteExactGpx) read back bit for bit.

/// A route with its statistics as an autosave recorded them.
struct RouteSnapshot {
    RouteTable Table;
    RouteStats Stats;
    QDateTime Time;                 ///< when the autosave was written (UTC); invalid when it has none
    std::optional<Readouts> Shown;  ///< the readouts, when the autosave recorded them
};

/// What an offer to restore shows: "restore N points from <time>".
struct AutosaveSummary {
    int PointCount = 0;
    QDateTime Time;  ///< (UTC); invalid when the file has none
};

/// the exact route of an autosave document; file names it in failure texts
RouteSnapshot ReadRouteSnapshot(const QByteArray& bytes, const QString& file);

/// the exact route of an autosave file
RouteSnapshot ReadRouteSnapshotFile(const QString& path);

/// the point count and time of an autosave file, read from its head only
AutosaveSummary ReadAutosaveSummaryFile(const QString& path);
