#include "canvas/view_math.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

ViewState g_view = {1.0, 0, 0, NO_POINT};

ViewPoint UnpackPoint(std::uint32_t packed) {
    return {static_cast<int>(packed & 0xFFFFu), static_cast<int>(packed >> 16)};
}

int VisibleSpan(int clientExtent, double zoom) {
    return TruncToInt(clientExtent / zoom);
}

void ClampOrigin(ViewState& view, int clientWidth, int clientHeight) {
    if (view.originX < 0) {
        view.originX = 0;
    }
    if (view.originY < 0) {
        view.originY = 0;
    }
    const long long maxX =
        CANVAS_SIZE - static_cast<long long>(VisibleSpan(clientWidth, view.zoom));
    const long long maxY =
        CANVAS_SIZE - static_cast<long long>(VisibleSpan(clientHeight, view.zoom));
    if (view.originX > maxX) {
        view.originX = static_cast<int>(std::max<long long>(maxX, INT_MIN));
    }
    if (view.originY > maxY) {
        view.originY = static_cast<int>(std::max<long long>(maxY, INT_MIN));
    }
}

ViewPoint ClientToCanvas(const ViewState& view, ViewPoint client) {
    return {TruncToInt(client.x / view.zoom + view.originX),
            TruncToInt(client.y / view.zoom + view.originY)};
}

namespace {

struct Span {
    int dst, dstLen, src, srcLen;
};

// One axis of the blit: the canvas range [origin, origin + visible) cut to [0, CANVAS_SIZE).
Span CutToCanvas(int origin, int visible, int clientExtent) {
    const long long first = std::max<long long>(origin, 0);
    const long long last =
        std::min<long long>(static_cast<long long>(origin) + visible, CANVAS_SIZE);
    if (visible <= 0 || last <= first) {
        return {0, 0, 0, 0};
    }
    if (first == origin && last == static_cast<long long>(origin) + visible) {
        return {0, clientExtent, origin, visible};
    }
    const double scale = static_cast<double>(clientExtent) / visible;
    const int dstFirst = TruncToInt(std::lround(static_cast<double>(first - origin) * scale));
    const int dstLast = TruncToInt(std::lround(static_cast<double>(last - origin) * scale));
    return {dstFirst, dstLast - dstFirst, static_cast<int>(first), static_cast<int>(last - first)};
}

} // namespace

ViewBlit ComputeViewBlit(const ViewState& view, int clientWidth, int clientHeight) {
    const int visibleW = VisibleSpan(clientWidth, view.zoom);
    const int visibleH = VisibleSpan(clientHeight, view.zoom);
    const Span x = CutToCanvas(view.originX, visibleW, clientWidth);
    const Span y = CutToCanvas(view.originY, visibleH, clientHeight);
    return {x.dst, y.dst, x.dstLen, y.dstLen, x.src, y.src, x.srcLen, y.srcLen};
}

namespace {

// One axis of a move. The stretch maps the visible canvas onto the client the same way wherever
// it starts only at zoom 1, and at zoom 2 and 0.5 when the client is exactly twice or half the
// visible canvas: there every pair of client pixels shows one canvas pixel, or every client pixel
// a pair of canvas pixels. Elsewhere the stretch's rounding falls differently after a move.
bool ShiftAxis(int before, int after, int extent, double zoom, int& shift) {
    shift = 0;
    if (before == after) {
        return true;
    }
    const bool repeating = (zoom == 1.0 || zoom == 2.0 || zoom == 0.5) &&
                           VisibleSpan(extent, zoom) * zoom == static_cast<double>(extent);
    const double moved = (static_cast<double>(before) - after) * zoom;
    if (!repeating || moved != std::trunc(moved) || std::fabs(moved) >= extent) {
        return false;
    }
    shift = static_cast<int>(moved);
    return true;
}

} // namespace

bool ShiftOnClient(const ViewState& before, const ViewState& after, const ClientExtent& client,
                   ViewPoint& shift) {
    return before.zoom == after.zoom &&
           ShiftAxis(before.originX, after.originX, client.width, after.zoom, shift.x) &&
           ShiftAxis(before.originY, after.originY, client.height, after.zoom, shift.y);
}

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

// The destination pixels of one stretch axis that show the source span [first, end), with two
// pixels of margin for the rounding of the stretch, cut to what the axis shows.
void SpanOnClient(int dst, int dstLen, int src, int srcLen, int first, int end, int& left,
                  int& right) {
    const double scale = static_cast<double>(dstLen) / srcLen;
    const long long low = dst + static_cast<long long>(std::floor((first - src) * scale)) - 2;
    const long long high = dst + static_cast<long long>(std::ceil((end - src) * scale)) + 2;
    left = static_cast<int>(std::clamp<long long>(low, dst, static_cast<long long>(dst) + dstLen));
    right =
        static_cast<int>(std::clamp<long long>(high, dst, static_cast<long long>(dst) + dstLen));
}

} // namespace

PixelRect SegmentBounds(ViewPoint from, ViewPoint to, int width) {
    // A width read from a hand-edited settings file may be anything; GDI draws its magnitude.
    const long long reach = std::llabs(static_cast<long long>(width)) / 2 + 1;
    PixelRect bounds;
    SpanOnCanvas(from.x, to.x, reach, bounds.left, bounds.right);
    SpanOnCanvas(from.y, to.y, reach, bounds.top, bounds.bottom);
    return IsEmptyRect(bounds) ? EMPTY_RECT : bounds;
}

PixelRect ClientRectShowing(const ViewBlit& blit, const PixelRect& canvas) {
    if (IsEmptyRect(canvas) || blit.srcW <= 0 || blit.srcH <= 0) {
        return EMPTY_RECT;
    }
    PixelRect client;
    SpanOnClient(blit.dstX, blit.dstW, blit.srcX, blit.srcW, canvas.left, canvas.right, client.left,
                 client.right);
    SpanOnClient(blit.dstY, blit.dstH, blit.srcY, blit.srcH, canvas.top, canvas.bottom, client.top,
                 client.bottom);
    return IsEmptyRect(client) ? EMPTY_RECT : client;
}
