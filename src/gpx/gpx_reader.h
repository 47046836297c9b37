#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// GPX 1.0 and 1.1 import: the points of the first track (all its segments in order); without a
// track, of the first route; without either, the waypoints. Any namespace prefix; extensions and
// elements of other namespaces are skipped. Every failure is a Failure naming the file.

/// One point as the file gives it.
struct GpxPoint {
    double Lat = 0;                   ///< [deg]
    double Lng = 0;                   ///< [deg]
    std::optional<double> Elevation;  ///< [m], when the point has an ele
    QString Name;                     ///< empty when the point has no name
};

/// the points of a GPX document; file names it in failure texts
std::vector<GpxPoint> ReadGpx(const QByteArray& bytes, const QString& file);

/// the points of a GPX file; its size is checked before it is read
std::vector<GpxPoint> ReadGpxFile(const QString& path);
