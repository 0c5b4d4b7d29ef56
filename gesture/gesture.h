// The window manager's gestures: which the main window takes, and their messages decoded.
#pragma once

#include <windows.h>

#include "gesture/gesture_step.h"

// Enables zoom, pan, rotate, two-finger tap and press-and-tap on the main window.
void ConfigureGestures();
// The message behind a WM_GESTURE's handle, its position in client coordinates. A record that
// cannot be read is a gesture of no kind, which does nothing. The handle stays open.
GestureMessage ReadGesture(HGESTUREINFO handle);
