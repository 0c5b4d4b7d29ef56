#include "pen/pen_dialog.h"

#include <exception>
#include <utility>

#include "pen/eraser.h"
#include "pen/palette_layout.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/scoped_gdi.h"
#include "records/window_dpi.h"
#include "res/resource.h"

namespace {

// The DPI is read at every paint and click: a dialog moved to a screen of another scale follows.
PenDialogLayout LayoutOf(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    return ComputePenDialogLayout(client.right - client.left, client.bottom - client.top,
                                  WindowDpi(dialog));
}

// Each width's pen takes the place of the one before in the context, which is deleted then; the
// context's own pen is put back before the last one is deleted.
void DrawSamples(HDC paint, const PenDialogLayout& layout) {
    ScopedGdiObject<HPEN> pen(
        CreatePen(PS_SOLID, ComputeSampleStroke(layout, 0).width, g_pen.color));
    ScopedSelect selected(paint, pen);
    for (int k = 0; k < WIDTH_SAMPLE_COUNT; ++k) {
        const SampleStroke sample = ComputeSampleStroke(layout, k);
        if (k > 0) {
            ScopedGdiObject<HPEN> next(CreatePen(PS_SOLID, sample.width, g_pen.color));
            SelectObject(paint, next);
            pen = std::move(next);
        }
        MoveToEx(paint, sample.x0, sample.y0, nullptr);
        LineTo(paint, sample.x1, sample.y1);
    }
}

INT_PTR OnPaint(HWND dialog) {
    const PenDialogLayout layout = LayoutOf(dialog);
    HBITMAP loaded = LoadBitmapW(g_app.hinstance, MAKEINTRESOURCEW(IDB_PALETTE));
    ScopedPaintDC paint(dialog);
    // Loaded before the paint begins, held from here so that it is deleted before the paint ends.
    ScopedGdiObject<HBITMAP> palette(loaded);
    ScopedCreateDC memory(CreateCompatibleDC(paint));
    ScopedSelect selected(memory, palette);
    StretchBlt(paint, 0, 0, layout.paletteWidth, layout.height, memory, 0, 0, PALETTE_COLUMNS,
               PALETTE_ROWS, SRCCOPY);
    DrawSamples(paint, layout);
    return FALSE;
}

void PickWidth(HWND dialog, const PenDialogLayout& layout, int y, WPARAM wParam) {
    const int doublings = CountWidthDoublings(layout, y);
    g_pen.width = 2;
    for (int i = 0; i < doublings; ++i) {
        g_pen.width *= 2;
        UpdateEraserMenuItem();
    }
    EndDialog(dialog, LOWORD(wParam));
}

COLORREF ReadDialogPixel(HWND dialog, int x, int y) {
    ScopedGetDC window(dialog);
    return GetPixel(window, x, y);
}

// The colour is read back from the screen, so the pick is whatever the user sees under the
// pointer; a point that cannot be read picks nothing.
void PickColor(HWND dialog, int x, int y) {
    const COLORREF picked = ReadDialogPixel(dialog, x, y);
    if (picked == CLR_INVALID) {
        return;
    }
    if (IsEraser(g_pen)) {
        g_pen.width = g_pen.savedWidth;
    }
    g_pen.color = picked;
    UpdateEraserMenuItem();
    InvalidateRect(dialog, nullptr, TRUE);
}

INT_PTR OnLeftButtonUp(HWND dialog, WPARAM wParam, LPARAM lParam) {
    const PenDialogLayout layout = LayoutOf(dialog);
    const int x = LOWORD(lParam);
    const int y = HIWORD(lParam);
    if (IsWidthPick(layout, x)) {
        PickWidth(dialog, layout, y, wParam);
    } else {
        PickColor(dialog, x, y);
    }
    return FALSE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    const WORD id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id);
        return TRUE;
    }
    return FALSE;
}

INT_PTR HandlePenMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_PAINT: return OnPaint(dialog);
    case WM_LBUTTONUP: return OnLeftButtonUp(dialog, wParam, lParam);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    }
    return FALSE;
}

} // namespace

INT_PTR CALLBACK PenDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // As in the main window's procedure: an exception cannot pass back through the system's code.
    // Only memory that runs out throws here (a menu text); that message's work is dropped and the
    // dialog goes on.
    try {
        return HandlePenMessage(dialog, message, wParam, lParam);
    } catch (const std::exception&) {
        return FALSE;
    }
}

void ShowPenDialog(HWND owner) {
    DialogBoxParamW(g_app.hinstance, MAKEINTRESOURCEW(IDD_PEN), owner, PenDlgProc, 0);
}
