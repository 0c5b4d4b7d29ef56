#include "view/view_math.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "records/dpi_scale.h"

ViewState g_view = {1.0, 0, 0, NO_POINT};

PixelPoint UnpackPoint(std::uint32_t packed) {
    return {static_cast<int>(packed & 0xFFFFu), static_cast<int>(packed >> 16)};
}

double ScaleOfDpi(int dpi) {
    return dpi > 0 ? static_cast<double>(dpi) / UNIT_DPI : 1.0;
}

int VisibleSpan(int clientExtent, double pixelsPerCanvasPixel) {
    return TruncToInt(clientExtent / pixelsPerCanvasPixel);
}

double ClampZoom(double zoom) {
    return zoom > MAX_ZOOM ? MAX_ZOOM : zoom >= MIN_ZOOM ? zoom : MIN_ZOOM;
}

namespace {

// One axis of the origin, whole pixels and carry, kept between 0 and the last origin that still
// fills the client with canvas; that one wins when the client shows more than the canvas.
void ClampAxis(int& origin, double& carry, int clientExtent, double pixelsPerCanvasPixel) {
    const double last =
        CANVAS_SIZE - static_cast<double>(VisibleSpan(clientExtent, pixelsPerCanvasPixel));
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
    ClampAxis(view.originX, view.carryX, client.width, PixelsPerCanvasPixel(view));
    ClampAxis(view.originY, view.carryY, client.height, PixelsPerCanvasPixel(view));
}

PixelPoint ClientToCanvas(const ViewState& view, PixelPoint client) {
    const double pixels = PixelsPerCanvasPixel(view);
    return {TruncToInt(client.x / pixels + view.originX),
            TruncToInt(client.y / pixels + view.originY)};
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
    const int visibleW = VisibleSpan(clientWidth, PixelsPerCanvasPixel(view));
    const int visibleH = VisibleSpan(clientHeight, PixelsPerCanvasPixel(view));
    const Span x = CutToCanvas(view.originX, visibleW, clientWidth);
    const Span y = CutToCanvas(view.originY, visibleH, clientHeight);
    return {x.dst, y.dst, x.dstLen, y.dstLen, x.src, y.src, x.srcLen, y.srcLen};
}

namespace {

// One axis of a move. The stretch maps the visible canvas onto the client the same way wherever
// it starts only when a canvas pixel covers a whole number of client pixels, or a client pixel a
// whole number of canvas pixels, and the client is exactly that many times the visible canvas:
// at zoom 1, 2 and 0.5 on a 96-DPI screen, and at zoom 1 (blocks of 2 x 2) on a 192-DPI one.
// Elsewhere the stretch's rounding falls differently after a move.
bool ShiftAxis(int before, int after, int extent, double pixels, int& shift) {
    shift = 0;
    if (before == after) {
        return true;
    }
    const bool whole = pixels >= 1.0 ? pixels == std::trunc(pixels)
                                     : 1.0 / pixels == std::trunc(1.0 / pixels);
    const bool repeating =
        whole && VisibleSpan(extent, pixels) * pixels == static_cast<double>(extent);
    const double moved = (static_cast<double>(before) - after) * pixels;
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
    const double pixels = PixelsPerCanvasPixel(after);
    if (PixelsPerCanvasPixel(before) != pixels ||
        !ShiftAxis(before.originX, after.originX, client.width, pixels, shift.x) ||
        !ShiftAxis(before.originY, after.originY, client.height, pixels, shift.y)) {
        return std::nullopt;
    }
    return shift;
}

namespace {

// The destination pixels of one stretch axis that show the source span [first, end), with
// `margin` pixels for the rounding of the stretch, cut to what the axis shows.
void SpanOnClient(int dst, int dstLen, int src, int srcLen, int first, int end, int margin,
                  int& left, int& right) {
    const double scale = static_cast<double>(dstLen) / srcLen;
    const long long low = dst + static_cast<long long>(std::floor((first - src) * scale)) - margin;
    const long long high = dst + static_cast<long long>(std::ceil((end - src) * scale)) + margin;
    left = static_cast<int>(std::clamp<long long>(low, dst, static_cast<long long>(dst) + dstLen));
    right =
        static_cast<int>(std::clamp<long long>(high, dst, static_cast<long long>(dst) + dstLen));
}

} // namespace

PixelRect ClientRectShowing(const ViewState& view, const ViewBlit& blit, const PixelRect& canvas) {
    if (IsEmptyRect(canvas) || blit.srcW <= 0 || blit.srcH <= 0) {
        return EMPTY_RECT;
    }
    const int margin = TruncToInt(std::ceil(2.0 * view.scale));
    PixelRect client;
    SpanOnClient(blit.dstX, blit.dstW, blit.srcX, blit.srcW, canvas.left, canvas.right, margin,
                 client.left, client.right);
    SpanOnClient(blit.dstY, blit.dstH, blit.srcY, blit.srcH, canvas.top, canvas.bottom, margin,
                 client.top, client.bottom);
    return IsEmptyRect(client) ? EMPTY_RECT : client;
}
