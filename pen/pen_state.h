// The pen in use, the pen the eraser returns to, and the start-up pen. Platform-free.
#pragma once

#include <cstdint>

// A Windows COLORREF: 0x00BBGGRR, red in the low byte.
using PenColor = std::uint32_t;

// White ink is empty: the eraser is nothing but a pure-white pen.
constexpr PenColor ERASER_COLOR = 0xFFFFFF;
constexpr int ERASER_WIDTH = 32;

struct PenState {
    PenColor color;
    int width;
    PenColor savedColor;
    int savedWidth;
    PenColor startupColor;
    int startupWidth;
};

extern PenState g_pen;

inline bool IsEraser(const PenState& pen) {
    return pen.color == ERASER_COLOR;
}

// Records the pen in use as the one to return to, unless it is the eraser.
void RememberPen(PenState& pen);

// Eraser off → on keeps the pen and takes a 32-pixel white pen; on → off restores the kept pen.
void SwitchEraser(PenState& pen);
