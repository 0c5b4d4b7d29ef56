#include "canvas/view_math.h"

#include <algorithm>
#include <climits>
#include <cmath>

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
    ViewBlit blit = {x.dst, y.dst, x.dstLen, y.dstLen, x.src, y.src, x.srcLen, y.srcLen, false};
    blit.coversClient =
        x.dst == 0 && y.dst == 0 && x.dstLen == clientWidth && y.dstLen == clientHeight;
    return blit;
}
