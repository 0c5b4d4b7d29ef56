#include "view/view.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "canvas/canvas.h"
#include "imaging/system_library.h"
#include "records/app_window.h"
#include "records/bitmap_info.h"
#include "records/scoped_gdi.h"
#include "records/settings.h"

namespace {

// A bitmap of the client's size in a context of its own, kept from frame to frame: making a
// bitmap and a context for each frame costs more than a stroke's move. Made again when the
// client's size changes.
struct ClientBuffer {
    // Declared before its context, which goes first and so lets go of it.
    ScopedGdiObject<HBITMAP> bitmap;
    ScopedCreateDC dc;
    ClientExtent size;
};

// The picture of the client area is built in `g_back` before it reaches the window in one block
// transfer: the whole client, the strips a scroll uncovers, the rectangle a stroke's move
// changed. The view's ink is put into `g_ink` (stretched when zoomed) before it is laid over the
// background, through `g_mask`, the monochrome picture of where that ink is empty.
ClientBuffer g_back;
ClientBuffer g_ink;
ClientBuffer g_mask;
// Enlarged views (a canvas pixel wider than a screen pixel, as at zoom 1 on a 200 % screen)
// compose the layers at the canvas's own pixels in `g_canvasPart`, the size of the canvas part
// of the view, and stretch that once.
ClientBuffer g_canvasPart;

// What a buffer's bitmap is: like the window's, monochrome, or 24 bits a pixel with no byte that a
// colour could hide in, which the mask is made from (Wine's 32-bit bitmaps keep a fourth byte,
// and a white pixel whose fourth byte is set does not match white).
enum class BufferKind { LikeWindow, Monochrome, ThreeBytes };

// The context first: a bitmap still selected into one cannot be deleted.
void ReleaseBuffer(ClientBuffer& buffer) {
    buffer.dc = ScopedCreateDC();
    buffer.bitmap = ScopedGdiObject<HBITMAP>();
    buffer.size = {};
}

HBITMAP MakeBufferBitmap(BufferKind kind, HDC window, const ClientExtent& size) {
    switch (kind) {
    case BufferKind::Monochrome: return CreateBitmap(size.width, size.height, 1, 1, nullptr);
    case BufferKind::ThreeBytes: {
        BITMAPINFO info = TopDownBitmapInfo(size.width, size.height);
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    default: return CreateCompatibleBitmap(window, size.width, size.height);
    }
}

// The context of `buffer`, of `kind`, for a client of `size`; null when no bitmap of that size
// can be made.
HDC BufferFor(ClientBuffer& buffer, BufferKind kind, HDC window, const ClientExtent& size) {
    if (buffer.dc != nullptr && buffer.size.width == size.width &&
        buffer.size.height == size.height) {
        return buffer.dc;
    }
    ReleaseBuffer(buffer);
    buffer.bitmap = ScopedGdiObject<HBITMAP>(MakeBufferBitmap(kind, window, size));
    buffer.dc = ScopedCreateDC(CreateCompatibleDC(window));
    if (buffer.bitmap == nullptr || buffer.dc == nullptr ||
        SelectObject(buffer.dc, buffer.bitmap) == nullptr) {
        ReleaseBuffer(buffer);
        return nullptr;
    }
    buffer.size = size;
    return buffer.dc;
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

// Lays the `width` x `height` pixels at the top left of `ink` over `target` at (x, y), their empty
// pixels transparent. XOR the ink in, clear where it is not empty, XOR it in again: the target
// stays where the ink is empty and takes the ink elsewhere, as TransparentBlt does, without the
// mask, bitmaps and contexts that Wine's TransparentBlt makes afresh on every call.
void LayOverTransparent(HDC target, int x, int y, int width, int height, HDC ink, HDC mask) {
    SetBkColor(ink, EMPTY_INK); // empty pixels become the mask's 1 bits
    BitBlt(mask, 0, 0, width, height, ink, 0, 0, SRCCOPY);
    SetTextColor(target, RGB(0, 0, 0)); // and the 1 bits white, the others black, on the target
    SetBkColor(target, RGB(255, 255, 255));
    BitBlt(target, x, y, width, height, ink, 0, 0, SRCINVERT);
    BitBlt(target, x, y, width, height, mask, 0, 0, SRCAND);
    BitBlt(target, x, y, width, height, ink, 0, 0, SRCINVERT);
}

// Puts the view's ink into the client pixels `shown` of `target`, whose (0, 0) is client point
// `area` left and top: over white, the ink is the picture itself.
void CopyInk(HDC target, const PixelRect& area, const PixelRect& shown, HDC layer,
             const ViewBlit& blit) {
    if (blit.srcW == blit.dstW && blit.srcH == blit.dstH) { // nothing to stretch
        BitBlt(target, shown.left - area.left, shown.top - area.top, shown.right - shown.left,
               shown.bottom - shown.top, layer, blit.srcX + shown.left - blit.dstX,
               blit.srcY + shown.top - blit.dstY, SRCCOPY);
        return;
    }
    StretchInk(target, area.left, area.top, layer, blit);
}

// Lays the view's ink over the client pixels `shown` of `target`, whose (0, 0) is client point
// `area` left and top; white ink is transparent. Without its buffers (memory is short), through
// the system's transparent blit, which is slower but needs none of ours.
void LayInkOver(HDC target, const PixelRect& area, const PixelRect& shown, HDC layer,
                const ViewBlit& blit, const ClientExtent& size) {
    HDC ink = BufferFor(g_ink, BufferKind::ThreeBytes, target, size);
    HDC mask = BufferFor(g_mask, BufferKind::Monochrome, target, size);
    if (ink == nullptr || mask == nullptr) {
        SystemTransparentBlt(target, blit.dstX - area.left, blit.dstY - area.top, blit.dstW,
                             blit.dstH, layer, blit.srcX, blit.srcY, blit.srcW, blit.srcH,
                             EMPTY_INK);
        return;
    }
    // The buffer's (0, 0) is the shown pixels' top left; its clip cuts a stretch of the whole view
    // to them.
    const int width = shown.right - shown.left;
    const int height = shown.bottom - shown.top;
    IntersectClipRect(ink, 0, 0, width, height);
    CopyInk(ink, shown, shown, layer, blit);
    SelectClipRgn(ink, nullptr);
    LayOverTransparent(target, shown.left - area.left, shown.top - area.top, width, height, ink,
                       mask);
}

// The canvas pixels, counted from the view's first (blit.srcX, blit.srcY), that the client pixels
// `shown` sample in the stretch of the view, with a pixel more on each side for its rounding.
PixelRect CanvasPartSampled(const PixelRect& shown, const ViewBlit& blit) {
    const double across = static_cast<double>(blit.srcW) / blit.dstW;
    const double down = static_cast<double>(blit.srcH) / blit.dstH;
    const PixelRect sampled = {TruncToInt(std::floor((shown.left - blit.dstX) * across)) - 1,
                               TruncToInt(std::floor((shown.top - blit.dstY) * down)) - 1,
                               TruncToInt(std::ceil((shown.right - blit.dstX) * across)) + 1,
                               TruncToInt(std::ceil((shown.bottom - blit.dstY) * down)) + 1};
    return IntersectRects(sampled, {0, 0, blit.srcW, blit.srcH});
}

// Enlarged, the view's picture is the stretch of the composed canvas: the background and the ink
// over it are composed at the canvas's own pixels (a quarter as many at twice the size) and
// stretched once, and every screen pixel shows the canvas pixel that a stretch of each layer
// would show there. False when the buffers cannot be made.
bool ComposeEnlarged(HDC target, const PixelRect& area, const PixelRect& shown, HDC layer,
                     const ViewBlit& blit, const ClientExtent& size) {
    HDC composed = BufferFor(g_canvasPart, BufferKind::LikeWindow, target, {blit.srcW, blit.srcH});
    HDC ink = BufferFor(g_ink, BufferKind::ThreeBytes, target, size);
    HDC mask = BufferFor(g_mask, BufferKind::Monochrome, target, size);
    if (composed == nullptr || ink == nullptr || mask == nullptr) {
        return false;
    }
    const PixelRect part = CanvasPartSampled(shown, blit);
    const int width = part.right - part.left;
    const int height = part.bottom - part.top;
    ScopedSelect selected(layer, g_canvas.background);
    BitBlt(composed, part.left, part.top, width, height, layer, blit.srcX + part.left,
           blit.srcY + part.top, SRCCOPY);
    SelectObject(layer, g_canvas.ink);
    BitBlt(ink, 0, 0, width, height, layer, blit.srcX + part.left, blit.srcY + part.top, SRCCOPY);
    LayOverTransparent(composed, part.left, part.top, width, height, ink, mask);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, blit.dstX - area.left, blit.dstY - area.top, blit.dstW, blit.dstH, composed,
               0, 0, blit.srcW, blit.srcH, SRCCOPY);
    return true;
}

// Lays the view's picture of the client pixels `area` into `target`, whose (0, 0) is the area's
// top-left corner. Every stretch uses the mapping of the whole view and only the target's size
// cuts it, so a part of the client comes out exactly as in a repaint of the whole.
void ComposeView(HDC target, const PixelRect& area, const ViewBlit& blit,
                 const ClientExtent& size) {
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
    if (g_settings.backgroundEnabled == 0) {
        ScopedSelect selected(layer, g_canvas.ink);
        CopyInk(target, area, shown, layer, blit);
        return;
    }
    const bool enlarged = blit.dstW > blit.srcW && blit.dstH > blit.srcH;
    if (enlarged && ComposeEnlarged(target, area, shown, layer, blit, size)) {
        return;
    }
    // The background first, then the ink in its place.
    ScopedSelect selected(layer, g_canvas.background);
    // The default mode ANDs the rows a zoom below 1 drops, darkening a colour background, and is
    // the slower one; dropping them whole keeps every shown colour a colour of the picture.
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, blit.dstX - area.left, blit.dstY - area.top, blit.dstW, blit.dstH, layer,
               blit.srcX, blit.srcY, blit.srcW, blit.srcH, SRCCOPY);
    SelectObject(layer, g_canvas.ink);
    LayInkOver(target, area, shown, layer, blit, size);
}

// Builds the picture of `area` off screen and copies it to the window in one block transfer, so
// the window never shows a half-built frame. False, the window untouched, when there is no memory
// for the frame's buffer.
bool ShowClientArea(HDC window, const PixelRect& area, const ViewBlit& blit,
                    const ClientExtent& size) {
    HDC back = BufferFor(g_back, BufferKind::LikeWindow, window, size);
    if (back == nullptr) {
        return false;
    }
    // The buffer is the client's size: a stretch of the whole view is cut to the area by a clip,
    // and costs what the area does.
    IntersectClipRect(back, 0, 0, area.right - area.left, area.bottom - area.top);
    ComposeView(back, area, blit, size);
    SelectClipRgn(back, nullptr);
    BitBlt(window, area.left, area.top, area.right - area.left, area.bottom - area.top, back, 0, 0,
           SRCCOPY);
    return true;
}

// Shows `area` at once, or, without memory for the frame, leaves it to the next paint.
void ShowOrInvalidate(HDC window, const PixelRect& area, const ViewBlit& blit,
                      const ClientExtent& size) {
    if (!ShowClientArea(window, area, blit, size)) {
        const RECT stale = {area.left, area.top, area.right, area.bottom};
        InvalidateRect(g_app.hwnd, &stale, FALSE);
    }
}

bool IsEmptyClient(const ClientExtent& size) {
    return size.width <= 0 || size.height <= 0;
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
    ShowOnScrollBar(SB_HORZ, VisibleSpan(size.width, PixelsPerCanvasPixel(g_view)), g_view.originX);
    ShowOnScrollBar(SB_VERT, VisibleSpan(size.height, PixelsPerCanvasPixel(g_view)),
                    g_view.originY);
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
void ScrollClient(PixelPoint shift, const ClientExtent& size) {
    ScopedGdiObject<HRGN> uncovered(CreateRectRgn(0, 0, 0, 0));
    ScrollWindowEx(g_app.hwnd, shift.x, shift.y, nullptr, nullptr, uncovered, nullptr, 0);
    const ViewBlit blit = ComputeViewBlit(g_view, size.width, size.height);
    ScopedGetDC window(g_app.hwnd);
    for (const RECT& strip : RegionRects(uncovered)) {
        ShowOrInvalidate(window, {strip.left, strip.top, strip.right, strip.bottom}, blit, size);
    }
}

// Shows the view after a move from `before`: by moving the pixels already on screen where that
// shows what a repaint of the whole would, else by that repaint.
void ShowMovedView(const ViewState& before, const ClientExtent& size) {
    if (IsEmptyClient(size)) {
        return;
    }
    const std::optional<PixelPoint> shift = ShiftOnClient(before, g_view, size);
    if (!shift) {
        PaintView(PaintForm::Immediate);
    } else if (shift->x != 0 || shift->y != 0) {
        ScrollClient(*shift, size);
    }
}

} // namespace

ClientExtent ReadClientSize() {
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    return {client.right - client.left, client.bottom - client.top};
}

void PaintView(PaintForm form) {
    const ClientExtent size = ReadClientSize();
    ClampView(g_view, size);
    ShowViewOnScrollBars(size);
    const ViewBlit blit = ComputeViewBlit(g_view, size.width, size.height);
    const PixelRect whole = {0, 0, size.width, size.height};
    if (form == PaintForm::Immediate) {
        if (!IsEmptyClient(size)) { // a minimized window has no client area to show
            ScopedGetDC window(g_app.hwnd);
            ShowOrInvalidate(window, whole, blit, size);
        }
        return;
    }
    // The paint must draw: without memory for the frame, it is built on the window itself.
    ScopedPaintDC window(g_app.hwnd);
    if (!IsEmptyClient(size) && !ShowClientArea(window, whole, blit, size)) {
        ComposeView(window, whole, blit, size);
    }
}

void ShowView(const ViewState& target) {
    const ClientExtent size = ReadClientSize();
    const ViewState before = g_view;
    const PixelPoint lastPoint = g_view.lastPoint;
    g_view = target;
    g_view.lastPoint = lastPoint;
    ClampView(g_view, size);
    ShowViewOnScrollBars(size);
    ShowMovedView(before, size);
}

void ReleaseView() {
    ReleaseBuffer(g_back);
    ReleaseBuffer(g_ink);
    ReleaseBuffer(g_mask);
    ReleaseBuffer(g_canvasPart);
    // A window made later starts with bars of its own.
    g_bars[SB_HORZ] = {};
    g_bars[SB_VERT] = {};
}

bool ClampViewToClient() {
    const ClientExtent size = ReadClientSize();
    const ViewState before = g_view;
    ClampView(g_view, size);
    return g_view.originX != before.originX || g_view.originY != before.originY;
}

void ShowCanvasRect(const PixelRect& canvas) {
    const ClientExtent size = ReadClientSize();
    const ViewBlit blit = ComputeViewBlit(g_view, size.width, size.height);
    const PixelRect area = ClientRectShowing(g_view, blit, canvas);
    if (IsEmptyRect(area)) {
        return;
    }
    ScopedGetDC window(g_app.hwnd);
    ShowOrInvalidate(window, area, blit, size);
}
