#include "route/course_time.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "format/checked_float.h"
#include "format/number_text.h"

namespace {

// The per-leg fit was made on trail logs whose slopes lay within this range; extrapolating
// the quadratics beyond it would overstate steep climbs and misjudge steep descents, so a
// steeper leg is timed as if at the limit.
constexpr long double MaxSlope = 0.4L;

}  // namespace

long double LegMinutes(long double km, long double rise) {
    if (km == 0) return 0;
    const long double s = std::clamp(CheckedDivide(rise, 1000 * km), -MaxSlope, MaxSlope);
    const long double perKm = s >= 0 ? (151 * s + 65) * s + 19 : (137 * s - 16) * s + 19;
    return perKm * km;
}

long double CourseMinutes(const RouteTable& table) {
    long double minutes = 0;
    for (int i = 2; i <= table.PointCount; ++i)
        minutes +=
            LegMinutes(table.SegmentKm[i], static_cast<long double>(table.Elevation[i]) - table.Elevation[i - 1]);
    return minutes;
}

long double CourseConstant(long double minutes, const RouteStats& stats) {
    const long double constant = 1.8L * minutes / 60 + 0.3L * stats.TotalKm + 10.0L * stats.ClimbTotal / 1000 +
                                 0.6L * std::fabs(static_cast<long double>(stats.DescentTotal)) / 1000;
    ToDouble(constant);  // Failure when a statistic was not finite
    return constant;
}

QString CourseTimeText(long double minutes) {
    const std::int64_t m = RoundToInteger(minutes);
    return QStringLiteral("%1:%2").arg(m / 60).arg(m % 60, 2, 10, QLatin1Char('0'));
}

QString CourseConstantText(long double constant) {
    const std::int64_t tenths = RoundToInteger(constant * 10);
    const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    const std::int64_t t = tenths < 0 ? -tenths : tenths;
    return QStringLiteral("%1%2.%3").arg(sign).arg(t / 10).arg(t % 10);
}

CourseReadouts CourseTexts(const RouteTable& table, const RouteStats& stats) {
    if (table.PointCount < 2) return {};
    const long double minutes = CourseMinutes(table);
    return {CourseTimeText(minutes), CourseConstantText(CourseConstant(minutes, stats))};
}
