#include "canvas/view_step.h"

#include <algorithm>
#include <cmath>

ScrollCarry g_scrollCarry;

namespace {

// The origin with the fractions that the carry holds for it, in canvas pixels.
struct ExactOrigin {
    double x;
    double y;
};

ExactOrigin ExactOriginOf(const ScrollCarry& carry, const ViewState& view) {
    const bool current = carry.view.zoom == view.zoom && carry.view.originX == view.originX &&
                         carry.view.originY == view.originY;
    return {view.originX + (current ? carry.x : 0.0), view.originY + (current ? carry.y : 0.0)};
}

// Shows the view from the exact origin `origin` at `zoom`: the whole pixels become the origin, the
// fractions the carry. An axis that the clamp stopped carries nothing.
void PlaceView(ScrollCarry& carry, ViewState& view, const ClientExtent& client, double zoom,
               ExactOrigin origin) {
    view.zoom = zoom;
    view.originX = TruncToInt(origin.x);
    view.originY = TruncToInt(origin.y);
    const ViewState unclamped = view;
    ClampOrigin(view, client.width, client.height);
    carry.x = view.originX == unclamped.originX ? origin.x - view.originX : 0.0;
    carry.y = view.originY == unclamped.originY ? origin.y - view.originY : 0.0;
    carry.view = view;
}

enum class Axis { X, Y };

int ExtentAlong(const ClientExtent& client, Axis axis) {
    return axis == Axis::X ? client.width : client.height;
}

void ScrollBy(ScrollCarry& carry, ViewState& view, const ClientExtent& client, Axis axis,
              double by) {
    ExactOrigin origin = ExactOriginOf(carry, view);
    (axis == Axis::X ? origin.x : origin.y) += by;
    PlaceView(carry, view, client, view.zoom, origin);
}

void ScrollTo(ScrollCarry& carry, ViewState& view, const ClientExtent& client, Axis axis,
              double at) {
    ExactOrigin origin = ExactOriginOf(carry, view);
    (axis == Axis::X ? origin.x : origin.y) = at;
    PlaceView(carry, view, client, view.zoom, origin);
}

// The zoom `notches` notches away. A notch is a quarter power of two; a zoom that lands within
// rounding of one is that power exactly, so that zooming in and out again gives zoom 1 back, where
// the view shows the canvas pixel for pixel.
double ZoomByNotches(double zoom, double notches) {
    double quarters = std::log2(zoom) * 4.0 + notches;
    const double nearest = std::round(quarters);
    if (std::fabs(quarters - nearest) < 1e-6) {
        quarters = nearest;
    }
    return std::clamp(std::exp2(quarters / 4.0), MIN_ZOOM, MAX_ZOOM);
}

// Zooms to `zoom` keeping the canvas point under client point `anchor` where it is.
void ZoomAbout(ScrollCarry& carry, ViewState& view, const ClientExtent& client, double zoom,
               ViewPoint anchor) {
    const ExactOrigin from = ExactOriginOf(carry, view);
    const double canvasX = from.x + anchor.x / view.zoom;
    const double canvasY = from.y + anchor.y / view.zoom;
    PlaceView(carry, view, client, zoom, {canvasX - anchor.x / zoom, canvasY - anchor.y / zoom});
}

// A page is what the client shows less a line, so that a line of the last page stays in sight.
double PageOf(const ClientExtent& client, Axis axis, double zoom) {
    return std::max(ExtentAlong(client, axis) - SCROLL_LINE, SCROLL_LINE) / zoom;
}

// Client pixels that `notches` of a wheel scroll with `perNotch` lines or pages.
double WheelPixels(unsigned perNotch, const ClientExtent& client, Axis axis, double notches) {
    if (perNotch == WHEEL_SCROLLS_PAGES) {
        return notches * PageOf(client, axis, 1.0);
    }
    return notches * perNotch * SCROLL_LINE;
}

ViewPoint ClientCentre(const ClientExtent& client) {
    return {client.width / 2, client.height / 2};
}

bool StepViewZoomKey(ScrollCarry& carry, ViewState& view, const ClientExtent& client,
                     unsigned key) {
    switch (key) {
    case KEY_CODE_OEM_PLUS:
    case KEY_CODE_ADD:
        ZoomAbout(carry, view, client, ZoomByNotches(view.zoom, 1.0), ClientCentre(client));
        return true;
    case KEY_CODE_OEM_MINUS:
    case KEY_CODE_SUBTRACT:
        ZoomAbout(carry, view, client, ZoomByNotches(view.zoom, -1.0), ClientCentre(client));
        return true;
    case KEY_CODE_0:
    case KEY_CODE_NUMPAD_0: ZoomAbout(carry, view, client, 1.0, ClientCentre(client)); return true;
    case KEY_CODE_HOME: PlaceView(carry, view, client, view.zoom, {0.0, 0.0}); return true;
    case KEY_CODE_END:
        PlaceView(carry, view, client, view.zoom, {CANVAS_SIZE, CANVAS_SIZE});
        return true;
    }
    return false;
}

} // namespace

