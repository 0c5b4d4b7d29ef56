#include "canvas/view.h"

#include "canvas/canvas.h"
#include "imaging/system_library.h"
#include "records/app_window.h"
#include "records/scoped_gdi.h"
#include "records/settings.h"

namespace {

struct ClientSize {
    int width;
    int height;
};

ClientSize ReadClientSize() {
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    return {client.right - client.left, client.bottom - client.top};
}

// Where the client area shows no canvas (a view larger than the canvas), it shows the desk.
void FillDesk(HDC target, int width, int height) {
    RECT all = {0, 0, width, height};
    FillRect(target, &all, GetSysColorBrush(COLOR_APPWORKSPACE));
}

// Stretches the ink of the view into `stretched`, whose (0, 0) is client point (x, y). Shrinking
// ANDs the dropped ink pixels into the kept ones, so a thin stroke never vanishes below zoom 1.
void StretchInk(HDC stretched, int x, int y, HDC layer, const ViewBlit& blit) {
    SetStretchBltMode(stretched, BLACKONWHITE);
    StretchBlt(stretched, blit.dstX - x, blit.dstY - y, blit.dstW, blit.dstH, layer, blit.srcX,
               blit.srcY, blit.srcW, blit.srcH, SRCCOPY);
}

// Lays the view's ink over the client pixels `shown` of `target`, whose (0, 0) is client point
// `area` left and top; white ink is transparent.
void LayInkOver(HDC target, const PixelRect& area, const PixelRect& shown, HDC layer,
                const ViewBlit& blit) {
    const int width = shown.right - shown.left;
    const int height = shown.bottom - shown.top;
    if (blit.srcW == blit.dstW && blit.srcH == blit.dstH) { // nothing to stretch
        SystemTransparentBlt(target, shown.left - area.left, shown.top - area.top, width, height,
                             layer, blit.srcX + shown.left - blit.dstX,
                             blit.srcY + shown.top - blit.dstY, width, height, EMPTY_INK);
        return;
    }
    ScopedGdiObject<HBITMAP> stretchedBitmap(CreateCompatibleBitmap(target, width, height));
    ScopedCreateDC stretched(CreateCompatibleDC(target));
    ScopedSelect selected(stretched, stretchedBitmap);
    StretchInk(stretched, shown.left, shown.top, layer, blit);
    SystemTransparentBlt(target, shown.left - area.left, shown.top - area.top, width, height,
                         stretched, 0, 0, width, height, EMPTY_INK);
}

// Lays the view's picture of the client pixels `area` into `target`, whose (0, 0) is the area's
// top-left corner. Every stretch uses the mapping of the whole view and only the target's size
// cuts it, so a part of the client comes out exactly as in a repaint of the whole.
void ComposeView(HDC target, const PixelRect& area, const ViewBlit& blit) {
    const PixelRect canvasOnClient = {blit.dstX, blit.dstY, blit.dstX + blit.dstW,
                                      blit.dstY + blit.dstH};
    const PixelRect shown = IntersectRects(area, canvasOnClient);
    if (shown.left != area.left || shown.top != area.top || shown.right != area.right ||
        shown.bottom != area.bottom) {
        FillDesk(target, area.right - area.left, area.bottom - area.top);
    }
    if (IsEmptyRect(shown)) {
        return;
    }
    ScopedCreateDC layer(CreateCompatibleDC(target));
    // The background first when it is shown, then the ink in its place.
    ScopedSelect selected(layer,
                          g_settings.backgroundEnabled != 0 ? g_canvas.background : g_canvas.ink);
    if (g_settings.backgroundEnabled != 0) {
        // The default mode ANDs the rows a zoom below 1 drops, darkening a colour background, and
        // is the slower one; dropping them whole keeps every shown colour a colour of the picture.
        SetStretchBltMode(target, COLORONCOLOR);
        StretchBlt(target, blit.dstX - area.left, blit.dstY - area.top, blit.dstW, blit.dstH, layer,
                   blit.srcX, blit.srcY, blit.srcW, blit.srcH, SRCCOPY);
        SelectObject(layer, g_canvas.ink);
    } else {
        PatBlt(target, shown.left - area.left, shown.top - area.top, shown.right - shown.left,
               shown.bottom - shown.top, WHITENESS);
    }
    LayInkOver(target, area, shown, layer, blit);
}

// Builds the picture of `area` off screen and copies it to the window in one block transfer, so
// the window never shows a half-built frame.
void ShowClientArea(HDC window, const PixelRect& area, const ViewBlit& blit) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    ScopedGdiObject<HBITMAP> backBitmap(CreateCompatibleBitmap(window, width, height));
    ScopedCreateDC back(CreateCompatibleDC(window));
    ScopedSelect selected(back, backBitmap);
    ComposeView(back, area, blit);
    BitBlt(window, area.left, area.top, width, height, back, 0, 0, SRCCOPY);
}

// A minimized window has no client area to show.
void ShowWholeClient(HDC window, const ClientSize& size, const ViewBlit& blit) {
    if (size.width > 0 && size.height > 0) {
        ShowClientArea(window, {0, 0, size.width, size.height}, blit);
    }
}

} // namespace

void PaintView(int form) {
    const ClientSize size = ReadClientSize();
    ClampOrigin(g_view, size.width, size.height);
    const ViewBlit blit = ComputeViewBlit(g_view, size.width, size.height);
    if (form == 0) {
        ScopedPaintDC window(g_app.hwnd);
        ShowWholeClient(window, size, blit);
    } else {
        ScopedGetDC window(g_app.hwnd);
        ShowWholeClient(window, size, blit);
    }
}

bool ClampViewToClient() {
    const ClientSize size = ReadClientSize();
    const ViewState before = g_view;
    ClampOrigin(g_view, size.width, size.height);
    return g_view.originX != before.originX || g_view.originY != before.originY;
}

void ShowCanvasRect(const PixelRect& canvas) {
    const ClientSize size = ReadClientSize();
    const ViewBlit blit = ComputeViewBlit(g_view, size.width, size.height);
    const PixelRect area = ClientRectShowing(blit, canvas);
    if (IsEmptyRect(area)) {
        return;
    }
    ScopedGetDC window(g_app.hwnd);
    ShowClientArea(window, area, blit);
}
