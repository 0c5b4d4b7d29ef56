#include "canvas/view.h"

#include <algorithm>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/stroke.h"
#include "imaging/system_library.h"
#include "records/app_window.h"
#include "records/scoped_gdi.h"
#include "records/settings.h"

namespace {

// The picture of the client area is built here before it reaches the window in one block transfer:
// the whole client, the strips a scroll uncovers, the rectangle a stroke's move changed. It lives
// from frame to frame, since making a bitmap and a context for each costs more than a stroke's
// move, and is made again when the client's size changes.
struct BackBuffer {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ replaced;
    ClientExtent size;
};

BackBuffer g_back;

void ReleaseBackBuffer() {
    if (g_back.replaced != nullptr) {
        SelectObject(g_back.dc, g_back.replaced);
    }
    if (g_back.dc != nullptr) {
        DeleteDC(g_back.dc);
    }
    if (g_back.bitmap != nullptr) {
        DeleteObject(g_back.bitmap);
    }
    g_back = {};
}

// The back buffer for a client of `size`; null when no bitmap of that size can be made.
HDC BackBufferFor(HDC window, const ClientExtent& size) {
    if (g_back.dc != nullptr && g_back.size.width == size.width &&
        g_back.size.height == size.height) {
        return g_back.dc;
    }
    ReleaseBackBuffer();
    g_back.bitmap = CreateCompatibleBitmap(window, size.width, size.height);
    g_back.dc = CreateCompatibleDC(window);
    if (g_back.bitmap == nullptr || g_back.dc == nullptr) {
        ReleaseBackBuffer();
        return nullptr;
    }
    g_back.replaced = SelectObject(g_back.dc, g_back.bitmap);
    g_back.size = size;
    return g_back.dc;
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
void ShowClientArea(HDC window, const PixelRect& area, const ViewBlit& blit,
                    const ClientExtent& size) {
    HDC back = BackBufferFor(window, size);
    if (back == nullptr) {
        return;
    }
    // The buffer is the client's size: a stretch of the whole view is cut to the area by a clip,
    // and costs what the area does.
    IntersectClipRect(back, 0, 0, area.right - area.left, area.bottom - area.top);
    ComposeView(back, area, blit);
    SelectClipRgn(back, nullptr);
    BitBlt(window, area.left, area.top, area.right - area.left, area.bottom - area.top, back, 0, 0,
           SRCCOPY);
}

bool IsEmptyClient(const ClientExtent& size) {
    return size.width <= 0 || size.height <= 0;
}

// A minimized window has no client area to show.
void ShowWholeClient(HDC window, const ClientExtent& size, const ViewBlit& blit) {
    if (!IsEmptyClient(size)) {
        ShowClientArea(window, {0, 0, size.width, size.height}, blit, size);
    }
}

// What a scroll bar was last given, and whether it is still to be drawn with it.
struct ScrollBarShown {
    int page;
    int position;
    bool stale;
};

// Indexed by SB_HORZ and SB_VERT.
ScrollBarShown g_bars[2];

// The main window's timer that draws the stale bars (16 is the snapshot's).
constexpr UINT_PTR SCROLL_BARS_TIMER = 17;

void CALLBACK DrawStaleScrollBars(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (g_bars[bar].stale) {
            g_bars[bar].stale = false;
            SCROLLINFO info = {};
            info.cbSize = sizeof(info);
            info.fMask = SIF_POS;
            GetScrollInfo(window, bar, &info);
            SetScrollInfo(window, bar, &info, TRUE);
        }
    }
}

// The bar of one axis: the canvas's pixels are its range, the visible ones its page, the origin
// its position; where the whole canvas shows, the bar stays, disabled. Drawing a themed bar can
// cost more than the strips of a scroll (about 6 ms under Wine): a bar takes its new place at once
// and is drawn when the window has no input left, once for all the moves before.
void ShowOnScrollBar(int bar, int page, int position) {
    ScrollBarShown& shown = g_bars[bar];
    if (shown.page == page && shown.position == position) {
        return;
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = CANVAS_SIZE - 1;
    info.nPage = static_cast<UINT>(std::max(page, 0));
    info.nPos = position;
    SetScrollInfo(g_app.hwnd, bar, &info, FALSE);
    if (!g_bars[SB_HORZ].stale && !g_bars[SB_VERT].stale) {
        SetTimer(g_app.hwnd, SCROLL_BARS_TIMER, USER_TIMER_MINIMUM, DrawStaleScrollBars);
    }
    shown = {page, position, true};
}

void ShowViewOnScrollBars(const ClientExtent& size) {
    ShowOnScrollBar(SB_HORZ, VisibleSpan(size.width, g_view.zoom), g_view.originX);
    ShowOnScrollBar(SB_VERT, VisibleSpan(size.height, g_view.zoom), g_view.originY);
}

// The client rectangles of a region.
std::vector<RECT> RegionRects(HRGN region) {
    const DWORD bytes = GetRegionData(region, 0, nullptr);
    if (bytes < sizeof(RGNDATAHEADER)) {
        return {};
    }
    // RGNDATA wants the alignment of its RECTs, which an array of them gives.
    std::vector<RECT> data((bytes + sizeof(RECT) - 1) / sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    if (GetRegionData(region, bytes, header) == 0) {
        return {};
    }
    const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
    return {rects, rects + header->rdh.nCount};
}

// Moves the pixels that the window shows by `shift`, and composes what that uncovers, with
// whatever the system could not move (a part hidden under another window), as a repaint of the
// whole client would.
void ScrollClient(ViewPoint shift, const ClientExtent& size) {
    ScopedGdiObject<HRGN> uncovered(CreateRectRgn(0, 0, 0, 0));
    ScrollWindowEx(g_app.hwnd, shift.x, shift.y, nullptr, nullptr, uncovered, nullptr, 0);
    const ViewBlit blit = ComputeViewBlit(g_view, size.width, size.height);
    ScopedGetDC window(g_app.hwnd);
    for (const RECT& strip : RegionRects(uncovered)) {
        ShowClientArea(window, {strip.left, strip.top, strip.right, strip.bottom}, blit, size);
    }
}

// Shows the view after a move from `before`: by moving the pixels already on screen where that
// shows what a repaint of the whole would, else by that repaint.
void ShowMovedView(const ViewState& before, const ClientExtent& size) {
    if (IsEmptyClient(size)) {
        return;
    }
    ViewPoint shift = {0, 0};
    if (!ShiftOnClient(before, g_view, size, shift)) {
        PaintView(1);
    } else if (shift.x != 0 || shift.y != 0) {
        ScrollClient(shift, size);
    }
}

} // namespace

ClientExtent ReadClientSize() {
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    return {client.right - client.left, client.bottom - client.top};
}

void PaintView(int form) {
    const ClientExtent size = ReadClientSize();
    ClampOrigin(g_view, size.width, size.height);
    ShowViewOnScrollBars(size);
    const ViewBlit blit = ComputeViewBlit(g_view, size.width, size.height);
    if (form == 0) {
        ScopedPaintDC window(g_app.hwnd);
        ShowWholeClient(window, size, blit);
    } else {
        ScopedGetDC window(g_app.hwnd);
        ShowWholeClient(window, size, blit);
    }
}

void MoveView(const ViewState& target) {
    EndStroke();
    const ClientExtent size = ReadClientSize();
    const ViewState before = g_view;
    g_view.zoom = target.zoom;
    g_view.originX = target.originX;
    g_view.originY = target.originY;
    ClampOrigin(g_view, size.width, size.height);
    ShowViewOnScrollBars(size);
    ShowMovedView(before, size);
}

void ReleaseView() {
    ReleaseBackBuffer();
    // A window made later starts with bars of its own.
    g_bars[SB_HORZ] = {};
    g_bars[SB_VERT] = {};
}

bool ClampViewToClient() {
    const ClientExtent size = ReadClientSize();
    const ViewState before = g_view;
    ClampOrigin(g_view, size.width, size.height);
    return g_view.originX != before.originX || g_view.originY != before.originY;
}

void ShowCanvasRect(const PixelRect& canvas) {
    const ClientExtent size = ReadClientSize();
    const ViewBlit blit = ComputeViewBlit(g_view, size.width, size.height);
    const PixelRect area = ClientRectShowing(blit, canvas);
    if (IsEmptyRect(area)) {
        return;
    }
    ScopedGetDC window(g_app.hwnd);
    ShowClientArea(window, area, blit, size);
}
