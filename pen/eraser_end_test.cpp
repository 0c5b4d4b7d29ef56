#include "pen/eraser_end.h"

#include <gtest/gtest.h>

namespace {

constexpr PenColor BLACK = 0x000000;
constexpr PenColor RED = 0x0000C8;
constexpr PenColor BLUE = 0xC80000;

void ExpectPen(const PenState& pen, PenColor color, int width) {
    EXPECT_EQ(pen.color, color);
    EXPECT_EQ(pen.width, width);
}

TEST(EraserEnd, TurnedOverOrEraserButtonIsTheEraserEndTheBarrelButtonIsNot) {
    const struct {
        std::uint32_t flags;
        bool eraserEnd;
    } cases[] = {{0x0, false}, {0x1, false}, {0x2, true}, {0x4, true},
                 {0x3, true},  {0x5, true},  {0x6, true}, {0x8, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsEraserEnd(c.flags), c.eraserEnd) << c.flags;
    }
}

TEST(EraserEnd, AStrokeBorrowsTheEraserAndReturnsThePenExactly) {
    for (int width : {1, 2, 4, 7, 64}) {
        PenState pen = {RED, width, BLUE, 16, BLACK, 4};
        EraserEndStroke stroke = {};
        BeginPenContact(pen, stroke, true);
        ExpectPen(pen, ERASER_COLOR, ERASER_WIDTH);
        LiftPen(pen, stroke, false);
        ExpectPen(pen, RED, width);
        // The pen the menu's eraser returns to and the start-up pen are not touched.
        EXPECT_EQ(pen.savedColor, BLUE);
        EXPECT_EQ(pen.savedWidth, 16);
        EXPECT_EQ(pen.startupColor, BLACK);
        EXPECT_EQ(pen.startupWidth, 4);
        EXPECT_FALSE(stroke.active);
    }
}

TEST(EraserEnd, ThePenTipAndAnEraserAlreadyInUseChangeNothing) {
    PenState pen = {RED, 4, RED, 4, BLACK, 4};
    EraserEndStroke stroke = {};
    BeginPenContact(pen, stroke, false);
    ExpectPen(pen, RED, 4);
    EXPECT_FALSE(stroke.active);

    // The eraser picked from the menu, then narrowed to 8 in the Pen dialog, keeps its width.
    PenState erasing = {ERASER_COLOR, 8, RED, 4, BLACK, 4};
    BeginPenContact(erasing, stroke, true);
    ExpectPen(erasing, ERASER_COLOR, 8);
    LiftPen(erasing, stroke, false);
    ExpectPen(erasing, ERASER_COLOR, 8);
}

TEST(EraserEnd, ALiftDuringTheStrokeWaitsForTheStrokeToEnd) {
    PenState pen = {RED, 4, RED, 4, BLACK, 4};
    EraserEndStroke stroke = {};
    BeginPenContact(pen, stroke, true);
    // The pointer is up before the button-up message that draws the last segment.
    LiftPen(pen, stroke, true);
    ExpectPen(pen, ERASER_COLOR, ERASER_WIDTH);
    EndEraserEndStroke(pen, stroke);
    ExpectPen(pen, RED, 4);
    // A later end does not undo a pen picked after the stroke.
    pen.color = BLUE;
    EndEraserEndStroke(pen, stroke);
    LiftPen(pen, stroke, false);
    ExpectPen(pen, BLUE, 4);
}

TEST(EraserEnd, TheNextContactEndsAStrokeWhoseLiftNeverCame) {
    PenState pen = {RED, 2, RED, 2, BLACK, 4};
    EraserEndStroke stroke = {};
    BeginPenContact(pen, stroke, true);
    BeginPenContact(pen, stroke, false);
    ExpectPen(pen, RED, 2);
    EXPECT_FALSE(stroke.active);
    // Two eraser-end contacts in a row keep the pen from before the first.
    BeginPenContact(pen, stroke, true);
    BeginPenContact(pen, stroke, true);
    ExpectPen(pen, ERASER_COLOR, ERASER_WIDTH);
    EndEraserEndStroke(pen, stroke);
    ExpectPen(pen, RED, 2);
}

} // namespace
