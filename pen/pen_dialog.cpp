#include "pen/pen_dialog.h"

#include "pen/eraser.h"
#include "pen/palette_layout.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "res/resource.h"

namespace {

PenDialogLayout LayoutOf(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    return ComputePenDialogLayout(client.right - client.left, client.bottom - client.top);
}

void DrawSamples(HDC paint, const PenDialogLayout& layout) {
    HGDIOBJ oldPen = nullptr;
    for (int k = 0; k < WIDTH_SAMPLE_COUNT; ++k) {
        const SampleStroke sample = ComputeSampleStroke(layout, k);
        HPEN pen = CreatePen(PS_SOLID, sample.width, g_pen.color);
        HGDIOBJ previous = SelectObject(paint, pen);
        if (k == 0) {
            oldPen = previous;
        } else {
            DeleteObject(previous);
        }
        MoveToEx(paint, sample.x0, sample.y0, nullptr);
        LineTo(paint, sample.x1, sample.y1);
    }
    DeleteObject(SelectObject(paint, oldPen));
}

INT_PTR OnPaint(HWND dialog) {
    const PenDialogLayout layout = LayoutOf(dialog);
    HBITMAP palette = LoadBitmapW(g_app.hinstance, MAKEINTRESOURCEW(IDB_PALETTE));
    PAINTSTRUCT ps;
    HDC paint = BeginPaint(dialog, &ps);
    HDC memory = CreateCompatibleDC(paint);
    HGDIOBJ oldBitmap = SelectObject(memory, palette);
    StretchBlt(paint, 0, 0, layout.paletteWidth, layout.height, memory, 0, 0, PALETTE_COLUMNS,
               PALETTE_ROWS, SRCCOPY);
    DrawSamples(paint, layout);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    DeleteObject(palette);
    EndPaint(dialog, &ps);
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

// The colour is read back from the screen, so the pick is whatever the user sees under the
// pointer; a point that cannot be read picks nothing.
void PickColor(HWND dialog, int x, int y) {
    HDC window = GetDC(dialog);
    const COLORREF picked = GetPixel(window, x, y);
    ReleaseDC(dialog, window);
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

} // namespace

INT_PTR CALLBACK PenDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_PAINT: return OnPaint(dialog);
    case WM_LBUTTONUP: return OnLeftButtonUp(dialog, wParam, lParam);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    }
    return FALSE;
}

void ShowPenDialog(HWND owner) {
    DialogBoxParamW(g_app.hinstance, MAKEINTRESOURCEW(IDD_PEN), owner, PenDlgProc, 0);
}
