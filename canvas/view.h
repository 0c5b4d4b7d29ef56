#pragma once

#include <windows.h>

#include "canvas/view_math.h"

// The client area's size now.
ClientExtent ReadClientSize();
// Repaints the whole client area from the layers, and sets the scroll bars to the view: form 0
// inside WM_PAINT, any other form at once through GetDC.
void PaintView(int form);
// The one way the view moves, for the wheel, the keys, the scroll bars, a drag and the gestures:
// ends a stroke in progress, takes the zoom and the origin of `target`, clamps the origin and shows
// the view, moving the pixels already on screen where that shows what a whole repaint would. The
// scroll bars follow. The canvas, the memo and its history are not touched.
void MoveView(const ViewState& target);
// Lets the back buffer go, and forgets what the scroll bars were given, when the window goes.
void ReleaseView();
// Keeps the origin inside the canvas for the client's present size; true when it had to move.
bool ClampViewToClient();
// Brings the window up to date, in one block transfer, over the client pixels that show the
// canvas rectangle `canvas`: the same pixels that a repaint of the whole client gives there.
void ShowCanvasRect(const PixelRect& canvas);
