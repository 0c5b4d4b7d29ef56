// The ink layer, the background layer and the composite: device-compatible 2048 × 2048 bitmaps.
#pragma once

#include <windows.h>

#include "canvas/view_math.h"

// Pure white on the ink layer is empty and transparent.
constexpr COLORREF EMPTY_INK = RGB(255, 255, 255);

struct Canvas {
    HBITMAP ink;
    HBITMAP background;
    HBITMAP composite;
    // Counts the changes of the background layer, so that a copy of it can tell it is stale.
    unsigned backgroundChanges;
};

extern Canvas g_canvas;

// A new background layer, or new pixels on it: its copies know they are stale, and the canvas's
// listener hears of it.
void MarkBackgroundChanged();

// Puts `replacement`, a bitmap of the canvas's size that the canvas owns from then on, in place of
// a layer (0 the ink, any other the background) and releases the old one. The one way a layer
// gets new content as a whole (a new, opened or pasted memo, a new background), so a fresh
// history begins here: undo cannot take back what was there before.
void ReplaceLayer(int layer, HBITMAP replacement);
// A white layer in place of the old one.
void ResetInkLayer();
void ResetBackgroundLayer();
// Rebuilds the composite: the background with every non-white ink pixel over it. 0 when a step
// failed: the composite then lacks ink or background and must not be saved.
int ComposeCanvas();
// Releases the three bitmaps, ink first.
void ReleaseCanvas();
