// The view on a screen at 192 DPI (200 %), where a unit of the view's lengths is two screen pixels
// and zoom 1 shows a canvas pixel as a block of 2 x 2.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "records/app_window.h"
#include "records/settings.h"
#include "records/window_dpi.h"
#include "view/view.h"
#include "view_pictures.h"
#include "wine_app.h"

namespace {

int UnlikeWholeRepaint() {
    POINT first = {};
    return CountPixelsUnlikeWholeRepaint(first);
}

TEST(ViewAt192Dpi, StrokesWheelZoomBarsAndDpiChangesKeepToTheUnits) {
    StartTestWindow(800, 600);
    ASSERT_EQ(g_view.scale, 2.0) << "not run in the 192-DPI prefix";
    // Without Windows 10's look-up (Windows 7) the window's DPI is the system's. Wine has it: a
    // misspelt name would leave every Windows without it.
    const GetDpiForWindowFunction lookUp = g_getDpiForWindow;
    ASSERT_NE(lookUp, nullptr);
    g_getDpiForWindow = nullptr;
    EXPECT_EQ(WindowDpi(g_app.hwnd), 192);
    g_getDpiForWindow = lookUp;
    ResetInkLayer();
    PaintNoise(g_canvas.background, 11u);
    g_settings.backgroundEnabled = 1;
    g_view.zoom = 1.0;
    g_view.originX = g_view.originY = 0;
    PaintView(PaintForm::Immediate);
    // A stroke through client (100, 100) and (300, 200) lands on canvas (50, 50) and (150, 100).
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(100, 100));
    SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(300, 200));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 100, 75), BLACK);
    EXPECT_EQ(UnlikeWholeRepaint(), 0);
    // Nothing is smoothed: each canvas pixel of the noise shows as one colour over 2 x 2.
    const std::vector<std::uint32_t> shown = ReadClientArea();
    int blurred = 0;
    for (size_t y = 0; y < 200; y += 2) {
        for (size_t at = y * 800 + 400; at < y * 800 + 600; at += 2) {
            blurred += (shown[at + 1] != shown[at]) + (shown[at + 801] != shown[at]);
        }
    }
    EXPECT_EQ(blurred, 0);
    // A notch of the wheel scrolls 3 lines of 40 units: 120 canvas pixels at zoom 1.
    SendToMainWindow(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), PackScreenPoint(10, 10));
    EXPECT_EQ(g_view.originY, 120);
    // Ctrl with the wheel keeps the canvas pixel under the pointer there.
    const PixelPoint under = ClientToCanvas(g_view, {401, 301});
    SendToMainWindow(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), PackScreenPoint(401, 301));
    EXPECT_EQ(ClientToCanvas(g_view, {401, 301}).x, under.x);
    EXPECT_EQ(ClientToCanvas(g_view, {401, 301}).y, under.y);
    EXPECT_EQ(UnlikeWholeRepaint(), 0);
    EXPECT_EQ(ReadScrollBar(SB_HORZ).nPage, static_cast<UINT>(VisibleSpan(800, g_view.zoom * 2)));
    // The window goes to screens of 96, 144 and 192 DPI: it takes the size the system suggests,
    // the canvas point at the client's centre stays there, the stroke in progress ends, and
    // nothing on the canvas changes.
    const std::vector<std::uint32_t> ink = ReadLayer(g_canvas.ink);
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(100, 100));
    for (int dpi : {96, 144, 192}) {
        SCOPED_TRACE(dpi);
        ClientExtent size = ReadClientSize();
        const PixelPoint centre = ClientToCanvas(g_view, {size.width / 2, size.height / 2});
        RECT suggested, taken;
        GetWindowRect(g_app.hwnd, &suggested);
        suggested.right = suggested.left + 800 * dpi / 192 + 100;
        suggested.bottom = suggested.top + 600 * dpi / 192 + 100;
        SendToMainWindow(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        PumpMessages();
        SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(200, 150));
        EXPECT_EQ(g_view.scale, dpi / 96.0);
        GetWindowRect(g_app.hwnd, &taken);
        EXPECT_TRUE(EqualRect(&taken, &suggested));
        size = ReadClientSize();
        EXPECT_NEAR(ClientToCanvas(g_view, {size.width / 2, size.height / 2}).x, centre.x, 1);
        EXPECT_NEAR(ClientToCanvas(g_view, {size.width / 2, size.height / 2}).y, centre.y, 1);
        EXPECT_TRUE(ReadLayer(g_canvas.ink) == ink);
        EXPECT_EQ(UnlikeWholeRepaint(), 0);
    }
    StartTestWindow(800, 600);
}

} // namespace
