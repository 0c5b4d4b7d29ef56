#pragma once

#include <windows.h>

// Enables zoom, pan, rotate, two-finger tap and press-and-tap on the main window.
void ConfigureGestures();
// Handles one WM_GESTURE and closes its handle.
void HandleGesture(HGESTUREINFO handle);
