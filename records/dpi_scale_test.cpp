#include "records/dpi_scale.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(DpiScale, UnitsStayPixelsAt96AndRoundHalvesAwayFromZero) {
    for (int units : {0, 33, -80, INT_MAX, INT_MIN}) {
        EXPECT_EQ(UnitsToPixels(units, 96), units) << units;
    }
    struct Case {
        int units, dpi, pixels;
    } cases[] = {{33, 192, 66}, {33, 144, 50}, {-33, 144, -50},
                 {1, 120, 1},   {2, 120, 3},   {1, 47, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(UnitsToPixels(c.units, c.dpi), c.pixels) << c.units << " at " << c.dpi;
    }
}

TEST(DpiScale, ScalesBetweenAnyTwoDpisWithinInt) {
    EXPECT_EQ(ScaleLength(34, 192, 144), 26); // 25.5
    // A width read from a hand-edited file may be anything: it stays within int.
    EXPECT_EQ(UnitsToPixels(INT_MAX / 2 + 1, 192), INT_MAX);
    EXPECT_EQ(UnitsToPixels(INT_MIN, 192), INT_MIN);
    // A DPI that could not be read changes nothing, and never divides by zero.
    EXPECT_EQ(ScaleLength(40, 0, 192), 40);
}

} // namespace
