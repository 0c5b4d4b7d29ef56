#include "gesture/gesture_step.h"

#include <cmath>

#include "view/view_step.h"

GestureState g_gesture;

namespace {

void BeginZoom(GestureState& gesture, const ViewState& view, const GestureMessage& message) {
    gesture.contact = message.position;
    gesture.anchor = ClientToCanvas(view, gesture.contact);
    gesture.lastArgument = message.argument;
}

void UpdateZoom(GestureState& gesture, ViewState& view, const ClientExtent& client,
                const GestureMessage& message, GestureActions& actions) {
    // Without a previous argument there is no ratio: the pinch starts afresh here instead of
    // dividing by zero and jumping to the largest zoom (or to NaN).
    if (gesture.lastArgument == 0) {
        BeginZoom(gesture, view, message);
        return;
    }
    const double ratio =
        static_cast<double>(message.argument) / static_cast<double>(gesture.lastArgument);
    // About the begin's contact, not this message's position: the pinch start stays put.
    ZoomBy(view, client, ratio, gesture.contact);
    actions.showView = true;
    gesture.lastArgument = message.argument;
}

void StepZoom(GestureState& gesture, ViewState& view, const ClientExtent& client,
              const GestureMessage& message, GestureActions& actions) {
    switch (message.phase) {
    case GesturePhase::Begin: BeginZoom(gesture, view, message); break;
    case GesturePhase::End:
        gesture.lastArgument = 0;
        gesture.anchor = NO_POINT;
        break;
    case GesturePhase::Update: UpdateZoom(gesture, view, client, message, actions); break;
    }
}

void StepPan(GestureState& gesture, ViewState& view, const ClientExtent& client,
             const GestureMessage& message, GestureActions& actions) {
    if (message.phase == GesturePhase::Begin) {
        gesture.anchor = message.position;
        return;
    }
    if (message.phase == GesturePhase::End) {
        // The end's own movement is dropped: it only shows the view.
        gesture.lastArgument = 0;
        gesture.anchor = NO_POINT;
    }
    gesture.contact = message.position;
    if (gesture.anchor.x == -1 || gesture.anchor.y == -1) {
        gesture.anchor = gesture.contact;
    }
    // The fraction of a canvas pixel is carried to the next message, so slow fingers move it too.
    ShiftByClientPixels(view, client, static_cast<double>(gesture.contact.x) - gesture.anchor.x,
                        static_cast<double>(gesture.contact.y) - gesture.anchor.y);
    actions.showView = true;
    gesture.anchor = gesture.contact;
}

void StepRotate(GestureState& gesture, const GestureMessage& message, GestureActions& actions) {
    gesture.lastArgument = message.argument;
    const double angle = RotationDegrees(message.argument);
    if (message.phase == GesturePhase::Begin) {
        return;
    }
    if (message.phase == GesturePhase::End) {
        actions.quarterTurn = true;
        actions.turnAngle = TruncToInt(angle);
        gesture.lastArgument = 0;
    }
    if (std::fabs(angle) < PREVIEW_LIMIT_DEGREES) {
        actions.preview = true;
        actions.previewAngle = TruncToInt(angle);
    }
}

} // namespace

double RotationDegrees(std::uint64_t argument) {
    const double radians = static_cast<double>(argument) / 65535.0 * 4.0 * 3.14159265 - 6.2831853;
    return radians * 57.29577951308232;
}

GestureActions StepGesture(GestureState& gesture, ViewState& view, const ClientExtent& client,
                           const GestureMessage& message) {
    GestureActions actions = {};
    switch (message.kind) {
    case GestureKind::Zoom: StepZoom(gesture, view, client, message, actions); break;
    case GestureKind::Pan: StepPan(gesture, view, client, message, actions); break;
    case GestureKind::Rotate: StepRotate(gesture, message, actions); break;
    case GestureKind::TwoFingerTap:
        // Zoom 1 about the client's top-left corner keeps the origin.
        ZoomBy(view, client, 1.0 / view.zoom, {0, 0});
        actions.showView = true;
        break;
    case GestureKind::PressAndTap:
        actions.toggleEraser = message.phase == GesturePhase::Begin;
        break;
    case GestureKind::Other: break;
    }
    return actions;
}
