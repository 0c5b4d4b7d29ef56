#pragma once

#include <windows.h>

// Turns a layer by a quarter turn through GDI+: clockwise for a negative angle, counter-clockwise
// otherwise. False, the layer as it was, when the copy could not be made, turned or drawn.
bool RotateLayerQuarterTurn(HBITMAP layer, int angle);
// Shows the ink layer turned by `angle` degrees about the canvas centre, through the view. The
// previews of one gesture share one copy of the ink, taken at the first of them.
void DrawRotationPreview(int angle);
// Lets the shared copy go: the gesture has ended, or a copy of an earlier one may be stale.
void EndRotationPreview();
