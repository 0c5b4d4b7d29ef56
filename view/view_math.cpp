#include "view/view_math.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

ViewState g_view = {1.0, 0, 0, NO_POINT};

PixelPoint UnpackPoint(std::uint32_t packed) {
    return {static_cast<int>(packed & 0xFFFFu), static_cast<int>(packed >> 16)};
}

int VisibleSpan(int clientExtent, double zoom) {
    return TruncToInt(clientExtent / zoom);
}

double ClampZoom(double zoom) {
    return zoom > MAX_ZOOM ? MAX_ZOOM : zoom >= MIN_ZOOM ? zoom : MIN_ZOOM;
}

namespace {

// One axis of the origin, whole pixels and carry, kept between 0 and the last origin that still
// fills the client with canvas; that one wins when the client shows more than the canvas.
void ClampAxis(int& origin, double& carry, int clientExtent, double zoom) {
    const double last = CANVAS_SIZE - static_cast<double>(VisibleSpan(clientExtent, zoom));
    const double exact = origin + carry;
    const double kept = std::min(std::max(exact, 0.0), last);
    if (kept != exact) {
        origin = TruncToInt(kept);
        carry = 0.0;
    }
}

} // namespace

void ClampView(ViewState& view, const ClientExtent& client) {
    view.zoom = ClampZoom(view.zoom);
    ClampAxis(view.originX, view.carryX, client.width, view.zoom);
    ClampAxis(view.originY, view.carryY, client.height, view.zoom);
}

PixelPoint ClientToCanvas(const ViewState& view, PixelPoint client) {
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

std::optional<PixelPoint> ShiftOnClient(const ViewState& before, const ViewState& after,
                                        const ClientExtent& client) {
    PixelPoint shift = {0, 0};
    if (before.zoom != after.zoom ||
        !ShiftAxis(before.originX, after.originX, client.width, after.zoom, shift.x) ||
        !ShiftAxis(before.originY, after.originY, client.height, after.zoom, shift.y)) {
        return std::nullopt;
    }
    return shift;
}

namespace {

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
