#include "view/view_step.h"

#include <algorithm>
#include <cmath>

namespace {

// The origin with the fraction that the carry holds for it, in canvas pixels.
struct ExactOrigin {
    double x;
    double y;
};

ExactOrigin ExactOriginOf(const ViewState& view) {
    return {view.originX + view.carryX, view.originY + view.carryY};
}

// One axis: the whole pixels become the origin, the fraction the carry.
void PlaceAxis(double exact, int& origin, double& carry) {
    origin = TruncToInt(std::floor(exact));
    carry = exact - origin;
}

// Shows the view from the exact origin `origin`, clamped.
void PlaceView(ViewState& view, const ClientExtent& client, ExactOrigin origin) {
    PlaceAxis(origin.x, view.originX, view.carryX);
    PlaceAxis(origin.y, view.originY, view.carryY);
    ClampView(view, client);
}

int ExtentAlong(const ClientExtent& client, Axis axis) {
    return axis == Axis::X ? client.width : client.height;
}

void ScrollBy(ViewState& view, const ClientExtent& client, Axis axis, double by) {
    ExactOrigin origin = ExactOriginOf(view);
    (axis == Axis::X ? origin.x : origin.y) += by;
    PlaceView(view, client, origin);
}

// A quarter power of two as a zoom, exactly so when it lies within rounding of one.
double SnapToQuarterPower(double zoom) {
    const double quarters = std::log2(zoom) * 4.0;
    const double nearest = std::round(quarters);
    return std::fabs(quarters - nearest) < 1e-6 ? std::exp2(nearest / 4.0) : zoom;
}

// The whole canvas pixel under client coordinate `client` of an axis, and the origin that keeps
// it there at the new size of a canvas pixel: the client coordinate still falls inside that pixel.
int OriginKeeping(double exactOrigin, int client, double pixelsBefore, double pixelsAfter) {
    const double pixel = std::floor(exactOrigin + client / pixelsBefore + 1e-9);
    return TruncToInt(pixel - std::floor(client / pixelsAfter));
}

} // namespace

void ScrollByLines(ViewState& view, const ClientExtent& client, Axis axis, double lines) {
    ScrollBy(view, client, axis, lines * SCROLL_LINE / view.zoom);
}

void ScrollByPages(ViewState& view, const ClientExtent& client, Axis axis, double pages) {
    const double extent = ExtentAlong(client, axis) / view.scale; // in units
    const double page = std::max(extent - SCROLL_LINE, static_cast<double>(SCROLL_LINE));
    ScrollBy(view, client, axis, pages * page / view.zoom);
}

void ScrollToPosition(ViewState& view, const ClientExtent& client, Axis axis, double position) {
    ExactOrigin origin = ExactOriginOf(view);
    (axis == Axis::X ? origin.x : origin.y) = position;
    PlaceView(view, client, origin);
}

void ShiftByClientPixels(ViewState& view, const ClientExtent& client, double dx, double dy) {
    const ExactOrigin origin = ExactOriginOf(view);
    const double pixels = PixelsPerCanvasPixel(view);
    PlaceView(view, client, {origin.x - dx / pixels, origin.y - dy / pixels});
}

void ZoomBy(ViewState& view, const ClientExtent& client, double factor, PixelPoint about) {
    const ExactOrigin from = ExactOriginOf(view);
    const double before = PixelsPerCanvasPixel(view);
    view.zoom = ClampZoom(SnapToQuarterPower(view.zoom * factor));
    const double after = PixelsPerCanvasPixel(view);
    // The view starts on whole pixels: a fraction carried from before would move the pixel.
    view.originX = OriginKeeping(from.x, about.x, before, after);
    view.originY = OriginKeeping(from.y, about.y, before, after);
    view.carryX = 0.0;
    view.carryY = 0.0;
    ClampView(view, client);
}

double ZoomNotchFactor(double notches) {
    return std::exp2(notches / 4.0);
}

void RescaleView(ViewState& view, const ClientExtent& before, const ClientExtent& after,
                 double scale) {
    const ExactOrigin from = ExactOriginOf(view);
    const double pixelsBefore = PixelsPerCanvasPixel(view);
    const double centreX = from.x + before.width / 2.0 / pixelsBefore;
    const double centreY = from.y + before.height / 2.0 / pixelsBefore;
    view.scale = scale;
    const double pixelsAfter = PixelsPerCanvasPixel(view);
    PlaceView(
        view, after,
        {centreX - after.width / 2.0 / pixelsAfter, centreY - after.height / 2.0 / pixelsAfter});
}
