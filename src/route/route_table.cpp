#include "route/route_table.h"

#include "format/failure.h"
#include "route/route_messages.h"

void AllocateRoute(RouteTable& table) {
    if (table.Capacity < 0) throw Failure(route_messages::NegativeLength());
    const auto n = static_cast<std::size_t>(table.Capacity);
    // std::vector grows its storage geometrically, so repeated small growth stays linear.
    table.Lat.resize(n);
    table.Lng.resize(n);
    table.Elevation.resize(n);
    table.CumulativeKm.resize(n);
    table.SegmentKm.resize(n);
    table.PointName.resize(n);
}
