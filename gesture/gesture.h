#pragma once

#include <windows.h>

#include "gesture/gesture_step.h"

// Enables zoom, pan, rotate, two-finger tap and press-and-tap on the main window.
void ConfigureGestures();
// Handles one WM_GESTURE and closes its handle.
void HandleGesture(HGESTUREINFO handle);
// Steps the records for one decoded gesture message and does the drawing it asks for.
void ApplyGestureMessage(const GestureMessage& message);
