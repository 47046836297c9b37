#pragma once

#include <QString>

// The failure texts of the elevation lookup, each written once (file failures:
// fileio/fileio_messages.h).

namespace elevation_messages {

/// an elevation the mesh file format cannot hold [m]
inline QString NotStorableInMesh(int metres) { return QStringLiteral("標高 %1 m はメッシュに書けません").arg(metres); }

/// the tile row of a latitude at a pole is infinite
inline QString TooNearPole() { return QStringLiteral("極に近すぎるため標高タイルの位置を計算できません"); }

/// a tile or pixel number beyond 32 bits
inline QString TileNumberOutOfRange() { return QStringLiteral("標高タイルの番号が範囲を超えています"); }

/// a grid square code that is not six digits
inline QString BadMeshCode(const QString& code) { return QStringLiteral("メッシュコード '%1' が不正です").arg(code); }

}  // namespace elevation_messages
