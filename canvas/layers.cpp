#include "canvas/canvas.h"

#include "imaging/system_library.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/scoped_gdi.h"

Canvas g_canvas;

HBITMAP& LayerBitmap(Layer layer) {
    return layer == Layer::Ink ? g_canvas.ink : g_canvas.background;
}

void MarkBackgroundChanged() {
    ++g_canvas.backgroundChanges;
    NoteCanvasChange();
}

int ComposeCanvas() {
    DeleteObject(g_canvas.composite);
    ScopedGetDC window(g_app.hwnd);
    g_canvas.composite = CreateCompatibleBitmap(window, CANVAS_SIZE, CANVAS_SIZE);
    // The three contexts are deleted in the order they are made, after every bitmap is selected
    // back out: the later two are declared first and made when their turn comes.
    ScopedCreateDC ink;
    ScopedCreateDC background;
    ScopedCreateDC target(CreateCompatibleDC(window));
    ScopedSelect targetSelected(target, g_canvas.composite);
    PatBlt(target, 0, 0, CANVAS_SIZE, CANVAS_SIZE, WHITENESS);
    background = ScopedCreateDC(CreateCompatibleDC(window));
    ScopedSelect backgroundSelected(background, g_canvas.background);
    const bool copied =
        BitBlt(target, 0, 0, CANVAS_SIZE, CANVAS_SIZE, background, 0, 0, SRCCOPY) != FALSE;
    ink = ScopedCreateDC(CreateCompatibleDC(window));
    ScopedSelect inkSelected(ink, g_canvas.ink);
    const bool inked = SystemTransparentBlt(target, 0, 0, CANVAS_SIZE, CANVAS_SIZE, ink, 0, 0,
                                            CANVAS_SIZE, CANVAS_SIZE, EMPTY_INK) != FALSE;
    return g_canvas.composite != nullptr && copied && inked ? 1 : 0;
}

void ReleaseCanvas() {
    DeleteObject(g_canvas.ink);
    DeleteObject(g_canvas.background);
    DeleteObject(g_canvas.composite);
    g_canvas = Canvas{};
}
