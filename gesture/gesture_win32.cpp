#include "gesture/gesture.h"

#include "canvas/history.h"
#include "canvas/rotation.h"
#include "canvas/stroke.h"
#include "canvas/view.h"
#include "gesture/gesture_step.h"
#include "pen/eraser.h"
#include "records/app_window.h"

static_assert(GESTURE_BEGIN == GID_BEGIN && GESTURE_END == GID_END && GESTURE_ZOOM == GID_ZOOM &&
                  GESTURE_PAN == GID_PAN && GESTURE_ROTATE == GID_ROTATE &&
                  GESTURE_TWO_FINGER_TAP == GID_TWOFINGERTAP &&
                  GESTURE_PRESS_AND_TAP == GID_PRESSANDTAP,
              "gesture identifiers must match the platform's");
static_assert(GESTURE_FLAG_BEGIN == GF_BEGIN && GESTURE_FLAG_INERTIA == GF_INERTIA &&
                  GESTURE_FLAG_END == GF_END,
              "gesture flags must match the platform's");
static_assert(sizeof(GESTURECONFIG) == 12, "SetGestureConfig is given 12-byte records");

void ConfigureGestures() {
    // Pan with the gutter and inertia, but without GC_PAN or the single-finger pan bits.
    GESTURECONFIG table[5] = {
        {GID_ZOOM, GC_ZOOM, 0},
        {GID_PAN, GC_PAN_WITH_GUTTER | GC_PAN_WITH_INERTIA, 0},
        {GID_ROTATE, GC_ROTATE, 0},
        {GID_TWOFINGERTAP, GC_TWOFINGERTAP, 0},
        {GID_PRESSANDTAP, GC_PRESSANDTAP, 0},
    };
    SetGestureConfig(g_app.hwnd, 0, 5, table, sizeof(GESTURECONFIG));
}

namespace {

// Steps the records for one decoded gesture message and does the drawing it asks for.
void ApplyGestureMessage(const GestureMessage& message) {
    const GestureActions actions = StepGesture(g_gesture, g_view, message);
    if (actions.quarterTurn) {
        TurnCanvasQuarter(actions.turnAngle);
        InvalidateRect(g_app.hwnd, nullptr, TRUE);
    }
    if (actions.repaint) {
        EndStroke();
        PaintView(1);
    }
    if (actions.preview) {
        DrawRotationPreview(actions.previewAngle);
    }
    if (actions.endPreview) {
        EndRotationPreview();
    }
    if (actions.toggleEraser) {
        ToggleEraser();
    }
}

} // namespace

void HandleGesture(HGESTUREINFO handle) {
    // A failed read leaves the record zero: identifier 0 does nothing.
    GESTUREINFO info = {};
    info.cbSize = sizeof(info);
    GetGestureInfo(handle, &info);
    POINT position = {info.ptsLocation.x, info.ptsLocation.y};
    ScreenToClient(g_app.hwnd, &position);
    ApplyGestureMessage({info.dwID, info.dwFlags, {position.x, position.y}, info.ullArguments});
    CloseGestureInfoHandle(handle);
}
