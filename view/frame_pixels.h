// The pixels of a frame, composed from the layers' own pixels in one pass: the view's picture,
// stretched as the platform's stretch of each layer would show it, and the rotation preview's
// turned ink. Platform-free.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/pixel_rect.h"
#include "view/view_math.h"

// A layer's pixels: CANVAS_SIZE rows of CANVAS_SIZE, from the top, 0x00RRGGBB in the low 24
// bits; the fourth byte means nothing.
using LayerPixels = const std::uint32_t*;

// The colour a frame shows where the ink is empty, and what an empty ink pixel holds.
constexpr std::uint32_t WHITE_PIXEL = 0xFFFFFF;

// Which canvas pixels the stretch of one axis of the view puts under each of its client pixels,
// counted from the blit's first: the run [first, last] that a shrinking stretch merges there (one
// pixel where it does not shrink), and the one of them that a colour stretch keeps. The ink's
// stretch ANDs the run, so that a thin stroke never vanishes.
struct StretchRuns {
    std::vector<int> first;
    std::vector<int> last;
    std::vector<int> kept;
    // Whether any run is longer than one pixel.
    bool merges = false;
};

// The line of pixels whose AND stretch tells the runs: pixel j clears bit j % 24 alone, so the
// bits cleared in a stretched pixel are the run merged there (runs are far shorter than 24).
std::uint32_t RunMarker(int j);

// The runs of an axis of `length` canvas pixels from `start`, from what a colour stretch kept
// under each client pixel (`kept`, canvas pixels) and what the AND stretch of the run markers made
// there (`merged`, one for each kept). Runs stay inside the axis whatever the two hold.
StretchRuns RunsFromStretches(const std::vector<int>& kept,
                              const std::vector<std::uint32_t>& merged, int start, int length);

// What a frame is made of: the layers (a null background is hidden), how the view maps them, the
// runs of both axes, and the colour of the desk beside the canvas.
struct FrameSource {
    LayerPixels ink;
    LayerPixels background;
    ViewBlit blit;
    const StretchRuns* across;
    const StretchRuns* down;
    std::uint32_t desk;
};

// Where a frame's pixels go: `pixels`, `stride` pixels a row, whose first is client pixel
// (area.left, area.top).
struct FrameTarget {
    std::uint32_t* pixels;
    int stride;
};

// Composes the client pixels `area` of the view: the desk outside the canvas, the ink where it is
// not empty, else the background, else white.
void ComposeViewPixels(const FrameSource& source, const PixelRect& area, const FrameTarget& target);

// The rotation preview of the canvas part of the view (blit.dstW x blit.dstH pixels into
// `target`): each pixel shows the nearest ink pixel turned `angle` degrees counter-clockwise about
// the canvas centre, white where the turned square leaves no canvas.
void TurnInkPixels(LayerPixels ink, const ViewBlit& blit, int angle, const FrameTarget& target);
