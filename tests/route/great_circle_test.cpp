#include "route/great_circle.h"

#include <gtest/gtest.h>

#include "format/number_text.h"

namespace {

double Distance(double lat1, double lng1, double lat2, double lng2) { return GreatCircleKm(lat1, lng1, lat2, lng2); }

TEST(GreatCircleKm, MeasuresOnTheNauticalMileSphere) {
    const struct {
        double lat1, lng1, lat2, lng2;
        double km, tolerance;
        const char* pattern;
    } cases[] = {
        {35, 139, 35, 139, 0, 0, ".00"},
        {35, 139, 36, 139, 111.12, 1e-9, "111.12"},
        {35, 139, 35, 140, 91.0238, 1e-4, "91.02"},
        {35.68123f, 139.76712f, 35.68949f, 139.69171f, 6.8677, 1e-4, "6.87"},
        {0, 0, 0, 90, 10000.8, 1e-6, "10000.80"},
        // Beyond a quarter of the globe the arctangent gives the supplementary arc.
        {0, 0, 0, 120, 6667.2, 1e-6, "6667.20"},
        // Points a few centimetres apart round G to 1.
        {35, 139, 35.0000001, 139, 0, 0, ".00"},
    };
    for (const auto& c : cases) {
        const double km = Distance(c.lat1, c.lng1, c.lat2, c.lng2);
        EXPECT_NEAR(km, c.km, c.tolerance) << c.lat1 << "," << c.lng1 << " -> " << c.lat2 << "," << c.lng2;
        EXPECT_EQ(PatternFormat(km).toStdString(), c.pattern);
        EXPECT_EQ(Distance(c.lat2, c.lng2, c.lat1, c.lng1), km) << "not symmetric";
    }
}

TEST(GreatCircleKm, AntipodesComeOutAsZero) {
    // G = -1 leaves no sine for the arctangent: the folded arc of half the globe is 0.
    EXPECT_EQ(Distance(0, 0, 0, 180), 0);
    EXPECT_EQ(Distance(10, 20, -10, -160), 0);
}

}  // namespace
