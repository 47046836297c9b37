#include "elevation/tile_reader.h"

#include "fileio/whole_file.h"
#include "format/checked_float.h"
#include "format/failure.h"
#include "format/number_text.h"

QByteArray ReadTileRow(const QString& fileName, int pixelRow) {
    // Bounded by the size check, the tile is read in one piece and its lines cut in memory.
    const std::optional<QByteArray> data = ReadWholeFile(fileName, MaxTileBytes);
    if (!data) return {};
    return SelectTileRow(*data, pixelRow);
}

QByteArray SelectTileRow(const QByteArray& data, int pixelRow) {
    int counter = 0;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        const bool ended = end >= 0;  // by a line break
        if (!ended) end = data.size();
        if (end - start > MaxTileLineBytes + 1) return {};  // +1: a CR before the LF
        ++counter;
        if (counter >= pixelRow) {
            // A line that simply stops may be a transfer cut inside a value ("381" of "38182.25").
            if (!ended && counter != TileLines) return {};
            QByteArray line = data.mid(start, end - start);
            if (line.endsWith('\r')) line.chop(1);
            if (line.size() > MaxTileLineBytes) return {};
            return line;
        }
        start = end + 1;
    }
    return {};
}

QByteArray CellText(const QByteArray& rowLine, int pixelColumn) {
    if (pixelColumn <= 0) {
        const qsizetype comma = rowLine.indexOf(',');
        return comma < 0 ? QByteArray() : rowLine.left(comma);
    }
    int commas = 0;
    for (qsizetype i = 0; i < rowLine.size(); ++i) {
        if (rowLine[i] != ',' || ++commas < pixelColumn) continue;
        const QByteArray rest = rowLine.mid(i + 1);
        const QByteArray window = rest.left(10);
        const qsizetype next = window.indexOf(',');
        if (next >= 1) return window.left(next);
        if (next == 0) return {};  // an empty value
        // The last value of the line is read whole; a longer one inside the line is cut.
        if (!rest.contains(',')) return rest;
        return window.left(6);
    }
    return {};
}

std::optional<std::int64_t> TileCellValue(const QByteArray& cell) {
    if (cell.isEmpty() || cell == "0") return std::nullopt;
    try {
        return RoundToInteger(ToDouble(ParseDecimal(QString::fromLatin1(cell))));
    } catch (const Failure&) {
        return std::nullopt;
    }
}
