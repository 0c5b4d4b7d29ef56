// The painter: the client area shows the view of the layers, whole or in part, and the scroll bars
// show where the view is. It shows, and leaves strokes, the history and the memo alone.
#pragma once

#include <windows.h>

#include <functional>

#include "view/frame_pixels.h"
#include "view/view_math.h"

// Where a repaint draws: inside WM_PAINT, or at once through the window's own context.
enum class PaintForm { PaintCycle = 0, Immediate = 1 };

// The client area's size now.
ClientExtent ReadClientSize();
// Repaints the whole client area from the layers, and sets the scroll bars to the view.
void PaintView(PaintForm form);
// Takes the zoom, the origin and the carry of `target`, clamps them and shows the view, moving
// the pixels already on screen where that shows what a whole repaint would. The scroll bars
// follow.
void ShowView(const ViewState& target);
// Lets the kept buffers go, and forgets what the scroll bars were given, when the window goes.
void ReleaseView();
// Keeps the view inside the canvas for the client's present size; true when it had to move.
bool ClampViewToClient();
// Brings the window up to date, in one block transfer, over the client pixels that show the
// canvas rectangle `canvas`: the same pixels that a repaint of the whole client gives there.
void ShowCanvasRect(const PixelRect& canvas);
// Shows a frame of the canvas part of the view that `draw` builds in the frame buffer, blit.dstW x
// blit.dstH pixels from its first; the rest of the client keeps what it shows. Without memory for
// the frame, nothing is shown.
void ShowCanvasPartFrame(const ViewBlit& blit, const std::function<void(const FrameTarget&)>& draw);
