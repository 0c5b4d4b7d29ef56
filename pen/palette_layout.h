// The Pen dialog's geometry: the palette on the left two thirds of the client area, five width
// bands on the right third. Platform-free; recomputed from the client size and the dialog's DPI at
// every use.
#pragma once

constexpr int PALETTE_COLUMNS = 9;
constexpr int PALETTE_ROWS = 7;
constexpr int WIDTH_SAMPLE_COUNT = 5;

struct PenDialogLayout {
    int width;
    int height;
    int paletteWidth; // P: the palette covers x from 0 to P - 1; x = P is still a colour pick
    int bandHeight;   // B: the height of one width band
    int dpi;          // the samples' widths and margins are 96-DPI units drawn at this DPI
};

struct SampleStroke {
    int x0, y0, x1, y1;
    int width;
};

PenDialogLayout ComputePenDialogLayout(int width, int height, int dpi);
bool IsWidthPick(const PenDialogLayout& layout, int x);
// How often the width 2 doubles for a width pick at y: the band's index, or 5 (width 64) in the
// rows below the five bands.
int CountWidthDoublings(const PenDialogLayout& layout, int y);
// Sample k (0 to 4, top to bottom) in width 2 << k, sloping down to the right within its band,
// 64 units in from either side of the width region. The widths picked stay canvas pixels; only
// their samples grow with the DPI.
SampleStroke ComputeSampleStroke(const PenDialogLayout& layout, int k);
