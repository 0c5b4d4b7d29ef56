#include "memo/print_layout.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

void ExpectSquare(const PrintSquare& square, int x, int y, int side) {
    EXPECT_EQ(square.x, x);
    EXPECT_EQ(square.y, y);
    EXPECT_EQ(square.side, side);
}

TEST(PrintSquare, IsTheLargestSquareCentredInTheArea) {
    struct Case {
        int width, height;
        int x, y, side;
    } cases[] = {
        {4760, 6814, 0, 1027, 4760}, // portrait page
        {3000, 2000, 500, 0, 2000},  // landscape page
        {2479, 3508, 0, 514, 2479},  // odd difference: 1029 / 2
        {2005, 2000, 2, 0, 2000},    // W - side = 5
        {2000, 2007, 0, 3, 2000},
        {3000, 3000, 0, 0, 3000},
        {1, 2, 0, 0, 1},
        {0, 500, 0, 250, 0},
        {-5, 100, 0, 50, 0}, // no width at all
        {INT_MAX, INT_MIN, INT_MAX / 2, 0, 0},
        {INT_MAX, 1, INT_MAX / 2, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        ExpectSquare(ComputePrintSquare(c.width, c.height), c.x, c.y, c.side);
    }
}

TEST(FallbackSquare, ConvertsWholeMillimetresWithTheScreenResolution) {
    struct Case {
        int widthMm, heightMm, dpiX, dpiY;
        int x, y, side;
    } cases[] = {
        // 203 x 290 mm: side 203 mm, y 43 mm; 96 * 7.99211 = 767.2, 96 * 1.69291 = 162.5.
        {203, 290, 96, 96, 0, 162, 767},
        // 297 x 210 mm: x 43 mm; the side uses the horizontal resolution, y the vertical one.
        {297, 210, 96, 96, 162, 0, 793},
        {297, 210, 120, 72, 203, 0, 992},
        {209, 297, 96, 144, 0, 249, 789},
        // Odd millimetre difference: (210 - 205) / 2 = 2 mm.
        {210, 205, 100, 100, 7, 0, 807},
        {0, 0, 96, 96, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.widthMm << " x " << c.heightMm << " mm at " << c.dpiX << " x " << c.dpiY);
        ExpectSquare(ComputeFallbackSquare(c.widthMm, c.heightMm, c.dpiX, c.dpiY), c.x, c.y,
                     c.side);
    }
}

} // namespace
