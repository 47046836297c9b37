#pragma once

#include <QString>

// The failure texts of number handling, each written once.

namespace format_messages {

/// a NaN or an operation without a value (0 / 0, the root of a negative number)
inline QString InvalidOperation() { return QStringLiteral("浮動小数点演算が無効です"); }

/// an infinity, or a value too large for where it is stored
inline QString Overflow() { return QStringLiteral("浮動小数点演算でオーバーフローしました"); }

/// a non-zero value divided by zero
inline QString DivisionByZero() { return QStringLiteral("0 で除算しました"); }

/// a value outside the 64-bit integers
inline QString IntegerOutOfRange() { return QStringLiteral("整数の範囲を超えています"); }

/// a text that is not a number of the expected kind
inline QString NotANumber(const QString& text) { return QStringLiteral("'%1' は有効な数値ではありません").arg(text); }

}  // namespace format_messages
