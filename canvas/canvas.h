// The ink layer, the background layer and the composite: device-compatible 2048 × 2048 bitmaps.
#pragma once

#include <windows.h>

#include "records/basics.h"

// Pure white on the ink layer is empty and transparent.
constexpr COLORREF EMPTY_INK = RGB(255, 255, 255);

// The two layers, numbered as operations that take a layer have always numbered them.
enum class Layer { Ink = 0, Background = 1 };

struct Canvas {
    HBITMAP ink;
    HBITMAP background;
    HBITMAP composite;
    // Counts the changes of the background layer, so that a copy of it can tell it is stale.
    unsigned backgroundChanges;
};

extern Canvas g_canvas;

// The bitmap of a layer.
HBITMAP& LayerBitmap(Layer layer);
// A new background layer, or new pixels on it: its copies know they are stale, and the canvas's
// listener hears of it.
void MarkBackgroundChanged();
// Rebuilds the composite: the background with every non-white ink pixel over it. 0 when a step
// failed: the composite then lacks ink or background and must not be saved.
int ComposeCanvas();
// Releases the three bitmaps, ink first.
void ReleaseCanvas();
