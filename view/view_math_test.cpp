#include "view/frame_pixels.h"
#include "view/view_math.h"
#include "view/view_step.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <optional>

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
        const PixelPoint p =
            ClientToCanvas(View(c.zoom, c.originX, c.originY), {c.clientX, c.clientY});
        EXPECT_EQ(p.x, c.canvasX) << "zoom " << c.zoom << " client x " << c.clientX;
        EXPECT_EQ(p.y, c.canvasY) << "zoom " << c.zoom << " client y " << c.clientY;
    }
}

TEST(ViewMapping, UnpacksPointerPositionsAsUnsignedWords) {
    const PixelPoint p = UnpackPoint(0xFFFB0010u);
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
        ClampView(view, {c.width, c.height});
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
    ClampView(view, {1366, 800});
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
    ClampView(view, {0, 0});
    const ViewBlit blit = ComputeViewBlit(view, 0, 0);
    EXPECT_EQ(blit.dstW, 0);
    EXPECT_EQ(blit.srcW, 0);
    EXPECT_EQ(blit.srcH, 0);
}

// One command, `times` times over, in a 1366 x 700 client: the view it leaves.
TEST(ViewStep, MovesTheViewAsItsCommandsAsk) {
    enum Kind { LINES, PAGES, TO, SHIFT, ZOOM };
    const struct Row {
        Kind kind;
        Axis axis;
        double amount;   // lines, pages, a position, a shift across, or a zoom factor
        int x, y, times; // the point zoomed about, or the shift down
        double zoom;
        int originX, originY;
        double zoomAfter;
        int originXAfter, originYAfter;
    } rows[] = {
        // Fractions of a canvas pixel add up: ten tenths of three lines end where three do.
        {LINES, Axis::Y, 3, 0, 0, 1, 0.73, 0, 0, 0.73, 0, 164},
        {LINES, Axis::Y, 0.3, 0, 0, 10, 0.73, 0, 0, 0.73, 0, 164},
        {PAGES, Axis::Y, 1, 0, 0, 1, 1.0, 0, 0, 1.0, 0, 660},
        {LINES, Axis::X, 3, 0, 0, 1, 2.0, 100, 100, 2.0, 160, 100},
        {LINES, Axis::X, -3, 0, 0, 1, 1.0, 500, 9, 1.0, 380, 9},
        {LINES, Axis::X, -3, 0, 0, 1, 1.0, 100, 9, 1.0, 0, 9},
        {LINES, Axis::Y, -3, 0, 0, 1, 1.0, 9, 100, 1.0, 9, 0},
        {PAGES, Axis::Y, 1, 0, 0, 1, 2.0, 0, 0, 2.0, 0, 330},
        {PAGES, Axis::X, 1, 0, 0, 1, 2.0, 0, 0, 2.0, 663, 0},
        {LINES, Axis::X, 1, 0, 0, 2, 1.0, 620, 9, 1.0, 682, 9},
        // A scroll bar's thumb, top and bottom put the origin at a position.
        {TO, Axis::X, 2048, 0, 0, 1, 1.0, 0, 0, 1.0, 682, 0},
        {TO, Axis::Y, 777, 0, 0, 1, 2.0, 5, 0, 2.0, 5, 777},
        {TO, Axis::Y, -30, 0, 0, 1, 2.0, 5, 300, 2.0, 5, 0},
        // Canvas pixel (500, 400) stays under client (400, 300).
        {ZOOM, Axis::X, std::exp2(0.025), 400, 300, 10, 1.0, 100, 100, std::exp2(0.25), 164, 148},
        {ZOOM, Axis::X, std::exp2(2.5), 1366, 700, 1, 1.0, 0, 0, 2.0, 683, 350},
        // The client shows more than the canvas's width: the origin is negative.
        {ZOOM, Axis::X, std::exp2(-2.5), 0, 0, 1, 1.0, 0, 0, 0.5, -684, 0},
        {ZOOM, Axis::X, std::exp2(-0.25), 683, 350, 1, 2.0, 500, 500, std::exp2(0.75), 435, 467},
        {ZOOM, Axis::X, std::exp2(0.25), 683, 350, 4, 1.0, 500, 500, 2.0, 842, 675},
        {ZOOM, Axis::X, 0.5, 683, 350, 1, 2.0, 500, 500, 1.0, 158, 325},
        // Half-pixel moves at zoom 2 add up: the canvas keeps to the pointer and the fingers.
        {SHIFT, Axis::X, 1, 0, -1, 4, 2.0, 500, 500, 2.0, 498, 502},
        {SHIFT, Axis::X, 1, 0, 0, 3, 2.0, 500, 500, 2.0, 498, 500},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "kind " << row.kind << " amount " << row.amount);
        ViewState view = View(row.zoom, row.originX, row.originY);
        for (int i = 0; i < row.times; ++i) {
            switch (row.kind) {
            case LINES: ScrollByLines(view, {1366, 700}, row.axis, row.amount); break;
            case PAGES: ScrollByPages(view, {1366, 700}, row.axis, row.amount); break;
            case TO: ScrollToPosition(view, {1366, 700}, row.axis, row.amount); break;
            case SHIFT: ShiftByClientPixels(view, {1366, 700}, row.amount, row.y); break;
            case ZOOM: ZoomBy(view, {1366, 700}, row.amount, {row.x, row.y}); break;
            }
        }
        EXPECT_EQ(view.zoom, row.zoomAfter); // factors adding up to a power of two give it exactly
        EXPECT_EQ(view.originX, row.originXAfter);
        EXPECT_EQ(view.originY, row.originYAfter);
    }
}

