// The view's arithmetic: client-to-canvas mapping, the clamp of the zoom and the origin, and the
// visible rectangle. Platform-free.
#pragma once

#include <cstdint>
#include <optional>

#include "canvas/pixel_rect.h"
#include "records/basics.h"

struct ViewState {
    double zoom;
    int originX;
    int originY;
    // The previous pointer position of the stroke in progress, in client pixels.
    PixelPoint lastPoint;
    // The part of a canvas pixel that scrolls moved the view by beyond the whole-pixel origin, so
    // that slow moves add up: the exact origin is originX + carryX. From 0 up to 1.
    double carryX = 0.0;
    double carryY = 0.0;
    // Screen pixels per unit, a pixel of a 96-DPI screen: the window's DPI / 96. The zoom counts
    // canvas pixels per unit, so zoom 1 shows the canvas at the size Windows gives at any scale.
    double scale = 1.0;
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

constexpr PixelPoint NO_POINT = {-1, -1};

inline bool IsNoPoint(PixelPoint p) {
    return p.x == -1 && p.y == -1;
}

inline bool StrokeInProgress(const ViewState& view) {
    return !IsNoPoint(view.lastPoint);
}

// A pointer message's lParam: x in the low word, y in the high word, both unsigned.
PixelPoint UnpackPoint(std::uint32_t packed);

// Screen pixels per canvas pixel: the zoom at the window's scale.
inline double PixelsPerCanvasPixel(const ViewState& view) {
    return view.zoom * view.scale;
}

// The scale of a window at `dpi`.
double ScaleOfDpi(int dpi);

// Canvas pixels shown across a client extent: trunc(extent / pixels per canvas pixel).
int VisibleSpan(int clientExtent, double pixelsPerCanvasPixel);

// The zoom within its bounds; NaN gives the smallest.
double ClampZoom(double zoom);
// Keeps the zoom within its bounds and the exact origin inside the canvas for a client of `client`;
// the upper bound of the origin is applied last and wins. An axis that had to move carries nothing.
void ClampView(ViewState& view, const ClientExtent& client);

PixelPoint ClientToCanvas(const ViewState& view, PixelPoint client);

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
// shows exactly what a repaint of the whole shows; nothing when the zoom changed, when an axis
// moved at a zoom whose stretch does not repeat over the whole client pixels it moved by, or when
// the move is as wide as the client.
std::optional<PixelPoint> ShiftOnClient(const ViewState& before, const ViewState& after,
                                        const ClientExtent& client);

// The client pixels whose picture can depend on the canvas pixels of `canvas` (those a shrinking
// stretch merges into one included), with two units of margin for the stretch's rounding, cut to
// the part of the client that shows canvas.
PixelRect ClientRectShowing(const ViewState& view, const ViewBlit& blit, const PixelRect& canvas);
