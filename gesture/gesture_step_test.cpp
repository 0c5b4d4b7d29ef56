#include "gesture/gesture_step.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

constexpr GesturePhase BEGIN = GesturePhase::Begin;
constexpr GesturePhase UPDATE = GesturePhase::Update;
constexpr GesturePhase END = GesturePhase::End;
constexpr GestureKind ZOOM = GestureKind::Zoom;
constexpr GestureKind PAN = GestureKind::Pan;
constexpr GestureKind ROTATE = GestureKind::Rotate;
// A client large enough that no pan of these tests reaches the canvas's edges.
constexpr ClientExtent CLIENT = {800, 600};

class GestureStepTest : public testing::Test {
  protected:
    GestureState gesture = {{0, 0}, {0, 0}, 0};
    ViewState view = {1.0, 0, 0, NO_POINT};

    GestureActions Step(GestureKind kind, GesturePhase phase, int x, int y,
                        std::uint64_t argument = 0) {
        return StepGesture(gesture, view, CLIENT, {kind, phase, {x, y}, argument});
    }
};

// Zoom

TEST_F(GestureStepTest, ZoomUpdate_KeepsPinchStartUnderFingers) {
    Step(ZOOM, BEGIN, 100, 50, 400);
    EXPECT_EQ(gesture.anchor.x, 100);
    EXPECT_EQ(gesture.anchor.y, 50);
    // The update's own position is not read.
    const GestureActions actions = Step(ZOOM, UPDATE, 300, 170, 800);
    EXPECT_EQ(view.zoom, 2.0);
    EXPECT_EQ(view.originX, 50);
    EXPECT_EQ(view.originY, 25);
    EXPECT_TRUE(actions.showView);
    EXPECT_EQ(gesture.lastArgument, 800u);
    // Canvas (100, 50) is still drawn at client (100, 50).
    const PixelPoint canvas = ClientToCanvas(view, {100, 50});
    EXPECT_EQ(canvas.x, 100);
    EXPECT_EQ(canvas.y, 50);
}

TEST_F(GestureStepTest, ZoomBegin_AnchorsTheCanvasPointUnderTheContact) {
    view = {2.0, 100, 40, NO_POINT};
    const GestureActions actions = Step(ZOOM, BEGIN, 101, 51, 77);
    EXPECT_EQ(gesture.anchor.x, 150); // 100 + trunc(50.5)
    EXPECT_EQ(gesture.anchor.y, 65);  // 40 + trunc(25.5)
    EXPECT_EQ(gesture.contact.x, 101);
    EXPECT_EQ(gesture.lastArgument, 77u);
    EXPECT_FALSE(actions.showView);
}

TEST_F(GestureStepTest, ZoomRatiosMultiplyAndTheClampLosesTheExcess) {
    struct Case {
        double startZoom;
        std::uint64_t arguments[3]; // begin, then updates; 0 ends the list
        double zoomAfter[2];
    } cases[] = {
        {1.0, {100, 300, 150}, {2.0, 1.0}},
        {1.0, {400, 100, 0}, {0.5, 0}},
        {1.0, {100, 10, 40}, {0.5, 2.0}},
        {1.5, {1000, 1100, 1000}, {1.65, 1.5}},
        // An argument of 0 in an update is a zero ratio, clamped.
        {1.0, {100, 0, 0}, {0.5, 0}},
    };
    for (const Case& c : cases) {
        gesture = {{0, 0}, {0, 0}, 0};
        view = {c.startZoom, 0, 0, NO_POINT};
        Step(ZOOM, BEGIN, 10, 10, c.arguments[0]);
        for (int i = 1; i < 3 && (i == 1 || c.arguments[i] != 0); ++i) {
            Step(ZOOM, UPDATE, 10, 10, c.arguments[i]);
            EXPECT_DOUBLE_EQ(view.zoom, c.zoomAfter[i - 1]) << "update " << i;
        }
    }
}

