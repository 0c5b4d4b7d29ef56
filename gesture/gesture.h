#pragma once

#include <windows.h>

void ConfigureGestures();
// Handles one WM_GESTURE and closes its handle.
void HandleGesture(HGESTUREINFO handle);
