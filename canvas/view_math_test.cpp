#include "canvas/view_math.h"
#include "canvas/stroke_path.h"
#include "canvas/view_step.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

ViewState View(double zoom, int originX, int originY) {
    return {zoom, originX, originY, NO_POINT};
}

TEST(ViewMapping, MapsClientToCanvasWithTruncation) {
    struct Case {
        double zoom;
        int originX, originY, clientX, clientY, canvasX, canvasY;
    } cases[] = {
        {1.0, 0, 0, 10, 10, 10, 10},
        {1.0, 0, 0, 20, 15, 20, 15},
        {2.0, 100, 40, 101, 51, 150, 65},
        {0.5, 0, 0, 100, 7, 200, 14},
        {0.5, -684, 0, 100, 0, -484, 0},
        {1.5, 3, 3, 2, 2, 4, 4},
        // A negative sum truncates toward zero, not down: -684 + 0.5 gives -683.
        {2.0, -684, 0, 1, 0, -683, 0},
    };
    for (const Case& c : cases) {
        const ViewPoint p =
            ClientToCanvas(View(c.zoom, c.originX, c.originY), {c.clientX, c.clientY});
        EXPECT_EQ(p.x, c.canvasX) << "zoom " << c.zoom << " client x " << c.clientX;
        EXPECT_EQ(p.y, c.canvasY) << "zoom " << c.zoom << " client y " << c.clientY;
    }
}

TEST(ViewMapping, UnpacksPointerPositionsAsUnsignedWords) {
    const ViewPoint p = UnpackPoint(0xFFFB0010u);
    EXPECT_EQ(p.x, 16);
    EXPECT_EQ(p.y, 65531);
    EXPECT_FALSE(IsNoPoint(p));
}

