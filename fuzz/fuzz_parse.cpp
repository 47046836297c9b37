// Decimal and whole-number parsing of arbitrary texts: no crash, no hang, and what parses is
// finite and survives a round trip through the general format.

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "format/failure.h"
#include "format/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Half the inputs as UTF-8, half as raw UTF-16 units.
    const QString utf8 = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString utf16 = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), static_cast<qsizetype>(size / 2));
    for (const QString& text : {utf8, utf16}) {
        try {
            const long double v = ParseDecimal(text);
            if (!std::isfinite(v)) std::abort();
            const QString written = GeneralFormat(v);
            const long double again = ParseDecimal(written);
            // 15 digits are kept: the round trip is close, never wild.
            if (v != 0 && std::fabs((again - v) / v) > 1e-14L) std::abort();
            PatternFormat(v);
        } catch (const Failure&) {
        }
        try {
            const std::int32_t w = ParseWhole(text);
            (void)w;
        } catch (const Failure&) {
        }
    }
    return 0;
}
