// The tile row and column reader on arbitrary tile text and pixel positions.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "elevation/tile_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    int16_t row, column;
    std::memcpy(&row, data, 2);
    std::memcpy(&column, data + 2, 2);
    const QByteArray tile(reinterpret_cast<const char*>(data + 4), static_cast<qsizetype>(size - 4));
    const QByteArray line = SelectTileRow(tile, row);
    if (line.contains('\n')) std::abort();
    const QByteArray cell = CellText(line, column);
    if (cell.size() > line.size() || cell.contains(',')) std::abort();
    TileCellValue(cell);
    return 0;
}
