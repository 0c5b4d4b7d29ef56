// Where the canvas lands on a printed page: the largest square that fits the printable area,
// centred in it. Platform-free.
#pragma once

struct PrintSquare {
    int x;
    int y;
    int side;
};

// The square in the units of the area it is centred in; the odd pixel of a difference stays on
// the right and at the bottom. A negative extent counts as none.
PrintSquare ComputePrintSquare(int width, int height);

// The square of the GDI+ path: laid out in whole millimetres, then each number converted to dots
// with the screen's resolution (the side with the horizontal one), truncated.
PrintSquare ComputeFallbackSquare(int widthMm, int heightMm, int dpiX, int dpiY);
