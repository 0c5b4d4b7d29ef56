// What each gesture message does to the view: the decoded message and the records in, the
// drawing to do out. Platform-free.
#pragma once

#include <cstdint>

#include "canvas/view_math.h"

// Gesture identifiers and flags as the window manager numbers them.
constexpr std::uint32_t GESTURE_BEGIN = 1;
constexpr std::uint32_t GESTURE_END = 2;
constexpr std::uint32_t GESTURE_ZOOM = 3;
constexpr std::uint32_t GESTURE_PAN = 4;
constexpr std::uint32_t GESTURE_ROTATE = 5;
constexpr std::uint32_t GESTURE_TWO_FINGER_TAP = 6;
constexpr std::uint32_t GESTURE_PRESS_AND_TAP = 7;

constexpr std::uint32_t GESTURE_FLAG_BEGIN = 1;
constexpr std::uint32_t GESTURE_FLAG_INERTIA = 2;
constexpr std::uint32_t GESTURE_FLAG_END = 4;

constexpr double PREVIEW_LIMIT_DEGREES = 120.0;

struct GestureState {
    ViewPoint anchor;  // pan: previous client position; zoom: the canvas point kept in place
    ViewPoint contact; // client position of the latest pan message or of the zoom's begin
    std::uint64_t lastArgument; // argument of the previous zoom or rotate message; 0: none
};

extern GestureState g_gesture;

// One WM_GESTURE as the platform delivered it, with the position already in client coordinates.
struct GestureMessage {
    std::uint32_t id;
    std::uint32_t flags;
    ViewPoint position;
    std::uint64_t argument;
};

// The drawing a message asks for, in this order: the quarter turn of both layers (then the
// window is invalidated), the immediate repaint, the rotation preview, the end of the previews'
// shared copy of the ink, the eraser toggle.
struct GestureActions {
    bool quarterTurn;
    int turnAngle;
    bool repaint;
    bool preview;
    int previewAngle;
    // At a rotate gesture's begin (a copy that an earlier one left may be stale) and its end.
    bool endPreview;
    bool toggleEraser;
};

// The rotate argument in degrees, from -360 to +360.
double RotationDegrees(std::uint64_t argument);

// Updates the records for one message. The stroke in progress ends before a repaint that is
// asked for (EndStroke), as before any repaint; the repaint itself clamps the origin.
GestureActions StepGesture(GestureState& gesture, ViewState& view, const GestureMessage& message);