// At zoom 2 a client pixel is half a canvas pixel. A pan past the canvas's edges stops there and
// keeps nothing of the overshoot: the next moves back count from the edge.
TEST(ViewStep, APanCarriesItsFractionButNotPastTheCanvasEdge) {
    ViewState view = View(2.0, 0, 1698); // the top-left and the bottom edge of the canvas
    const int expected[][2] = {{0, 1698}, {0, 1697}, {1, 1697}};
    const double shifts[] = {3, -1, -1};
    for (int i = 0; i < 3; ++i) {
        ShiftByClientPixels(view, {1366, 700}, shifts[i], -shifts[i]);
        EXPECT_EQ(view.originX, expected[i][0]) << "move " << i;
        EXPECT_EQ(view.originY, expected[i][1]) << "move " << i;
    }
}

TEST(ViewShift, MovesThePixelsOnScreenOnlyWhereTheStretchRepeats) {
    const struct Row {
        double zoom;
        int width, moveX; // the origin moves right by moveX canvas pixels
        bool moves;
        int shiftX;
    } rows[] = {
        {1.0, 800, 4, true, -4},  {2.0, 800, 3, true, -6}, {0.5, 800, 10, true, -5},
        {1.25, 800, 4, false, 0}, {2.0, 801, 3, false, 0}, {1.0, 800, 800, false, 0},
    };
    for (const Row& row : rows) {
        const std::optional<PixelPoint> shift = ShiftOnClient(
            View(row.zoom, 100, 0), View(row.zoom, 100 + row.moveX, 0), {row.width, 600});
        EXPECT_EQ(shift.has_value(), row.moves) << row.zoom << " " << row.width;
        if (shift) {
            EXPECT_EQ(shift->x, row.shiftX) << row.zoom;
            EXPECT_EQ(shift->y, 0);
        }
    }
}

// The runs read off the platform's stretches: a merged pixel's cleared markers around the kept
// pixel, and whatever the stretches hold, never a pixel outside the axis.
TEST(StretchRuns, AreTheMarkedRunAroundTheKeptPixelInsideTheAxis) {
    const auto marks = [](std::initializer_list<int> run) {
        std::uint32_t merged = WHITE_PIXEL;
        for (int j : run) {
            merged &= RunMarker(j);
        }
        return merged;
    };
    const StretchRuns runs = RunsFromStretches(
        {101, 102, 130, -5, 5000}, {marks({100, 101}), marks({102}), marks({129, 130, 131}), 0, 0},
        100, 32);
    EXPECT_EQ(runs.first, (std::vector<int>{100, 102, 129, 100, 108}));
    EXPECT_EQ(runs.last, (std::vector<int>{101, 102, 131, 123, 131}));
    EXPECT_EQ(runs.kept, (std::vector<int>{101, 102, 130, 100, 131}));
}

} // namespace
