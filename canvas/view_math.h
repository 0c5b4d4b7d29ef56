// The view's arithmetic: client-to-canvas mapping, origin clamping and the visible rectangle.
// Platform-free.
#pragma once

#include <cstdint>

#include "records/basics.h"

struct ViewPoint {
    int x;
    int y;
};

struct ViewState {
    double zoom;
    int originX;
    int originY;
    ViewPoint lastPoint;
};

extern ViewState g_view;

// The zoom's bounds, which every way of zooming keeps.
constexpr double MIN_ZOOM = 0.5;
constexpr double MAX_ZOOM = 2.0;

// The client area's size in pixels.
struct ClientExtent {
    int width;
    int height;
};

constexpr ViewPoint NO_POINT = {-1, -1};

inline bool IsNoPoint(ViewPoint p) {
    return p.x == -1 && p.y == -1;
}

inline bool StrokeInProgress(const ViewState& view) {
    return !IsNoPoint(view.lastPoint);
}

// A pointer message's lParam: x in the low word, y in the high word, both unsigned.
ViewPoint UnpackPoint(std::uint32_t packed);

// Canvas pixels shown across a client extent: trunc(extent / zoom).
int VisibleSpan(int clientExtent, double zoom);

// Keeps the origin inside the canvas; the upper bound is applied last and wins.
void ClampOrigin(ViewState& view, int clientWidth, int clientHeight);

ViewPoint ClientToCanvas(const ViewState& view, ViewPoint client);

// The part of the canvas that the client area shows, and where it lands in the client area.
// Normally the whole client area shows canvas; when the client area shows more than the canvas
// (negative origin, or a view wider than the canvas) the source is cut to the canvas and the
// destination shrinks with it, so nothing is read from outside the layers.
struct ViewBlit {
    int dstX, dstY, dstW, dstH;
    int srcX, srcY, srcW, srcH;
};

ViewBlit ComputeViewBlit(const ViewState& view, int clientWidth, int clientHeight);

// How far the client's pixels move when the view goes from `before` to `after`, when moving them
// shows exactly what a repaint of the whole shows: false when the zoom changed, when an axis moved
// at a zoom whose stretch does not repeat over the whole client pixels it moved by, or when the
// move is as wide as the client.
bool ShiftOnClient(const ViewState& before, const ViewState& after, const ClientExtent& client,
                   ViewPoint& shift);

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
PixelRect SegmentBounds(ViewPoint from, ViewPoint to, int width);

// The client pixels whose picture can depend on the canvas pixels of `canvas` (those a shrinking
// stretch merges into one included), cut to the part of the client that shows canvas.
PixelRect ClientRectShowing(const ViewBlit& blit, const PixelRect& canvas);
