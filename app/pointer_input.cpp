#include "app/pointer_input.h"

#include "control/stroke_input.h"
#include "pen/eraser_end.h"
#include "pen/pen_input.h"
#include "pen/pen_state.h"
#include "view/view_math.h"

namespace {

// The contact flag of a pointer message's wParam (POINTER_MESSAGE_FLAG_INCONTACT).
constexpr WORD POINTER_IN_CONTACT = 0x0004;

} // namespace

void OnPointerDown(WPARAM pointer) {
    BeginPenContact(g_pen, g_eraserEnd, IsEraserEndTouching(LOWORD(pointer)));
}

void OnPointerUpdate(WPARAM pointer) {
    if ((HIWORD(pointer) & POINTER_IN_CONTACT) == 0) {
        LiftPen(g_pen, g_eraserEnd, StrokeInProgress(g_view));
    }
}

void OnPointerUp() {
    LiftPen(g_pen, g_eraserEnd, StrokeInProgress(g_view));
}

void OnStrokeButtonUp(LPARAM point) {
    OnStrokeEnd(point);
    EndEraserEndStroke(g_pen, g_eraserEnd);
}
