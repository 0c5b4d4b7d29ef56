// Lengths set for a 96-DPI screen, drawn at the screen's own DPI. Platform-free.
#pragma once

// The DPI at which a unit is one pixel: 100 % in the display settings.
constexpr int UNIT_DPI = 96;

// A length measured at `fromDpi` as pixels at `toDpi`: to the nearest pixel, halves away from
// zero (as MulDiv rounds, and as Windows scales its own sizes), kept within int. A DPI that is
// not positive leaves the length as it is.
int ScaleLength(int length, int fromDpi, int toDpi);

// A length in 96-DPI units as pixels at `dpi`; at 96 DPI every length stays as it is.
inline int UnitsToPixels(int units, int dpi) {
    return ScaleLength(units, UNIT_DPI, dpi);
}
