// Gestures on the real main window. Wine delivers no touch gestures, so decoded messages are
// fed through the same step and drawing that HandleGesture uses, and the window is read back.
#include <gtest/gtest.h>

#include <string>

#include "app/app.h"
#include "app/document_state.h"
#include "canvas/canvas.h"
#include "canvas/view.h"
#include "gesture/gesture.h"
#include "pen/pen_state.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "wine_app.h"

namespace {

constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF RED = RGB(200, 0, 0);

void Gesture(std::uint32_t id, std::uint32_t flags, int x, int y, std::uint64_t argument = 0) {
    ApplyGestureMessage({id, flags, {x, y}, argument});
}

std::wstring EraserMenuText() {
    wchar_t text[64] = L"";
    GetMenuStringW(GetMenu(g_app.hwnd), IDM_ERASER, text, 64, MF_BYCOMMAND);
    return text;
}

class GestureWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow(800, 600);
        ResetInkLayer();
        ResetBackgroundLayer();
        g_settings.backgroundEnabled = 0;
        g_pen.color = BLACK;
        g_pen.width = 4;
        g_view = {1.0, 0, 0, NO_POINT};
        g_gesture = {{0, 0}, {0, 0}, 0};
        g_document.modified = 0;
        PaintView(1, 0);
    }
};

TEST_F(GestureWindowTest, PinchZoomKeepsTheAnchoredInkUnderThePinchStart) {
    FillBitmapRect(g_canvas.ink, 300, 200, 306, 206, BLACK);
    EXPECT_EQ(ReadClientPixel(307, 207), WHITE);
    Gesture(GESTURE_ZOOM, GESTURE_FLAG_BEGIN, 303, 203, 100);
    Gesture(GESTURE_ZOOM, 0, 500, 400, 150);
    Gesture(GESTURE_ZOOM, 0, 520, 420, 200);
    Gesture(GESTURE_ZOOM, GESTURE_FLAG_END, 520, 420, 200);
    EXPECT_EQ(g_view.zoom, 2.0);
    EXPECT_EQ(ReadClientPixel(303, 203), BLACK);
    // The six-pixel square is now twelve client pixels wide.
    EXPECT_EQ(ReadClientPixel(307, 207), BLACK);
    EXPECT_EQ(ReadClientPixel(312, 203), WHITE);
    EXPECT_EQ(g_document.modified, 0);
}

TEST_F(GestureWindowTest, PanMovesTheInkWithTheFingers) {
    FillBitmapRect(g_canvas.ink, 600, 600, 610, 610, BLACK);
    g_view.originX = 500;
    g_view.originY = 500;
    PaintView(1, 0);
    EXPECT_EQ(ReadClientPixel(105, 105), BLACK);
    Gesture(GESTURE_PAN, GESTURE_FLAG_BEGIN, 200, 200);
    Gesture(GESTURE_PAN, 0, 230, 215);
    Gesture(GESTURE_PAN, GESTURE_FLAG_INERTIA, 250, 230);
    Gesture(GESTURE_PAN, GESTURE_FLAG_END, 290, 290);
    EXPECT_EQ(ReadClientPixel(155, 135), BLACK);
    EXPECT_EQ(ReadClientPixel(105, 105), WHITE);
    EXPECT_EQ(g_view.originX, 450);
    EXPECT_EQ(g_view.originY, 470);
}

TEST_F(GestureWindowTest, PanRepaintEndsTheStrokeInProgress) {
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(50, 60));
    Gesture(GESTURE_PAN, GESTURE_FLAG_BEGIN, 400, 400);
    Gesture(GESTURE_PAN, 0, 400, 400);
    SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(90, 60));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 70, 60), WHITE);
    EXPECT_EQ(g_document.modified, 0);
}

