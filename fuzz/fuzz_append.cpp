// AppendPoint on arbitrary texts and elevations: nothing stored is ever NaN, infinite or a
// negative elevation, whatever the texts, and the statistics stay finite.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "format/failure.h"
#include "route/route_edits.h"
#include "route/route_points.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RouteTable table;
    RouteStats stats;
    Readouts shown;
    StartUpRoute(table, stats, shown);
    // Records: 4 bytes of elevation, 1 byte of length, then two texts split at a 0 byte.
    size_t p = 0;
    while (p + 5 <= size) {
        float elevation;
        std::memcpy(&elevation, data + p, 4);
        const size_t length = std::min<size_t>(data[p + 4], size - p - 5);
        const char* text = reinterpret_cast<const char*>(data + p + 5);
        p += 5 + length;
        const char* split = static_cast<const char*>(std::memchr(text, 0, length));
        const size_t latLength = split ? static_cast<size_t>(split - text) : length;
        const QString lat = QString::fromLatin1(text, static_cast<qsizetype>(latLength));
        const QString lng =
            split ? QString::fromLatin1(split + 1, static_cast<qsizetype>(length - latLength - 1)) : lat;
        try {
            AppendPoint(table, stats, shown, lat, lng, elevation);
            ShowRouteStats(stats, shown);
        } catch (const Failure&) {
        }
    }
    try {
        if (table.PointCount > 0 && (data[0] & 1)) MirrorReturnRoute(table, stats, shown);
        if (data[0] & 2) RemoveLastPoint(table, stats, shown);
        RebuildRouteList(table, shown);
    } catch (const Failure&) {
    }
    for (int i = 1; i <= table.PointCount; ++i) {
        for (float v : {table.Lat[i], table.Lng[i], table.Elevation[i], table.CumulativeKm[i], table.SegmentKm[i]})
            if (!std::isfinite(v)) std::abort();
        if (table.Elevation[i] < 0 || table.SegmentKm[i] < 0) std::abort();
    }
    if (!std::isfinite(stats.TotalKm) || !std::isfinite(stats.ClimbTotal) || !std::isfinite(stats.DescentTotal))
        std::abort();
    if (table.PointCount + 10 > table.Capacity && table.PointCount > 0) std::abort();
    return 0;
}
