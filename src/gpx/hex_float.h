#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <string>

// Hexadecimal floating texts ("-0x1.8p+3") that keep every bit of a double, written and read
// without the C library, so the locale's decimal separator never enters.

/// value as a hexadecimal floating text, e.g. "0x1.91eb851eb851fp+1"; Failure when not finite
QString HexFloatText(double value);

/// appends HexFloatText(value) to out, without building a QString
void AppendHexFloat(std::string& out, double value);

/// the double a hexadecimal floating text names exactly; nullopt when the text is malformed
/// or its value is not exactly a finite double
std::optional<double> ParseHexFloat(QStringView text);
