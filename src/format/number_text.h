#pragma once

#include <QString>
#include <cstdint>

// Number texts shared by every readout, list row, file and script the program writes.
// The decimal separator is always a full stop, whatever the C locale of the process.

/// general format: 15 significant digits, fixed notation for 0.0001 <= |v| < 1e15, else "dE-x"
QString GeneralFormat(long double value);

/// the pattern "###.#0": two decimals, no integer digit when the integer part is 0
QString PatternFormat(long double value);

/// nearest integer, ties to even; Failure when not finite or outside the 64-bit range
std::int64_t RoundToInteger(long double value);

/// RoundToInteger written in decimal
QString RoundText(long double value);

/// toward zero; Failure when not finite or outside the 64-bit range
std::int64_t Truncate(long double value);

/// a decimal text ("[+-]digits[.digits][(E|e)[+-]digits]", blanks around) as extended value
long double ParseDecimal(const QString& text);

/// a whole-number text (decimal, or hexadecimal after "$", "x", "X", "0x", "0X") in 32 bits
std::int32_t ParseWhole(const QString& text);
