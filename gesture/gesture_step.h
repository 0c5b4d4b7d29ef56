// What each gesture message does: the decoded message and the records in; the view moved through
// the view's own commands, and the drawing to do, out. Platform-free.
#pragma once

#include <cstdint>

#include "view/view_math.h"

enum class GestureKind { Other, Zoom, Pan, Rotate, TwoFingerTap, PressAndTap };
// Where a message stands in its gesture: its first message, its last, or one between.
enum class GesturePhase { Begin, Update, End };

constexpr double PREVIEW_LIMIT_DEGREES = 120.0;

struct GestureState {
    PixelPoint anchor;  // pan: previous client position; zoom: the canvas point kept in place
    PixelPoint contact; // client position of the latest pan message or of the zoom's begin
    std::uint64_t lastArgument; // argument of the previous zoom or rotate message; 0: none
};

extern GestureState g_gesture;

// One WM_GESTURE as the platform delivered it, with the position already in client coordinates.
struct GestureMessage {
    GestureKind kind;
    GesturePhase phase;
    PixelPoint position;
    std::uint64_t argument;
};

// What a message asks for, in this order: the quarter turn of both layers (then the window is
// invalidated), showing the view as the step left it, the rotation preview, the eraser toggle.
struct GestureActions {
    bool quarterTurn;
    int turnAngle;
    bool showView;
    bool preview;
    int previewAngle;
    bool toggleEraser;
};

// The rotate argument in degrees, from -360 to +360.
double RotationDegrees(std::uint64_t argument);

// Updates the records for one message. A zoom, a pan and a two-finger tap move `view` for a
// client of `client`, through the view's commands.
GestureActions StepGesture(GestureState& gesture, ViewState& view, const ClientExtent& client,
                           const GestureMessage& message);
