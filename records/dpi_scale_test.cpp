#include "records/dpi_scale.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Halves round away from zero, as Windows scales its own sizes; a width read from a hand-edited
// file may be anything and stays within int; a DPI that could not be read changes nothing.
TEST(DpiScale, RoundsHalvesAwayFromZeroAndStaysWithinInt) {
    const struct {
        int length, fromDpi, toDpi, scaled;
    } cases[] = {{33, 96, 144, 50},
                 {-33, 96, 144, -50},
                 {34, 192, 144, 26},
                 {33, 96, 96, 33},
                 {INT_MAX / 2 + 1, 96, 192, INT_MAX},
                 {INT_MIN, 96, 192, INT_MIN},
                 {40, 0, 192, 40}};
    for (const auto& c : cases) {
        EXPECT_EQ(ScaleLength(c.length, c.fromDpi, c.toDpi), c.scaled)
            << c.length << " from " << c.fromDpi << " to " << c.toDpi;
    }
}

} // namespace