TEST_F(GestureStepTest, ZoomUpdateWithoutPreviousArgument_RestartsThePinchInsteadOfJumping) {
    struct Case {
        const char* before;
        GestureKind endedKind;
        std::uint64_t argument;
    } cases[] = {
        {"zoom end", ZOOM, 500},
        {"pan end", PAN, 500},
        {"rotate end", ROTATE, 500},
        {"zoom end, argument 0", ZOOM, 0},
    };
    for (const Case& c : cases) {
        gesture = {{0, 0}, {0, 0}, 0};
        view = {1.25, 300, 200, NO_POINT};
        Step(c.endedKind, END, 40, 40, 32768);
        view.originX = 300;
        view.originY = 200;
        ASSERT_EQ(gesture.lastArgument, 0u) << c.before;

        const GestureActions actions = Step(ZOOM, UPDATE, 250, 125, c.argument);
        EXPECT_EQ(view.zoom, 1.25) << c.before;
        EXPECT_EQ(view.originX, 300) << c.before;
        EXPECT_EQ(view.originY, 200) << c.before;
        EXPECT_FALSE(actions.showView) << c.before;
        EXPECT_EQ(gesture.lastArgument, c.argument) << c.before;
        EXPECT_EQ(gesture.anchor.x, 500) << c.before; // 300 + 250 / 1.25
        EXPECT_EQ(gesture.anchor.y, 300) << c.before;

        // The next update scales from there, anchored where the pinch resumed.
        Step(ZOOM, UPDATE, 0, 0, c.argument == 0 ? 0 : c.argument * 8 / 5);
        if (c.argument != 0) {
            EXPECT_DOUBLE_EQ(view.zoom, 2.0) << c.before;
            EXPECT_EQ(ClientToCanvas(view, {250, 125}).x, 500) << c.before;
            EXPECT_EQ(ClientToCanvas(view, {250, 125}).y, 300) << c.before;
        } else {
            EXPECT_EQ(view.zoom, 1.25) << c.before;
        }
    }
}

TEST_F(GestureStepTest, ZoomEnd_ForgetsArgumentAndAnchorWithoutRepaint) {
    Step(ZOOM, BEGIN, 100, 50, 100);
    Step(ZOOM, UPDATE, 100, 50, 150);
    const GestureActions actions = Step(ZOOM, END, 9, 9, 150);
    EXPECT_FALSE(actions.showView);
    EXPECT_EQ(gesture.lastArgument, 0u);
    EXPECT_TRUE(IsNoPoint(gesture.anchor));
    EXPECT_EQ(gesture.contact.x, 100);
    EXPECT_DOUBLE_EQ(view.zoom, 1.5);
}

// Pan

TEST_F(GestureStepTest, PanCarriesTheFractionOfACanvasPixel) {
    struct Case {
        int step; // client pixels per update
        int updates;
        int originXAfter;
    } cases[] = {
        // At zoom 2 a client pixel is half a canvas pixel: slow fingers move the canvas a pixel
        // every second message, as far as fast ones do.
        {1, 1, 499},  {1, 2, 499},  {1, 5, 497}, {-1, 1, 500},
        {-1, 5, 502}, {-3, 1, 501}, {3, 1, 498}, {4, 3, 494},
    };
    for (const Case& c : cases) {
        gesture = {{0, 0}, {0, 0}, 0};
        view = {2.0, 500, 500, NO_POINT};
        Step(PAN, BEGIN, 200, 200);
        int x = 200;
        for (int i = 0; i < c.updates; ++i) {
            x += c.step;
            const GestureActions actions = Step(PAN, UPDATE, x, 200);
            EXPECT_TRUE(actions.showView);
        }
        EXPECT_EQ(view.originX, c.originXAfter) << "step " << c.step << " x" << c.updates;
        EXPECT_EQ(view.originY, 500) << "step " << c.step;
        EXPECT_EQ(gesture.anchor.x, x);
        EXPECT_EQ(gesture.contact.x, x);
    }
}

TEST_F(GestureStepTest, PanFollowsTheFingers) {
    view = {1.0, 500, 500, NO_POINT};
    Step(PAN, BEGIN, 200, 200);
    Step(PAN, UPDATE, 250, 170);
    EXPECT_EQ(view.originX, 450);
    EXPECT_EQ(view.originY, 530);
}

TEST_F(GestureStepTest, PanEnd_MovesNothingButRepaintsAndForgetsTheArgument) {
    view = {1.0, 500, 500, NO_POINT};
    Step(ROTATE, BEGIN, 0, 0, 30000);
    Step(PAN, BEGIN, 200, 200);
    Step(PAN, UPDATE, 210, 220);
    const GestureActions actions = Step(PAN, END, 400, 90);
    EXPECT_TRUE(actions.showView);
    EXPECT_EQ(view.originX, 490);
    EXPECT_EQ(view.originY, 480);
    EXPECT_EQ(gesture.lastArgument, 0u);
    EXPECT_EQ(gesture.anchor.x, 400);
    EXPECT_EQ(gesture.anchor.y, 90);
    EXPECT_EQ(gesture.contact.x, 400);
}

