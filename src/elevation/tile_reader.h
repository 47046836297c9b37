#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

/// Limits beyond which a tile counts as unusable rather than being read into memory.
inline constexpr qint64 MaxTileBytes = 16 * 1024 * 1024;
inline constexpr qint64 MaxTileLineBytes = 1024 * 1024;
/// lines of a complete tile; the last one may come without its line break
inline constexpr int TileLines = 256;

/// the text of line max(pixelRow, 1) of the tile file, counted from 1, without its line end;
/// empty when the file has fewer lines, when that line stops without a line break before the
/// tile's last line (a cut transfer), or when the file is over the size limits. Failure when
/// the file cannot be opened or read.
QByteArray ReadTileRow(const QString& fileName, int pixelRow);

/// line max(pixelRow, 1) of a tile's text, as ReadTileRow picks it
QByteArray SelectTileRow(const QByteArray& data, int pixelRow);

/// the value text with index pixelColumn (from 0) of a row line; empty when there is none
QByteArray CellText(const QByteArray& rowLine, int pixelColumn);

/// a cell's elevation in whole metres (rounded, ties to even), or nothing when the cell is
/// empty, exactly "0", or not a usable number (the service's "e", an error page, an overflow)
std::optional<std::int64_t> TileCellValue(const QByteArray& cell);
