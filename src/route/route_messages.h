#pragma once

#include <QString>

// The failure texts of the route table, each written once.

namespace route_messages {

/// a route table asked for a negative number of rows
inline QString NegativeLength() { return QStringLiteral("配列の長さが負です"); }

}  // namespace route_messages
