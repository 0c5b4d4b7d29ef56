#include "canvas/canvas.h"

#include "imaging/system_library.h"
#include "records/app_window.h"
#include "records/bitmap_info.h"
#include "records/document_state.h"
#include "records/scoped_gdi.h"

Canvas g_canvas;

HBITMAP& LayerBitmap(Layer layer) {
    return layer == Layer::Ink ? g_canvas.ink : g_canvas.background;
}

namespace {

// The pixels of a layer bitmap made by MakeLayerBitmap; null for any other.
std::uint32_t* PixelsOfLayerBitmap(HBITMAP layer) {
    DIBSECTION section = {};
    if (layer == nullptr || GetObject(layer, sizeof(section), &section) != sizeof(section) ||
        section.dsBm.bmBits == nullptr || section.dsBm.bmBitsPixel != 32 ||
        section.dsBm.bmWidth != CANVAS_SIZE || section.dsBm.bmHeight != CANVAS_SIZE) {
        return nullptr;
    }
    // Drawing may still be queued for the bitmap.
    GdiFlush();
    return static_cast<std::uint32_t*>(section.dsBm.bmBits);
}

} // namespace

HBITMAP MakeLayerBitmap() {
    void* bits = nullptr;
    return CreateTopDownDib(CANVAS_SIZE, CANVAS_SIZE, &bits);
}

const std::uint32_t* ReadLayerPixels(Layer layer) {
    return PixelsOfLayerBitmap(LayerBitmap(layer));
}

void ClearFourthBytes(HBITMAP layer) {
    std::uint32_t* pixels = PixelsOfLayerBitmap(layer);
    if (pixels == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(CANVAS_SIZE) * CANVAS_SIZE; ++i) {
        pixels[i] &= 0xFFFFFFu;
    }
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
