#pragma once

#include <QString>
#include <cstdint>
#include <functional>

/// stored 16-bit value for an elevation [m] (the dropped last digit 0)
std::int16_t EncodeMeshElevation(std::int32_t metres);

/// writes a complete mesh file: 200 rows of 202 little-endian 16-bit values, north row
/// first; value(row, col) for rows and columns 1..200, the two spare values of a row 0.
/// Failure when the file cannot be written.
void WriteMeshFile(const QString& path, const std::function<std::int16_t(int row, int col)>& value);
