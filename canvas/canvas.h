// The ink layer and the background layer, 2048 × 2048 DIB sections whose pixels the frames read
// in place, and the composite, a device-compatible bitmap.
#pragma once

#include <windows.h>

#include <cstdint>

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
// A bitmap to be a layer: 32 bits a pixel, rows from the top, its pixels not yet set; null when
// there is no memory for it.
HBITMAP MakeLayerBitmap();
// The pixels of a layer in place, CANVAS_SIZE rows of CANVAS_SIZE from the top, with every drawing
// made so far in them; null when the layer has none that can be read.
const std::uint32_t* ReadLayerPixels(Layer layer);
// Clears the fourth byte of every pixel of a layer bitmap that GDI+ has drawn on: a blit that
// compares colours would not take a white pixel with it set for white.
void ClearFourthBytes(HBITMAP layer);
// A new background layer, or new pixels on it: its copies know they are stale, and the canvas's
// listener hears of it.
void MarkBackgroundChanged();
// Rebuilds the composite: the background with every non-white ink pixel over it. 0 when a step
// failed: the composite then lacks ink or background and must not be saved.
int ComposeCanvas();
// Releases the three bitmaps, ink first.
void ReleaseCanvas();
