#pragma once

#include <windows.h>

#include "canvas/view_math.h"

// Repaints the whole client area from the layers: form 0 inside WM_PAINT, any other form at once
// through GetDC.
void PaintView(int form);
// Keeps the origin inside the canvas for the client's present size; true when it had to move.
bool ClampViewToClient();
// Brings the window up to date, in one block transfer, over the client pixels that show the
// canvas rectangle `canvas`: the same pixels that a repaint of the whole client gives there.
void ShowCanvasRect(const PixelRect& canvas);