void StepWheel(ScrollCarry& carry, ViewState& view, const ClientExtent& client,
               const WheelTurn& turn, const WheelSettings& settings) {
    const double notches = static_cast<double>(turn.delta) / WHEEL_NOTCH;
    if (turn.control && !turn.horizontal) {
        ZoomAbout(carry, view, client, ZoomByNotches(view.zoom, notches), turn.pointer);
        return;
    }
    const Axis axis = turn.horizontal || turn.shift ? Axis::X : Axis::Y;
    const double pixels =
        WheelPixels(axis == Axis::X ? settings.chars : settings.lines, client, axis, notches);
    // Turned away from the user the wheel scrolls up, or left with Shift; a tilt to the right
    // scrolls right.
    ScrollBy(carry, view, client, axis, (turn.horizontal ? pixels : -pixels) / view.zoom);
}

bool StepViewKey(ScrollCarry& carry, ViewState& view, const ClientExtent& client,
                 const KeyPress& press) {
    const double line = SCROLL_LINE / view.zoom;
    const Axis pageAxis = press.shift ? Axis::X : Axis::Y;
    switch (press.key) {
    case KEY_CODE_LEFT: ScrollBy(carry, view, client, Axis::X, -line); return true;
    case KEY_CODE_RIGHT: ScrollBy(carry, view, client, Axis::X, line); return true;
    case KEY_CODE_UP: ScrollBy(carry, view, client, Axis::Y, -line); return true;
    case KEY_CODE_DOWN: ScrollBy(carry, view, client, Axis::Y, line); return true;
    case KEY_CODE_PAGE_UP:
        ScrollBy(carry, view, client, pageAxis, -PageOf(client, pageAxis, view.zoom));
        return true;
    case KEY_CODE_PAGE_DOWN:
        ScrollBy(carry, view, client, pageAxis, PageOf(client, pageAxis, view.zoom));
        return true;
    }
    return press.control && StepViewZoomKey(carry, view, client, press.key);
}

bool StepScrollBar(ScrollCarry& carry, ViewState& view, const ClientExtent& client,
                   const ScrollBarRequest& request) {
    const Axis axis = request.horizontal ? Axis::X : Axis::Y;
    const double line = SCROLL_LINE / view.zoom;
    switch (request.request) {
    case BAR_LINE_UP: ScrollBy(carry, view, client, axis, -line); return true;
    case BAR_LINE_DOWN: ScrollBy(carry, view, client, axis, line); return true;
    case BAR_PAGE_UP:
        ScrollBy(carry, view, client, axis, -PageOf(client, axis, view.zoom));
        return true;
    case BAR_PAGE_DOWN:
        ScrollBy(carry, view, client, axis, PageOf(client, axis, view.zoom));
        return true;
    case BAR_THUMB_POSITION:
    case BAR_THUMB_TRACK: ScrollTo(carry, view, client, axis, request.trackPosition); return true;
    case BAR_TOP: ScrollTo(carry, view, client, axis, 0.0); return true;
    case BAR_BOTTOM: ScrollTo(carry, view, client, axis, CANVAS_SIZE); return true;
    }
    return false;
}

void StepDrag(ScrollCarry& carry, ViewState& view, const ClientExtent& client, ViewPoint from,
              ViewPoint to) {
    const ExactOrigin origin = ExactOriginOf(carry, view);
    PlaceView(carry, view, client, view.zoom,
              {origin.x + (static_cast<double>(from.x) - to.x) / view.zoom,
               origin.y + (static_cast<double>(from.y) - to.y) / view.zoom});
}