TEST_F(GestureWindowTest, RotateEndTurnsInkAndBackground) {
    struct Case {
        std::uint64_t endArgument;
        int inkX, inkY;               // client point of the turned ink bar
        int backgroundX, backgroundY; // client point of the turned background bar
    } cases[] = {
        {32768, 400, 189, 510, 299}, // +0.005 degrees: counter-clockwise
        {30000, 400, 410, 290, 299}, // -30 degrees: clockwise
    };
    for (const Case& c : cases) {
        ResetInkLayer();
        ResetBackgroundLayer();
        // The view shows the canvas centre at client (400, 300); the ink bar lies right of the
        // centre, the background bar below it.
        FillBitmapRect(g_canvas.ink, 1124, 1014, 1144, 1034, BLACK);
        FillBitmapRect(g_canvas.background, 1014, 1124, 1034, 1144, RED);
        g_settings.backgroundEnabled = 1;
        g_view = {1.0, 624, 724, NO_POINT};
        PaintView(1, 0);
        ASSERT_EQ(ReadClientPixel(510, 300), BLACK);
        ASSERT_EQ(ReadClientPixel(400, 410), RED);

        Gesture(GESTURE_ROTATE, GESTURE_FLAG_BEGIN, 400, 300, 32768);
        Gesture(GESTURE_ROTATE, GESTURE_FLAG_END, 400, 300, c.endArgument);
        EXPECT_EQ(g_gesture.lastArgument, 0u);
        EXPECT_EQ(g_document.modified, 1);
        PumpMessages(); // the queued paint shows the turned layers
        EXPECT_EQ(ReadClientPixel(c.inkX, c.inkY), BLACK) << c.endArgument;
        EXPECT_EQ(ReadClientPixel(c.backgroundX, c.backgroundY), RED) << c.endArgument;
        EXPECT_EQ(ReadClientPixel(510, 300), c.backgroundX == 510 ? RED : WHITE);
    }
}

TEST_F(GestureWindowTest, RotateUpdateShowsThePreviewWithoutTouchingTheLayers) {
    FillBitmapRect(g_canvas.ink, 1124, 1014, 1144, 1034, BLACK);
    g_view = {1.0, 624, 724, NO_POINT};
    PaintView(1, 0);
    Gesture(GESTURE_ROTATE, GESTURE_FLAG_BEGIN, 400, 300, 32768);
    Gesture(GESTURE_ROTATE, 0, 400, 300, 40960); // about +90 degrees
    EXPECT_EQ(ReadClientPixel(400, 189), BLACK);
    EXPECT_EQ(ReadClientPixel(510, 300), WHITE);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 1134, 1024), BLACK);
    EXPECT_EQ(g_gesture.lastArgument, 40960u);
}

TEST_F(GestureWindowTest, TwoFingerTapReturnsToZoomOne) {
    FillBitmapRect(g_canvas.ink, 300, 200, 306, 206, BLACK);
    g_view.zoom = 2.0;
    g_view.originX = 150;
    g_view.originY = 100;
    PaintView(1, 0);
    EXPECT_EQ(ReadClientPixel(309, 208), BLACK);
    Gesture(GESTURE_TWO_FINGER_TAP, GESTURE_FLAG_BEGIN, 10, 10);
    EXPECT_EQ(g_view.zoom, 1.0);
    EXPECT_EQ(g_view.originX, 150);
    EXPECT_EQ(ReadClientPixel(152, 102), BLACK);
    EXPECT_EQ(ReadClientPixel(309, 208), WHITE);
}

TEST_F(GestureWindowTest, PressAndTapTogglesTheEraserMenuText) {
    ASSERT_EQ(EraserMenuText(), L"消しゴム(&E)");
    Gesture(GESTURE_PRESS_AND_TAP, GESTURE_FLAG_BEGIN, 10, 10);
    EXPECT_EQ(EraserMenuText(), L"元のペン(&E)");
    EXPECT_EQ(g_pen.color, ERASER_COLOR);
    Gesture(GESTURE_PRESS_AND_TAP, 0, 10, 10);
    Gesture(GESTURE_PRESS_AND_TAP, GESTURE_FLAG_END, 10, 10);
    EXPECT_EQ(EraserMenuText(), L"元のペン(&E)");
    Gesture(GESTURE_PRESS_AND_TAP, GESTURE_FLAG_BEGIN, 10, 10);
    EXPECT_EQ(EraserMenuText(), L"消しゴム(&E)");
    EXPECT_EQ(g_pen.color, BLACK);
}

TEST_F(GestureWindowTest, AGestureMessageThatCannotBeReadChangesNothing) {
    // Wine cannot read gesture information: the window handles the message as identifier 0.
    g_view = {1.5, 100, 100, NO_POINT};
    g_gesture = {{1, 2}, {3, 4}, 5};
    EXPECT_EQ(SendToMainWindow(WM_GESTURE, GID_ZOOM, 0x1234), 0);
    EXPECT_EQ(g_view.zoom, 1.5);
    EXPECT_EQ(g_view.originX, 100);
    EXPECT_EQ(g_gesture.lastArgument, 5u);
    EXPECT_EQ(g_gesture.anchor.x, 1);
}

} // namespace
