#include "canvas/pixel_rect.h"

#include <algorithm>
#include <cstdlib>

#include "records/basics.h"

PixelRect UniteRects(const PixelRect& a, const PixelRect& b) {
    if (IsEmptyRect(a)) {
        return b;
    }
    if (IsEmptyRect(b)) {
        return a;
    }
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

PixelRect IntersectRects(const PixelRect& a, const PixelRect& b) {
    const PixelRect cut = {std::max(a.left, b.left), std::max(a.top, b.top),
                           std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return IsEmptyRect(cut) ? EMPTY_RECT : cut;
}

namespace {

// [low - reach, high + reach] cut to the canvas, as a half-open span.
void SpanOnCanvas(int a, int b, long long reach, int& first, int& end) {
    const long long low = std::min(a, b) - reach;
    const long long high = std::max(a, b) + reach + 1;
    first = static_cast<int>(std::clamp<long long>(low, 0, CANVAS_SIZE));
    end = static_cast<int>(std::clamp<long long>(high, 0, CANVAS_SIZE));
}

} // namespace

PixelRect SegmentBounds(PixelPoint from, PixelPoint to, int width) {
    // A width read from a hand-edited settings file may be anything; GDI draws its magnitude.
    const long long reach = std::llabs(static_cast<long long>(width)) / 2 + 1;
    PixelRect bounds;
    SpanOnCanvas(from.x, to.x, reach, bounds.left, bounds.right);
    SpanOnCanvas(from.y, to.y, reach, bounds.top, bounds.bottom);
    return IsEmptyRect(bounds) ? EMPTY_RECT : bounds;
}
