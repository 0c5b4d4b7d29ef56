// Points and rectangles of pixels, and the pixels a stroke's segment can change. Platform-free.
#pragma once

struct PixelPoint {
    int x;
    int y;
};

// A rectangle of pixels, right and bottom exclusive.
struct PixelRect {
    int left, top, right, bottom;
};

constexpr PixelRect EMPTY_RECT = {0, 0, 0, 0};

inline bool IsEmptyRect(const PixelRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

PixelRect UniteRects(const PixelRect& a, const PixelRect& b);
PixelRect IntersectRects(const PixelRect& a, const PixelRect& b);

// The canvas pixels that a segment drawn with a pen `width` wide can change: its two ends widened
// by half the width and a pixel of margin, cut to the canvas.
PixelRect SegmentBounds(PixelPoint from, PixelPoint to, int width);