TEST(ViewMapping, TruncatesOutOfRangeAndNaNSafely) {
    EXPECT_EQ(TruncToInt(3.7), 3);
    EXPECT_EQ(TruncToInt(-1.5), -1);
    EXPECT_EQ(TruncToInt(1e300), INT_MAX);
    EXPECT_EQ(TruncToInt(-1e300), INT_MIN);
    EXPECT_EQ(TruncToInt(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(TruncToInt(std::numeric_limits<double>::infinity()), INT_MAX);
}

TEST(ViewClamp, KeepsTheOriginInsideTheCanvas) {
    struct Case {
        double zoom;
        int width, height, originX, originY, clampedX, clampedY;
    } cases[] = {
        {1.0, 800, 600, 5000, -20, 1248, 0},
        {1.0, 800, 600, 100, 100, 100, 100},
        {2.0, 800, 600, 2000, 2000, 1648, 1748},
        // The upper bound wins: a view wider than the canvas ends with a negative origin.
        {0.5, 1366, 700, 0, 0, -684, 0},
        {0.5, 1366, 700, -50, 3000, -684, 648},
        {1.0, 0, 0, 3000, 3000, 2048, 2048},
    };
    for (const Case& c : cases) {
        ViewState view = View(c.zoom, c.originX, c.originY);
        ClampOrigin(view, c.width, c.height);
        EXPECT_EQ(view.originX, c.clampedX) << c.width << "x" << c.height << " zoom " << c.zoom;
        EXPECT_EQ(view.originY, c.clampedY) << c.width << "x" << c.height << " zoom " << c.zoom;
    }
}

TEST(ViewBlitRects, CoverTheClientWhenTheViewLiesInsideTheCanvas) {
    const ViewBlit blit = ComputeViewBlit(View(2.0, 100, 40), 1000, 600);
    EXPECT_EQ(blit.dstX, 0);
    EXPECT_EQ(blit.dstW, 1000);
    EXPECT_EQ(blit.dstH, 600);
    EXPECT_EQ(blit.srcX, 100);
    EXPECT_EQ(blit.srcY, 40);
    EXPECT_EQ(blit.srcW, 500);
    EXPECT_EQ(blit.srcH, 300);
}

TEST(ViewBlitRects, NeverReadOutsideTheCanvas) {
    // Zoom 0.5 in a 1366-wide client: the canvas's right edge sits at the client's right edge.
    ViewState view = View(0.5, 0, 0);
    ClampOrigin(view, 1366, 800);
    const ViewBlit blit = ComputeViewBlit(view, 1366, 800);
    EXPECT_EQ(blit.srcX, 0);
    EXPECT_EQ(blit.srcW, CANVAS_SIZE);
    EXPECT_EQ(blit.dstX, 342);
    EXPECT_EQ(blit.dstX + blit.dstW, 1366);
    EXPECT_EQ(blit.srcY, 0);
    EXPECT_EQ(blit.srcH, 1600);
    EXPECT_EQ(blit.dstH, 800);

    // A view wider than the canvas at zoom 1 with the origin at 0: canvas on the left only.
    const ViewBlit wide = ComputeViewBlit(View(1.0, 0, 0), 2500, 500);
    EXPECT_EQ(wide.dstX, 0);
    EXPECT_EQ(wide.dstW, CANVAS_SIZE);
    EXPECT_EQ(wide.srcW, CANVAS_SIZE);
}

TEST(ViewBlitRects, AreEmptyForAZeroSizedClient) {
    ViewState view = View(1.0, 0, 0);
    ClampOrigin(view, 0, 0);
    const ViewBlit blit = ComputeViewBlit(view, 0, 0);
    EXPECT_EQ(blit.dstW, 0);
    EXPECT_EQ(blit.srcW, 0);
    EXPECT_EQ(blit.srcH, 0);
}

TEST(ViewChangedRects, AreCutToTheCanvasWhateverThePenWidth) {
    // A width from a hand-edited settings file: the whole canvas, no overflow.
    const PixelRect huge = SegmentBounds({100, 100}, {100, 100}, INT_MIN);
    EXPECT_EQ(huge.right - huge.left, CANVAS_SIZE);
    EXPECT_TRUE(IsEmptyRect(SegmentBounds({-500, -500}, {-400, -400}, 4)));
}

// One input, `times` times over, in a 1366 x 700 client: the view it leaves.
TEST(ViewStep, MovesTheViewAsTheWheelTheKeysAndTheDragAsk) {
    enum Kind { WHEEL, PAGE_WHEEL, TILT, KEY, DRAG };
    const struct Row {
        Kind kind;
        int code, keys, x, y, times; // delta or key; 1 Ctrl, 2 Shift; the pointer, or a drag
        double zoom;
        int originX, originY;
        double zoomAfter;
        int originXAfter, originYAfter;
    } rows[] = {
        // Fractions of a canvas pixel add up: ten turns of 12 end where one of 120 does.
        {WHEEL, -120, 0, 0, 0, 1, 0.73, 0, 0, 0.73, 0, 164},
        {WHEEL, -12, 0, 0, 0, 10, 0.73, 0, 0, 0.73, 0, 164},
        {PAGE_WHEEL, -120, 0, 0, 0, 1, 1.0, 0, 0, 1.0, 0, 660},
        {TILT, 120, 0, 0, 0, 1, 2.0, 100, 100, 2.0, 160, 100},
        {WHEEL, 120, 2, 0, 0, 1, 1.0, 500, 9, 1.0, 380, 9},
        {WHEEL, 120, 2, 0, 0, 1, 1.0, 100, 9, 1.0, 0, 9},
        {WHEEL, 120, 0, 0, 0, 1, 1.0, 9, 100, 1.0, 9, 0},
        // Canvas (500, 400) stays under the pointer at client (400, 300).
        {WHEEL, 12, 1, 400, 300, 10, 1.0, 100, 100, std::exp2(0.25), 163, 147},
        {WHEEL, 1200, 1, 1366, 700, 1, 1.0, 0, 0, 2.0, 683, 350},
        // The client shows more than the canvas's width: the origin is negative.
        {WHEEL, -1200, 1, 0, 0, 1, 1.0, 0, 0, 0.5, -684, 0},
        {KEY, KEY_CODE_PAGE_DOWN, 0, 0, 0, 1, 2.0, 0, 0, 2.0, 0, 330},
        {KEY, KEY_CODE_PAGE_DOWN, 2, 0, 0, 1, 2.0, 0, 0, 2.0, 663, 0},
        {KEY, KEY_CODE_RIGHT, 0, 0, 0, 2, 1.0, 620, 9, 1.0, 682, 9},
        {KEY, KEY_CODE_END, 1, 0, 0, 1, 1.0, 0, 0, 1.0, 682, 1348},
        {KEY, KEY_CODE_SUBTRACT, 1, 0, 0, 1, 2.0, 500, 500, std::exp2(0.75), 435, 466},
        {KEY, KEY_CODE_OEM_PLUS, 3, 0, 0, 4, 1.0, 500, 500, 2.0, 841, 675},
        {KEY, KEY_CODE_0, 1, 0, 0, 1, 2.0, 500, 500, 1.0, 158, 325},
        {KEY, KEY_CODE_0, 0, 0, 0, 1, 2.0, 500, 500, 2.0, 500, 500},
        // Half-pixel moves at zoom 2 add up: the canvas keeps to the pointer.
        {DRAG, 0, 0, 1, -1, 4, 2.0, 500, 500, 2.0, 498, 502},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "kind " << row.kind << " code " << row.code);
        ScrollCarry carry = {};
        ViewState view = View(row.zoom, row.originX, row.originY);
        const bool control = (row.keys & 1) != 0;
        const bool shift = (row.keys & 2) != 0;
        for (int i = 0; i < row.times; ++i) {
            if (row.kind == KEY) {
                StepViewKey(carry, view, {1366, 700}, {unsigned(row.code), control, shift});
            } else if (row.kind == DRAG) {
                StepDrag(carry, view, {1366, 700}, {0, 0}, {row.x, row.y});
            } else {
                const WheelTurn turn = {row.code, row.kind == TILT, control, shift, {row.x, row.y}};
                StepWheel(carry, view, {1366, 700}, turn,
                          {row.kind == PAGE_WHEEL ? WHEEL_SCROLLS_PAGES : 3, 3});
            }
        }
        EXPECT_EQ(view.zoom, row.zoomAfter); // notches adding up to a power of two give it exactly
        EXPECT_EQ(view.originX, row.originXAfter);
        EXPECT_EQ(view.originY, row.originYAfter);
    }
}

TEST(MoveHistory, UnwrapsTheSixteenBitCoordinatesOfAMonitorLeftOrAbove) {
    EXPECT_EQ(UnwrapHistoryCoordinate(32767), 32767);
    EXPECT_EQ(UnwrapHistoryCoordinate(65535), -1);
    EXPECT_EQ(UnwrapHistoryCoordinate(65536 - 1920), -1920);
}

} // namespace
