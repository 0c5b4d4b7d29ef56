#pragma once

#include <windows.h>

// Turns a layer by a quarter turn: clockwise for a negative angle, counter-clockwise otherwise.
void RotateLayerQuarterTurn(HBITMAP layer, int angle);
// Shows the ink layer turned by `angle` degrees about the canvas centre, through the view.
void DrawRotationPreview(int angle);
