// The pointer messages of Windows 8 and later, as far as the pen's eraser end needs them. Each one
// goes on to default handling afterwards, which turns it into the mouse messages that draw.
#pragma once

#include <windows.h>

// Decides the pen of the stroke before the button-down message that starts it.
void OnPointerDown(WPARAM pointer);
// A pen hovering again after its stroke has ended gets its pen back even if its lift was lost.
void OnPointerUpdate(WPARAM pointer);
// The pointer lifted, or was taken away from the window.
void OnPointerUp();
// The button-up message: the last segment is drawn with the stroke's pen, then the pen returns.
void OnStrokeButtonUp(LPARAM point);
