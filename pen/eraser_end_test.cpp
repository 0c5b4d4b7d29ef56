#include "pen/eraser_end.h"

#include <gtest/gtest.h>

namespace {

constexpr PenColor BLACK = 0x000000;
constexpr PenColor RED = 0x0000C8;
constexpr PenColor BLUE = 0xC80000;

// The pen's moves, in the order the window reports them: e the eraser end touches, t the tip
// touches, u the pointer is up mid-stroke, l the pen lifts, x the stroke ends, b blue is picked.
void Move(PenState& pen, EraserEndStroke& stroke, const char* moves) {
    for (; *moves != 0; ++moves) {
        switch (*moves) {
        case 'e': BeginPenContact(pen, stroke, true); break;
        case 't': BeginPenContact(pen, stroke, false); break;
        case 'u': LiftPen(pen, stroke, true); break;
        case 'l': LiftPen(pen, stroke, false); break;
        case 'x': EndEraserEndStroke(pen, stroke); break;
        case 'b': pen.color = BLUE; break;
        }
    }
}

TEST(EraserEnd, TheEraserEndBorrowsTheEraserForOneStrokeAndReturnsThePenExactly) {
    const struct {
        const char* guards;
        PenColor color;
        int width;
        const char* moves;
        PenColor colorAfter;
        int widthAfter;
        bool activeAfter;
    } rows[] = {
        {"the lift returns width 1", RED, 1, "el", RED, 1, false},
        {"the lift returns width 64", RED, 64, "el", RED, 64, false},
        {"the menu's eraser narrowed to 8 keeps it", ERASER_COLOR, 8, "el", ERASER_COLOR, 8, false},
        // The pointer is up before the button-up message that draws the last segment.
        {"a lift mid-stroke waits", RED, 4, "eu", ERASER_COLOR, ERASER_WIDTH, true},
        {"the stroke's end returns the pen", RED, 4, "eux", RED, 4, false},
        {"a later end keeps a pen picked after", RED, 4, "euxbxl", BLUE, 4, false},
        {"the next contact ends a stroke never lifted", RED, 2, "et", RED, 2, false},
        {"a second eraser-end contact keeps erasing", RED, 2, "ee", ERASER_COLOR, ERASER_WIDTH,
         true},
        {"two eraser-end contacts return the first pen", RED, 2, "eex", RED, 2, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.guards);
        PenState pen = {row.color, row.width, BLUE, 16, BLACK, 4};
        EraserEndStroke stroke = {};
        Move(pen, stroke, row.moves);
        EXPECT_EQ(pen.color, row.colorAfter);
        EXPECT_EQ(pen.width, row.widthAfter);
        EXPECT_EQ(stroke.active, row.activeAfter);
        // The pen the menu's eraser returns to and the start-up pen are not touched.
        EXPECT_EQ(pen.savedColor, BLUE);
        EXPECT_EQ(pen.savedWidth, 16);
        EXPECT_EQ(pen.startupColor, BLACK);
        EXPECT_EQ(pen.startupWidth, 4);
    }
}

} // namespace
