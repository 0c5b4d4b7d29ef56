#include "view/view.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "canvas/canvas.h"
#include "records/app_window.h"
#include "records/bitmap_info.h"
#include "records/scoped_gdi.h"
#include "records/settings.h"
#include "view/frame_pixels.h"

namespace {

// The frame: the client's pixels, composed in memory and copied to the window in one block
// transfer, so the window never shows a half-built frame. Kept from frame to frame (making a
// bitmap and a context costs more than a stroke's move), made again when the client's size
// changes.
struct FrameBuffer {
    // Declared before its context, which goes first and so lets go of it.
    ScopedGdiObject<HBITMAP> bitmap;
    ScopedCreateDC dc;
    std::uint32_t* pixels = nullptr;
    ClientExtent size = {};
};

FrameBuffer g_frame;

// The runs of the view's stretch, kept while the view's blit stays: a stroke's moves and the
// strips of a scroll use those of the frame before.
struct ViewRuns {
    ViewBlit blit = {};
    StretchRuns across;
    StretchRuns down;
    bool made = false;
};

ViewRuns g_runs;

// The context first: a bitmap still selected into one cannot be deleted.
void ReleaseFrame() {
    g_frame.dc = ScopedCreateDC();
    g_frame.bitmap = ScopedGdiObject<HBITMAP>();
    g_frame.pixels = nullptr;
    g_frame.size = {};
}

// The frame buffer for a client of `size`; null when there is no memory for it.
FrameBuffer* FrameFor(HDC window, const ClientExtent& size) {
    if (g_frame.dc != nullptr && g_frame.size.width == size.width &&
        g_frame.size.height == size.height) {
        return &g_frame;
    }
    ReleaseFrame();
    void* bits = nullptr;
    g_frame.bitmap = ScopedGdiObject<HBITMAP>(CreateTopDownDib(size.width, size.height, &bits));
    g_frame.dc = ScopedCreateDC(CreateCompatibleDC(window));
    if (g_frame.bitmap == nullptr || g_frame.dc == nullptr ||
        SelectObject(g_frame.dc, g_frame.bitmap) == nullptr) {
        ReleaseFrame();
        return nullptr;
    }
    g_frame.pixels = static_cast<std::uint32_t*>(bits);
    g_frame.size = size;
    return &g_frame;
}

// A line of `values` stretched by the platform to `count` pixels in `mode`, across or down, as
// the view's stretch of a layer would stretch them; nothing when the stretch could not be made.
std::optional<std::vector<std::uint32_t>> StretchLine(const std::vector<std::uint32_t>& values,
                                                      int count, bool across, int mode) {
    const int length = static_cast<int>(values.size());
    // A row across, a column down.
    const int lineWidth = across ? length : 1;
    const int lineHeight = across ? 1 : length;
    const int stretchedWidth = across ? count : 1;
    const int stretchedHeight = across ? 1 : count;
    void* lineBits = nullptr;
    void* stretchedBits = nullptr;
    ScopedGdiObject<HBITMAP> line(CreateTopDownDib(lineWidth, lineHeight, &lineBits));
    ScopedGdiObject<HBITMAP> stretched(
        CreateTopDownDib(stretchedWidth, stretchedHeight, &stretchedBits));
    ScopedCreateDC from(CreateCompatibleDC(nullptr));
    ScopedCreateDC to(CreateCompatibleDC(nullptr));
    if (line == nullptr || stretched == nullptr || from == nullptr || to == nullptr) {
        return std::nullopt;
    }
    std::copy(values.begin(), values.end(), static_cast<std::uint32_t*>(lineBits));
    ScopedSelect lineSelected(from, line);
    ScopedSelect stretchedSelected(to, stretched);
    SetStretchBltMode(to, mode);
    if (!StretchBlt(to, 0, 0, stretchedWidth, stretchedHeight, from, 0, 0, lineWidth, lineHeight,
                    SRCCOPY) ||
        !GdiFlush()) {
        return std::nullopt;
    }
    const auto* first = static_cast<const std::uint32_t*>(stretchedBits);
    return std::vector<std::uint32_t>(first, first + count);
}

// The runs of one axis of `length` canvas pixels from `start` shown on `count` client pixels, read
// off the platform's stretches of two lines: one whose pixels hold their canvas pixel's number,
// stretched as the background is, and one of run markers, stretched as the ink is. So every frame
// shows what the platform's stretch of the layers would. Nothing when they cannot be read.
std::optional<StretchRuns> RunsByStretch(int start, int length, int count, bool across) {
    if (length <= 0 || count <= 0) {
        return StretchRuns();
    }
    std::vector<std::uint32_t> numbers(static_cast<std::size_t>(length));
    std::vector<std::uint32_t> markers(static_cast<std::size_t>(length));
    for (int j = 0; j < length; ++j) {
        numbers[static_cast<std::size_t>(j)] = static_cast<std::uint32_t>(start + j);
        markers[static_cast<std::size_t>(j)] = RunMarker(start + j);
    }
    const auto kept = StretchLine(numbers, count, across, COLORONCOLOR);
    const auto merged = StretchLine(markers, count, across, BLACKONWHITE);
    if (!kept || !merged) {
        return std::nullopt;
    }
    std::vector<int> keptPixels(kept->size());
    for (std::size_t i = 0; i < kept->size(); ++i) {
        keptPixels[i] = static_cast<int>((*kept)[i] & 0xFFFFFFu);
    }
    return RunsFromStretches(keptPixels, *merged, start, length);
}

// The runs when the platform's cannot be read: the canvas pixel nearest each client pixel's
// centre, alone.
StretchRuns NearestRuns(int start, int length, int count) {
    std::vector<int> kept(static_cast<std::size_t>(std::max(count, 0)));
    std::vector<std::uint32_t> merged(kept.size());
    for (int i = 0; i < count; ++i) {
        const long long centre = (2LL * i + 1) * length / (2LL * count);
        kept[static_cast<std::size_t>(i)] = start + static_cast<int>(centre);
        merged[static_cast<std::size_t>(i)] = RunMarker(kept[static_cast<std::size_t>(i)]);
    }
    return RunsFromStretches(kept, merged, start, length);
}

bool SameBlit(const ViewBlit& a, const ViewBlit& b) {
    return a.dstX == b.dstX && a.dstY == b.dstY && a.dstW == b.dstW && a.dstH == b.dstH &&
           a.srcX == b.srcX && a.srcY == b.srcY && a.srcW == b.srcW && a.srcH == b.srcH;
}

// The runs of the view's blit: the platform's, kept while the blit stays, or, when they cannot be
// read, the nearest pixels for this frame alone.
const ViewRuns& RunsFor(const ViewBlit& blit) {
    if (g_runs.made && SameBlit(g_runs.blit, blit)) {
        return g_runs;
    }
    const std::optional<StretchRuns> across = RunsByStretch(blit.srcX, blit.srcW, blit.dstW, true);
    const std::optional<StretchRuns> down = RunsByStretch(blit.srcY, blit.srcH, blit.dstH, false);
    g_runs.blit = blit;
    g_runs.across = across ? *across : NearestRuns(blit.srcX, blit.srcW, blit.dstW);
    g_runs.down = down ? *down : NearestRuns(blit.srcY, blit.srcH, blit.dstH);
    g_runs.made = across.has_value() && down.has_value();
    return g_runs;
}

// The colour of the desk, where the client area shows no canvas (a view larger than the canvas).
std::uint32_t DeskPixel() {
    const COLORREF desk = GetSysColor(COLOR_APPWORKSPACE);
    return (static_cast<std::uint32_t>(GetRValue(desk)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(desk)) << 8) | GetBValue(desk);
}

FrameSource SourceFor(const ViewBlit& blit) {
    const ViewRuns& runs = RunsFor(blit);
    return {ReadLayerPixels(Layer::Ink),
            g_settings.backgroundEnabled != 0 ? ReadLayerPixels(Layer::Background) : nullptr,
            blit,
            &runs.across,
            &runs.down,
            DeskPixel()};
}

// Composes the client pixels `area` in the frame buffer and copies them to the window. False, the
// window untouched, when there is no memory for the frame.
bool ShowClientArea(HDC window, const PixelRect& area, const ViewBlit& blit,
                    const ClientExtent& size) {
    FrameBuffer* frame = FrameFor(window, size);
    if (frame == nullptr) {
        return false;
    }
    ComposeViewPixels(SourceFor(blit), area, {frame->pixels, size.width});
    BitBlt(window, area.left, area.top, area.right - area.left, area.bottom - area.top, frame->dc,
           0, 0, SRCCOPY);
    return true;
}

// Without memory for the frame, a paint still draws: a row at a time, straight to the window.
void ShowRowByRow(HDC window, const PixelRect& area, const ViewBlit& blit) {
    const int width = area.right - area.left;
    std::unique_ptr<std::uint32_t[]> row(new (std::nothrow) std::uint32_t[width]);
    if (row == nullptr) {
        return;
    }
    const FrameSource source = SourceFor(blit);
    BITMAPINFO info = TopDownBitmapInfo(width, 1);
    for (int y = area.top; y < area.bottom; ++y) {
        ComposeViewPixels(source, {area.left, y, area.right, y + 1}, {row.get(), width});
        SetDIBitsToDevice(window, area.left, y, width, 1, 0, 0, 0, 1, row.get(), &info,
                          DIB_RGB_COLORS);
    }
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
        ShowRowByRow(window, whole, blit);
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
    ReleaseFrame();
    g_runs = ViewRuns();
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

void ShowCanvasPartFrame(const ViewBlit& blit,
                         const std::function<void(const FrameTarget&)>& draw) {
    const ClientExtent size = ReadClientSize();
    if (IsEmptyClient(size) || blit.dstW <= 0 || blit.dstH <= 0) {
        return;
    }
    ScopedGetDC window(g_app.hwnd);
    FrameBuffer* frame = FrameFor(window, size);
    if (frame == nullptr) {
        return;
    }
    draw({frame->pixels, size.width});
    BitBlt(window, blit.dstX, blit.dstY, blit.dstW, blit.dstH, frame->dc, 0, 0, SRCCOPY);
}
