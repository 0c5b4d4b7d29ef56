#include "canvas/view.h"

#include "canvas/canvas.h"
#include "imaging/system_library.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/settings.h"

namespace {

// Where the client area shows no canvas (a view larger than the canvas), it shows the desk.
void FillOutsideCanvas(HDC back, int width, int height) {
    RECT all = {0, 0, width, height};
    FillRect(back, &all, GetSysColorBrush(COLOR_APPWORKSPACE));
}

void DrawPendingSegment(HDC layer, LPARAM point) {
    if (IsNoPoint(g_view.lastPoint)) {
        return;
    }
    g_document.modified = 1;
    const ViewPoint from = ClientToCanvas(g_view, g_view.lastPoint);
    const ViewPoint to = ClientToCanvas(g_view, UnpackPoint(static_cast<std::uint32_t>(point)));
    MoveToEx(layer, from.x, from.y, nullptr);
    LineTo(layer, to.x, to.y);
}

} // namespace

void PaintView(int form, LPARAM point) {
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    ClampOrigin(g_view, width, height);
    const ViewBlit blit = ComputeViewBlit(g_view, width, height);

    PAINTSTRUCT paint;
    HDC window = form == 0 ? BeginPaint(g_app.hwnd, &paint) : GetDC(g_app.hwnd);
    HBITMAP backBitmap = CreateCompatibleBitmap(window, width, height);
    HDC back = CreateCompatibleDC(window);
    HGDIOBJ oldBackBitmap = SelectObject(back, backBitmap);
    HDC layer = CreateCompatibleDC(window);
    // The default mode ANDs the rows a zoom below 1 drops, darkening a colour background, and
    // is the slower one; dropping them whole keeps every shown colour a colour of the picture.
    SetStretchBltMode(back, COLORONCOLOR);
    if (!blit.coversClient) {
        FillOutsideCanvas(back, width, height);
    }

    HGDIOBJ oldLayerBitmap;
    if (g_settings.backgroundEnabled != 0) {
        oldLayerBitmap = SelectObject(layer, g_canvas.background);
        StretchBlt(back, blit.dstX, blit.dstY, blit.dstW, blit.dstH, layer, blit.srcX, blit.srcY,
                   blit.srcW, blit.srcH, SRCCOPY);
        SelectObject(layer, g_canvas.ink);
    } else {
        oldLayerBitmap = SelectObject(layer, g_canvas.ink);
        PatBlt(back, blit.dstX, blit.dstY, blit.dstW, blit.dstH, WHITENESS);
    }

    HPEN pen = CreatePen(PS_SOLID, g_pen.width, g_pen.color);
    HGDIOBJ oldPen = SelectObject(layer, pen);
    DrawPendingSegment(layer, point);
    SelectObject(layer, oldPen);
    DeleteObject(pen);

    SystemTransparentBlt(back, blit.dstX, blit.dstY, blit.dstW, blit.dstH, layer, blit.srcX,
                         blit.srcY, blit.srcW, blit.srcH, EMPTY_INK);
    SelectObject(layer, oldLayerBitmap);
    DeleteDC(layer);

    BitBlt(window, 0, 0, width, height, back, 0, 0, SRCCOPY);
    SelectObject(back, oldBackBitmap);
    DeleteDC(back);
    DeleteObject(backBitmap);
    if (form == 0) {
        EndPaint(g_app.hwnd, &paint);
    } else {
        ReleaseDC(g_app.hwnd, window);
    }
}

void OnStrokeStart(LPARAM point) {
    g_view.lastPoint = UnpackPoint(static_cast<std::uint32_t>(point));
}

void OnStrokeMove(WPARAM buttons, LPARAM point) {
    if (IsNoPoint(g_view.lastPoint)) {
        return;
    }
    // A button released outside the window never reaches us: a move with the button up ends
    // the stroke instead of drawing ink the user never wrote.
    if ((buttons & MK_LBUTTON) == 0) {
        g_view.lastPoint = NO_POINT;
        return;
    }
    PaintView(1, point);
    g_view.lastPoint = UnpackPoint(static_cast<std::uint32_t>(point));
}

void OnStrokeEnd(LPARAM point) {
    if (IsNoPoint(g_view.lastPoint)) {
        return;
    }
    PaintView(1, point);
    g_view.lastPoint = NO_POINT;
}
