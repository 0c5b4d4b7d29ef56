#include "records/dpi_scale.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// At 100 % every length stays as it is; a width read from a hand-edited file may be anything and
// stays within int; a DPI that could not be read changes nothing and never divides by zero.
TEST(DpiScale, RoundsHalvesAwayFromZeroAndStaysWithinInt) {
    struct Case {
        int length, fromDpi, toDpi, scaled;
    } cases[] = {{33, 96, 96, 33},
                 {INT_MIN, 96, 96, INT_MIN},
                 {33, 96, 192, 66},
                 {33, 96, 144, 50},
                 {-33, 96, 144, -50},
                 {2, 96, 120, 3},
                 {1, 96, 47, 0},
                 {34, 192, 144, 26},
                 {INT_MAX / 2 + 1, 96, 192, INT_MAX},
                 {INT_MIN, 96, 192, INT_MIN},
                 {40, 0, 192, 40}};
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleLength(c.length, c.fromDpi, c.toDpi), c.scaled)
            << c.length << " from " << c.fromDpi << " to " << c.toDpi;
    }
}

} // namespace
