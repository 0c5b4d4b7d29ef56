// Pictures of the view for wine tests and the bench: the client area as shown, a repaint of the
// whole to compare with, layers full of detail, and the rotation preview as it was first built.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The main window's client area as it is shown, row by row from the top, as 0x00RRGGBB.
std::vector<std::uint32_t> ReadClientArea();
// How many client pixels differ from what a repaint of the whole client shows (which it then
// leaves in the window); the first of them in `first`.
int CountPixelsUnlikeWholeRepaint(POINT& first);
// The view's picture as the platform's stretches of the layers make it: the ink ANDing the pixels
// that a zoom below 1 merges, over the background, which keeps one of them, where the ink is
// white; the desk beside the canvas.
std::vector<std::uint32_t> ComposeViewWithGdi();
// A pattern in which no two neighbours and no two turned positions agree by chance.
void PaintNoise(HBITMAP layer, std::uint32_t seed);
// The rotation preview built at the canvas's full size, turned with GDI+'s default sampling,
// then stretched through the view: the reference that the client-sized preview is held to.
void DrawFullSizeRotationPreview(int angle);
