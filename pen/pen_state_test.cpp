#include "pen/pen_state.h"

#include <gtest/gtest.h>

namespace {

constexpr PenColor BLACK = 0x000000;
constexpr PenColor RED = 0x0000C8;

TEST(PenState, StartsAsABlackPenFourPixelsWideBeforeAnyCodeRuns) {
    EXPECT_EQ(g_pen.color, BLACK);
    EXPECT_EQ(g_pen.width, 4);
    EXPECT_EQ(g_pen.savedColor, BLACK);
    EXPECT_EQ(g_pen.savedWidth, 4);
    EXPECT_EQ(g_pen.startupColor, BLACK);
    EXPECT_EQ(g_pen.startupWidth, 4);
    EXPECT_FALSE(IsEraser(g_pen));
}

TEST(SwitchEraser, OnAndOffReturnsExactlyThePenBefore) {
    for (int width : {1, 2, 4, 7, 64}) {
        PenState pen = {RED, width, BLACK, 2, BLACK, 4};
        SwitchEraser(pen);
        EXPECT_TRUE(IsEraser(pen));
        EXPECT_EQ(pen.width, ERASER_WIDTH);
        SwitchEraser(pen);
        EXPECT_EQ(pen.color, RED);
        EXPECT_EQ(pen.width, width);
    }
}

TEST(SwitchEraser, TheEraserIsThirtyTwoWideAgainAfterItsWidthWasChanged) {
    PenState pen = {RED, 4, RED, 4, BLACK, 4};
    SwitchEraser(pen);
    pen.width = 8; // a width pick while erasing
    SwitchEraser(pen);
    EXPECT_EQ(pen.color, RED);
    EXPECT_EQ(pen.width, 4);
    SwitchEraser(pen);
    EXPECT_EQ(pen.width, ERASER_WIDTH);
}

TEST(SwitchEraser, AWhitePickIsTheEraserAndSwitchingOffRestoresTheRememberedPen) {
    PenState pen = {BLACK, 4, BLACK, 4, BLACK, 4};
    pen.color = ERASER_COLOR; // white picked from the palette: width unchanged
    RememberPen(pen);
    EXPECT_TRUE(IsEraser(pen));
    EXPECT_EQ(pen.width, 4);
    EXPECT_EQ(pen.savedColor, BLACK);
    SwitchEraser(pen);
    EXPECT_EQ(pen.color, BLACK);
    EXPECT_EQ(pen.width, 4);
}

TEST(SwitchEraser, AWhiteStartUpPenStaysWhite) {
    PenState pen = {ERASER_COLOR, 8, ERASER_COLOR, 8, ERASER_COLOR, 8};
    for (int i = 0; i < 3; ++i) {
        SwitchEraser(pen);
        RememberPen(pen);
        EXPECT_EQ(pen.color, ERASER_COLOR);
        EXPECT_EQ(pen.width, 8);
    }
}

TEST(RememberPen, RecordsAnyPenButWhite) {
    PenState pen = {RED, 16, BLACK, 2, BLACK, 4};
    RememberPen(pen);
    EXPECT_EQ(pen.savedColor, RED);
    EXPECT_EQ(pen.savedWidth, 16);
    pen.color = ERASER_COLOR;
    pen.width = 32;
    RememberPen(pen);
    EXPECT_EQ(pen.savedColor, RED);
    EXPECT_EQ(pen.savedWidth, 16);
    // Near white is a colour, not the eraser.
    pen.color = 0xFFFFFE;
    RememberPen(pen);
    EXPECT_FALSE(IsEraser(pen));
    EXPECT_EQ(pen.savedColor, 0xFFFFFEu);
}

} // namespace