TEST_F(GestureStepTest, PanUpdateWithoutAnchor_StartsFromItsOwnPosition) {
    for (PixelPoint anchor : {PixelPoint{-1, -1}, PixelPoint{-1, 40}, PixelPoint{40, -1}}) {
        view = {1.0, 500, 500, NO_POINT};
        gesture.anchor = anchor;
        Step(PAN, UPDATE, 300, 300);
        EXPECT_EQ(view.originX, 500);
        EXPECT_EQ(view.originY, 500);
        EXPECT_EQ(gesture.anchor.x, 300);
    }
}

// The window ends a stroke in progress before each repaint asked for (gesture_wine_test).
TEST_F(GestureStepTest, PansAndTheTwoFingerTapAskForARepaint) {
    struct Case {
        GestureKind kind;
        GesturePhase phase;
        bool showView;
    } cases[] = {
        {PAN, UPDATE, true}, {PAN, END, true},        {GestureKind::TwoFingerTap, BEGIN, true},
        {PAN, BEGIN, false}, {ROTATE, UPDATE, false}, {GestureKind::PressAndTap, BEGIN, false},
    };
    for (const Case& c : cases) {
        const GestureActions actions = Step(c.kind, c.phase, 5, 5, 32768);
        EXPECT_EQ(actions.showView, c.showView)
            << "kind " << static_cast<int>(c.kind) << " phase " << static_cast<int>(c.phase);
    }
}

// Rotate

TEST_F(GestureStepTest, RotateArgumentsConvertToDegrees) {
    EXPECT_NEAR(RotationDegrees(0), -360.0, 1e-6);
    EXPECT_NEAR(RotationDegrees(32767), -0.0055, 1e-4);
    EXPECT_NEAR(RotationDegrees(32768), 0.0055, 1e-4);
    EXPECT_NEAR(RotationDegrees(65535), 360.0, 1e-6);
}

TEST_F(GestureStepTest, RotatePreviewOnlyInsideOneHundredTwentyDegrees) {
    struct Case {
        std::uint64_t argument;
        bool preview;
        int previewAngle;
    } cases[] = {
        {21844, false, 0}, {21845, true, -119}, {32767, true, 0},
        {32768, true, 0},  {43690, true, 119},  {43691, false, 0},
        {0, false, 0},     {65535, false, 0},   {UINT64_MAX, false, 0},
    };
    for (const Case& c : cases) {
        gesture.lastArgument = 5;
        const GestureActions actions = Step(ROTATE, UPDATE, 0, 0, c.argument);
        EXPECT_EQ(actions.preview, c.preview) << c.argument;
        if (c.preview) {
            EXPECT_EQ(actions.previewAngle, c.previewAngle) << c.argument;
        }
        EXPECT_FALSE(actions.quarterTurn);
        EXPECT_EQ(gesture.lastArgument, c.argument);
    }
    const GestureActions begin = Step(ROTATE, BEGIN, 0, 0, 33000);
    EXPECT_FALSE(begin.preview);
    EXPECT_EQ(gesture.lastArgument, 33000u);
}

TEST_F(GestureStepTest, RotateEndTurnsOneQuarterWhateverTheAngle) {
    struct Case {
        std::uint64_t argument; // its angle in degrees in the comment
        int turnAngle;
        bool preview;
    } cases[] = {
        {32722, 0, true},     // -0.4999: truncates to 0, counter-clockwise
        {32631, -1, true},    // -1.4997: clockwise
        {50972, 200, false},  // 200.004: still one quarter turn, no preview
        {10000, -250, false}, // -250.1
        {UINT64_MAX, INT_MAX, false},
    };
    for (const Case& c : cases) {
        view = {1.0, 3, 4, {7, 8}};
        Step(ROTATE, BEGIN, 0, 0, 32768);
        const GestureActions actions = Step(ROTATE, END, 0, 0, c.argument);
        EXPECT_TRUE(actions.quarterTurn) << c.argument;
        EXPECT_EQ(actions.turnAngle, c.turnAngle) << c.argument;
        EXPECT_EQ(actions.preview, c.preview) << c.argument;
        if (c.preview) {
            EXPECT_EQ(actions.previewAngle, c.turnAngle) << c.argument;
        }
        EXPECT_FALSE(actions.showView);
        EXPECT_EQ(gesture.lastArgument, 0u);
        EXPECT_EQ(view.originX, 3);
        EXPECT_EQ(view.lastPoint.x, 7);
    }
}

