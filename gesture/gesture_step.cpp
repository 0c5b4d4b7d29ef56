#include "gesture/gesture_step.h"

#include <cmath>

GestureState g_gesture;

namespace {

// base + trunc(quotient), kept inside the int range so that no position can overflow.
int AddTruncated(int base, double quotient) {
    return TruncToInt(base + std::trunc(quotient));
}

// The canvas point under a client point at the current view.
ViewPoint CanvasUnder(const ViewState& view, ViewPoint client) {
    return {AddTruncated(view.originX, client.x / view.zoom),
            AddTruncated(view.originY, client.y / view.zoom)};
}

void RequestRepaint(GestureActions& actions) {
    actions.repaint = true;
}

void BeginZoom(GestureState& gesture, const ViewState& view, const GestureMessage& message) {
    gesture.contact = message.position;
    gesture.anchor = CanvasUnder(view, gesture.contact);
    gesture.lastArgument = message.argument;
}

void UpdateZoom(GestureState& gesture, ViewState& view, const GestureMessage& message,
                GestureActions& actions) {
    // Without a previous argument there is no ratio: the pinch starts afresh here instead of
    // dividing by zero and jumping to the largest zoom (or to NaN).
    if (gesture.lastArgument == 0) {
        BeginZoom(gesture, view, message);
        return;
    }
    const double ratio =
        static_cast<double>(message.argument) / static_cast<double>(gesture.lastArgument);
    const double zoom = ratio * view.zoom;
    view.zoom = zoom;
    if (zoom < MIN_ZOOM) {
        view.zoom = MIN_ZOOM;
    } else if (zoom > MAX_ZOOM) {
        view.zoom = MAX_ZOOM;
    }
    // The begin's contact, not this message's position: the pinch start stays put.
    view.originX = AddTruncated(gesture.anchor.x, -(gesture.contact.x / view.zoom));
    view.originY = AddTruncated(gesture.anchor.y, -(gesture.contact.y / view.zoom));
    RequestRepaint(actions);
    gesture.lastArgument = message.argument;
}

void StepZoom(GestureState& gesture, ViewState& view, const GestureMessage& message,
              GestureActions& actions) {
    if (message.flags == GESTURE_FLAG_BEGIN) {
        BeginZoom(gesture, view, message);
    } else if (message.flags == GESTURE_FLAG_END) {
        gesture.lastArgument = 0;
        gesture.anchor = NO_POINT;
    } else {
        UpdateZoom(gesture, view, message, actions);
    }
}

void StepPan(GestureState& gesture, ViewState& view, const GestureMessage& message,
             GestureActions& actions) {
    if (message.flags == GESTURE_FLAG_BEGIN) {
        gesture.anchor = message.position;
        return;
    }
    if (message.flags == GESTURE_FLAG_END) {
        // The end's own movement is dropped: it only repaints.
        gesture.lastArgument = 0;
        gesture.anchor = NO_POINT;
    }
    gesture.contact = message.position;
    if (gesture.anchor.x == -1 || gesture.anchor.y == -1) {
        gesture.anchor = gesture.contact;
    }
    // Each message's movement is truncated on its own; no remainder is carried.
    const double dx = static_cast<double>(gesture.contact.x) - gesture.anchor.x;
    const double dy = static_cast<double>(gesture.contact.y) - gesture.anchor.y;
    view.originX = AddTruncated(view.originX, -(dx / view.zoom));
    view.originY = AddTruncated(view.originY, -(dy / view.zoom));
    RequestRepaint(actions);
    gesture.anchor = gesture.contact;
}

void StepRotate(GestureState& gesture, const GestureMessage& message, GestureActions& actions) {
    gesture.lastArgument = message.argument;
    const double angle = RotationDegrees(message.argument);
    if (message.flags == GESTURE_FLAG_BEGIN) {
        actions.endPreview = true;
        return;
    }
    if (message.flags == GESTURE_FLAG_END) {
        actions.endPreview = true;
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

GestureActions StepGesture(GestureState& gesture, ViewState& view, const GestureMessage& message) {
    GestureActions actions = {};
    switch (message.id) {
    case GESTURE_ZOOM: StepZoom(gesture, view, message, actions); break;
    case GESTURE_PAN: StepPan(gesture, view, message, actions); break;
    case GESTURE_ROTATE: StepRotate(gesture, message, actions); break;
    case GESTURE_TWO_FINGER_TAP:
        view.zoom = 1.0;
        RequestRepaint(actions);
        break;
    case GESTURE_PRESS_AND_TAP: actions.toggleEraser = message.flags == GESTURE_FLAG_BEGIN; break;
    }
    return actions;
}
