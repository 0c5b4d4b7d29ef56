// The view's own commands: scroll by lines or pages, scroll to a position, shift by client pixels,
// zoom by a factor about a point. The wheel, the keys, the scroll bars, a drag and the gestures are
// decoded into them; each takes the view and the client's size and leaves the view to show,
// clamped as every view is. Platform-free.
#pragma once

#include "view/view_math.h"

// A line of scrolling in units (screen pixels at 96 DPI): an arrow key, a scroll-bar arrow, one of
// the wheel's lines.
constexpr int SCROLL_LINE = 40;

enum class Axis { X, Y };

// Scrolls by `lines` lines, fractions of a line too: positive down or right.
void ScrollByLines(ViewState& view, const ClientExtent& client, Axis axis, double lines);
// Scrolls by `pages`: a page is what the client shows less a line, so that a line of the last
// page stays in sight.
void ScrollByPages(ViewState& view, const ClientExtent& client, Axis axis, double pages);
// Puts the origin of one axis at a canvas position.
void ScrollToPosition(ViewState& view, const ClientExtent& client, Axis axis, double position);
// Moves the canvas with a pointer or fingers that moved by (dx, dy) client pixels: the canvas
// keeps to them at every scale.
void ShiftByClientPixels(ViewState& view, const ClientExtent& client, double dx, double dy);
// Zooms by `factor`, within the zoom's bounds, keeping the canvas pixel under client point `about`
// under it. A zoom that lands within rounding of a quarter power of two is that power exactly, so
// that zooming in and out again gives zoom 1 back, where the view shows the canvas pixel for pixel.
void ZoomBy(ViewState& view, const ClientExtent& client, double factor, PixelPoint about);
// The factor of `notches` notches of the wheel, or presses of a zoom key: 2^(1/4) each.
double ZoomNotchFactor(double notches);
// The window's scale changes (its DPI changed, the window went to another screen) with its client
// from `before` to `after`: the canvas point at the client's centre stays at its centre.
void RescaleView(ViewState& view, const ClientExtent& before, const ClientExtent& after,
                 double scale);
