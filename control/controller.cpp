#include "control/controller.h"

#include "canvas/history.h"
#include "canvas/quarter_turn.h"
#include "gesture/gesture.h"
#include "pen/eraser.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "view/rotation_preview.h"
#include "view/view.h"
#include "view/view_step.h"

namespace {

// Undoes the step before the history's place, or redoes the one after it, and shows what changed.
bool MoveThroughHistoryAndShow(HistoryDirection direction) {
    if (StrokeInProgress(g_view)) {
        return false;
    }
    const PixelRect changed = MoveThroughHistory(direction);
    if (IsEmptyRect(changed)) {
        return false;
    }
    MarkModified();
    ShowCanvasRect(changed);
    return true;
}

// Does what a gesture message asks for, in the order the step gives.
void ApplyGestureActions(const GestureActions& actions, const ViewState& target) {
    if (actions.quarterTurn) {
        TurnCanvasQuarter(actions.turnAngle);
    }
    if (actions.showView) {
        MoveView(target);
    }
    if (actions.preview) {
        DrawRotationPreview(actions.previewAngle);
    }
    if (actions.toggleEraser) {
        ToggleEraser();
    }
}

} // namespace

void EndStroke() {
    g_view.lastPoint = NO_POINT;
    SettleStroke();
}

void MoveView(const ViewState& target) {
    EndStroke();
    ShowView(target);
}

void TurnCanvasQuarter(int angle) {
    EndStroke(); // the rest of a stroke would go on over the turned canvas
    const TurnResult turn = TurnBothLayers(angle);
    // A turn that did not happen is no step: undo would turn the canvas the other way. Layers
    // turned apart are described by no step at all.
    if (turn == TurnResult::Unchanged) {
        return;
    }
    if (turn == TurnResult::Turned) {
        RecordQuarterTurn(angle);
    } else {
        StartHistory();
    }
    MarkModified();
    InvalidateRect(g_app.hwnd, nullptr, FALSE);
}

bool UndoStep() {
    return MoveThroughHistoryAndShow(HistoryDirection::Undo);
}

bool RedoStep() {
    return MoveThroughHistoryAndShow(HistoryDirection::Redo);
}

void HandleGesture(HGESTUREINFO handle) {
    const GestureMessage message = ReadGesture(handle);
    ViewState target = g_view;
    const GestureActions actions = StepGesture(g_gesture, target, ReadClientSize(), message);
    ApplyGestureActions(actions, target);
    CloseGestureInfoHandle(handle);
}

void ChangeWindowDpi(int dpi, const RECT& suggested) {
    EndStroke();
    const ClientExtent before = ReadClientSize();
    SetWindowPos(g_app.hwnd, nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RescaleView(g_view, before, ReadClientSize(), ScaleOfDpi(dpi));
    ReleaseView();
    InvalidateRect(g_app.hwnd, nullptr, FALSE);
}
