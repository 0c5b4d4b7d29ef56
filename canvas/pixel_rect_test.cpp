#include "canvas/pixel_rect.h"

#include <gtest/gtest.h>

#include <climits>

#include "records/basics.h"

namespace {

TEST(SegmentBounds, AreCutToTheCanvasWhateverThePenWidth) {
    // A width from a hand-edited settings file: the whole canvas, no overflow.
    const PixelRect huge = SegmentBounds({100, 100}, {100, 100}, INT_MIN);
    EXPECT_EQ(huge.right - huge.left, CANVAS_SIZE);
    EXPECT_TRUE(IsEmptyRect(SegmentBounds({-500, -500}, {-400, -400}, 4)));
}

} // namespace
