// A stroke's segments on the ink layer.
#pragma once

#include <windows.h>

#include "canvas/pixel_rect.h"

// Draws the chain of segments through the canvas points `points[0]` to `points[count]` onto the
// ink layer with a solid pen of `width` in `color`, whose round ends join the segments. What it
// draws over is kept first for undo (KeepInkBefore). Returns the canvas pixels it may have
// changed.
PixelRect DrawInkChain(const PixelPoint* points, int count, COLORREF color, int width);
