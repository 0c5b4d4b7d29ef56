// The view on a screen at 192 DPI (200 %), where a unit of the view's lengths is two screen pixels
// and zoom 1 shows a canvas pixel as a block of 2 x 2.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "records/app_window.h"
#include "records/settings.h"
#include "view/view.h"
#include "view_pictures.h"
#include "wine_app.h"

namespace {

class ViewAt192Dpi : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow(800, 600);
        ResetInkLayer();
        PaintNoise(g_canvas.background, 11u);
        g_settings.backgroundEnabled = 1;
        g_view.zoom = 1.0;
        g_view.originX = 0;
        g_view.originY = 0;
        PaintView(PaintForm::Immediate);
    }

    static int UnlikeWholeRepaint() {
        POINT first = {};
        const int unlike = CountPixelsUnlikeWholeRepaint(first);
        EXPECT_EQ(unlike, 0) << "first at " << first.x << "," << first.y;
        return unlike;
    }
};

TEST_F(ViewAt192Dpi, AStrokeAWheelNotchAZoomAndTheBarsKeepToTheUnits) {
    ASSERT_EQ(g_view.scale, 2.0) << "not run in the 192-DPI prefix";
    // A stroke through client (100, 100) and (300, 200) lands on canvas (50, 50) and (150, 100).
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(100, 100));
    SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(300, 200));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 100, 75), BLACK);
    UnlikeWholeRepaint();
    // Nothing is smoothed: every canvas pixel of the noise shows as one colour over 2 x 2.
    const std::vector<std::uint32_t> shown = ReadClientArea();
    int unlikeInBlock = 0;
    for (int y = 0; y < 200; y += 2) {
        for (int x = 400; x < 600; x += 2) {
            const std::uint32_t p = shown[static_cast<size_t>(y) * 800 + x];
            unlikeInBlock += shown[static_cast<size_t>(y) * 800 + x + 1] != p;
            unlikeInBlock += shown[static_cast<size_t>(y + 1) * 800 + x + 1] != p;
        }
    }
    EXPECT_EQ(unlikeInBlock, 0);
    // A notch of the wheel scrolls 3 lines of 40 units: 120 canvas pixels at zoom 1.
    SendToMainWindow(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), PackScreenPoint(10, 10));
    EXPECT_EQ(g_view.originY, 120);
    UnlikeWholeRepaint();
    // Ctrl with the wheel keeps the canvas pixel under the pointer there.
    const PixelPoint under = ClientToCanvas(g_view, {401, 301});
    SendToMainWindow(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), PackScreenPoint(401, 301));
    EXPECT_NEAR(g_view.zoom, 1.189207, 1e-6);
    EXPECT_EQ(ClientToCanvas(g_view, {401, 301}).x, under.x);
    EXPECT_EQ(ClientToCanvas(g_view, {401, 301}).y, under.y);
    UnlikeWholeRepaint();
    // A bar's page is the canvas pixels the client shows.
    EXPECT_EQ(ReadScrollBar(SB_HORZ).nPage, static_cast<UINT>(VisibleSpan(800, g_view.zoom * 2)));
    EXPECT_EQ(ReadScrollBar(SB_VERT).nPage, static_cast<UINT>(VisibleSpan(600, g_view.zoom * 2)));
}

// The window goes to screens of 96, 144 and 192 DPI: each time it takes the size the system
// suggests, the scale changes, the canvas point at the client's centre stays there, the stroke in
// progress ends, and nothing on the canvas changes.
TEST_F(ViewAt192Dpi, ADpiChangeKeepsTheCentreAndChangesNothingOnTheCanvas) {
    g_view.originX = 500;
    g_view.originY = 600;
    PaintView(PaintForm::Immediate);
    const std::vector<std::uint32_t> ink = ReadLayer(g_canvas.ink);
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(100, 100));
    for (int dpi : {96, 144, 192}) {
        SCOPED_TRACE(dpi);
        ClientExtent size = ReadClientSize();
        const PixelPoint centre = ClientToCanvas(g_view, {size.width / 2, size.height / 2});
        RECT suggested;
        GetWindowRect(g_app.hwnd, &suggested);
        const double factor = dpi / (96 * g_view.scale);
        suggested.right = suggested.left + static_cast<LONG>(400 * factor) * 2;
        suggested.bottom = suggested.top + static_cast<LONG>(300 * factor) * 2;
        SendToMainWindow(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        PumpMessages();
        SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(200, 150));
        EXPECT_EQ(g_view.scale, dpi / 96.0);
        RECT window;
        GetWindowRect(g_app.hwnd, &window);
        EXPECT_EQ(window.right - window.left, suggested.right - suggested.left);
        size = ReadClientSize();
        const PixelPoint kept = ClientToCanvas(g_view, {size.width / 2, size.height / 2});
        EXPECT_NEAR(kept.x, centre.x, 1);
        EXPECT_NEAR(kept.y, centre.y, 1);
        EXPECT_TRUE(ReadLayer(g_canvas.ink) == ink);
        UnlikeWholeRepaint();
    }
    StartTestWindow(800, 600);
}

} // namespace