TEST_F(GestureStepTest, ZoomUpdateAfterRotateDividesByTheRotateArgument) {
    Step(ZOOM, BEGIN, 0, 0, 100);
    Step(ROTATE, UPDATE, 0, 0, 40000);
    Step(ZOOM, UPDATE, 0, 0, 50000);
    EXPECT_DOUBLE_EQ(view.zoom, 1.25);
}

// Taps

TEST_F(GestureStepTest, TwoFingerTapResetsZoomAndKeepsTheOrigin) {
    for (GesturePhase phase : {BEGIN, UPDATE, END}) {
        view = {1.7, 123, 456, NO_POINT};
        const GestureActions actions = Step(GestureKind::TwoFingerTap, phase, 9, 9, 99);
        EXPECT_EQ(view.zoom, 1.0);
        EXPECT_EQ(view.originX, 123);
        EXPECT_EQ(view.originY, 456);
        EXPECT_TRUE(actions.showView);
    }
}

TEST_F(GestureStepTest, PressAndTapTogglesTheEraserOnItsBeginOnly) {
    struct Case {
        GesturePhase phase;
        bool toggle;
    } cases[] = {{BEGIN, true}, {UPDATE, false}, {END, false}};
    for (const Case& c : cases) {
        const GestureActions actions = Step(GestureKind::PressAndTap, c.phase, 1, 1);
        EXPECT_EQ(actions.toggleEraser, c.toggle) << "phase " << static_cast<int>(c.phase);
        EXPECT_FALSE(actions.showView);
    }
}

TEST_F(GestureStepTest, OtherGesturesDoNothing) {
    gesture = {{1, 2}, {3, 4}, 5};
    view = {1.5, 6, 7, {8, 9}};
    for (GesturePhase phase : {BEGIN, UPDATE, END}) {
        const GestureActions actions = Step(GestureKind::Other, phase, 100, 100, 100);
        EXPECT_FALSE(actions.showView || actions.preview || actions.quarterTurn ||
                     actions.toggleEraser);
    }
    EXPECT_EQ(gesture.anchor.x, 1);
    EXPECT_EQ(gesture.contact.y, 4);
    EXPECT_EQ(gesture.lastArgument, 5u);
    EXPECT_EQ(view.zoom, 1.5);
    EXPECT_EQ(view.originX, 6);
    EXPECT_EQ(view.lastPoint.y, 9);
}

// Any sequence

TEST_F(GestureStepTest, AnySequenceKeepsZoomBoundedAndOriginClamped) {
    std::mt19937_64 random(20261207);
    const int extremes[] = {INT_MIN, INT_MIN + 1, -65536, -1, 0, 1, 65535, INT_MAX};
    const std::uint64_t arguments[] = {0, 1, 2, 21844, 21845, 43691, 65535, UINT64_MAX};
    auto pick = [&](int below) { return static_cast<int>(random() % below); };
    auto position = [&]() { return pick(8) == 0 ? extremes[pick(8)] : pick(4000) - 1000; };
    const int widths[] = {800, 1366, 1, 0};
    for (int run = 0; run < 200; ++run) {
        gesture = {{0, 0}, {0, 0}, 0};
        view = {1.0, 0, 0, NO_POINT};
        const int width = widths[run % 4];
        const int height = widths[(run / 4) % 4];
        for (int i = 0; i < 200; ++i) {
            GestureMessage message;
            message.kind = static_cast<GestureKind>(pick(6));
            message.phase = static_cast<GesturePhase>(pick(3));
            message.position = {position(), position()};
            message.argument = pick(4) == 0 ? arguments[pick(8)] : random() % 70000;
            const GestureActions actions = StepGesture(gesture, view, {width, height}, message);

            ASSERT_TRUE(std::isfinite(view.zoom));
            ASSERT_GE(view.zoom, MIN_ZOOM);
            ASSERT_LE(view.zoom, MAX_ZOOM);
            if (actions.preview) {
                ASSERT_LT(std::abs(actions.previewAngle), 120);
            }
            if (actions.showView) {
                ASSERT_TRUE(IsNoPoint(view.lastPoint));
                const int maxX = CANVAS_SIZE - VisibleSpan(width, view.zoom);
                const int maxY = CANVAS_SIZE - VisibleSpan(height, view.zoom);
                ASSERT_LE(view.originX, maxX);
                ASSERT_LE(view.originY, maxY);
                ASSERT_GE(view.originX, std::min(0, maxX));
                ASSERT_GE(view.originY, std::min(0, maxY));
            }
        }
    }
}

} // namespace
