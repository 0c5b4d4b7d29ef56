#include "canvas/canvas.h"

#include "canvas/history.h"

#include "imaging/system_library.h"
#include "records/app_window.h"
#include "records/document_state.h"

Canvas g_canvas;

namespace {

// A layer made anew begins a fresh history: undo cannot take back what was there before.
void ResetLayer(HBITMAP& layer) {
    StartHistory();
    DeleteObject(layer);
    HDC window = GetDC(g_app.hwnd);
    layer = CreateCompatibleBitmap(window, CANVAS_SIZE, CANVAS_SIZE);
    HDC memory = CreateCompatibleDC(window);
    HGDIOBJ old = SelectObject(memory, layer);
    PatBlt(memory, 0, 0, CANVAS_SIZE, CANVAS_SIZE, WHITENESS);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(g_app.hwnd, window);
}

} // namespace

void ResetInkLayer() {
    ResetLayer(g_canvas.ink);
}

void MarkBackgroundChanged() {
    ++g_canvas.backgroundChanges;
    NoteCanvasChange();
}

void ResetBackgroundLayer() {
    ResetLayer(g_canvas.background);
    MarkBackgroundChanged();
}

int ComposeCanvas() {
    DeleteObject(g_canvas.composite);
    HDC window = GetDC(g_app.hwnd);
    g_canvas.composite = CreateCompatibleBitmap(window, CANVAS_SIZE, CANVAS_SIZE);
    HDC target = CreateCompatibleDC(window);
    HGDIOBJ oldTarget = SelectObject(target, g_canvas.composite);
    PatBlt(target, 0, 0, CANVAS_SIZE, CANVAS_SIZE, WHITENESS);
    HDC background = CreateCompatibleDC(window);
    HGDIOBJ oldBackground = SelectObject(background, g_canvas.background);
    const bool copied =
        BitBlt(target, 0, 0, CANVAS_SIZE, CANVAS_SIZE, background, 0, 0, SRCCOPY) != FALSE;
    HDC ink = CreateCompatibleDC(window);
    HGDIOBJ oldInk = SelectObject(ink, g_canvas.ink);
    const bool inked = SystemTransparentBlt(target, 0, 0, CANVAS_SIZE, CANVAS_SIZE, ink, 0, 0,
                                            CANVAS_SIZE, CANVAS_SIZE, EMPTY_INK) != FALSE;
    SelectObject(ink, oldInk);
    SelectObject(background, oldBackground);
    SelectObject(target, oldTarget);
    DeleteDC(target);
    DeleteDC(background);
    DeleteDC(ink);
    ReleaseDC(g_app.hwnd, window);
    return g_canvas.composite != nullptr && copied && inked ? 1 : 0;
}

void ReleaseCanvas() {
    DeleteObject(g_canvas.ink);
    DeleteObject(g_canvas.background);
    DeleteObject(g_canvas.composite);
    g_canvas = Canvas{};
}
