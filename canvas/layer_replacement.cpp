#include "canvas/layer_replacement.h"

#include "canvas/history.h"
#include "records/app_window.h"
#include "records/scoped_gdi.h"

namespace {

ScopedGdiObject<HBITMAP> MakeWhiteLayer() {
    ScopedGetDC window(g_app.hwnd);
    ScopedGdiObject<HBITMAP> layer(MakeLayerBitmap());
    ScopedCreateDC memory(CreateCompatibleDC(window));
    ScopedSelect selected(memory, layer);
    PatBlt(memory, 0, 0, CANVAS_SIZE, CANVAS_SIZE, WHITENESS);
    return layer;
}

// The old layer goes before the new one is made: a blank memo needs no more memory than the one
// before it.
void ResetLayer(Layer layer) {
    DeleteObject(LayerBitmap(layer));
    LayerBitmap(layer) = nullptr;
    ReplaceLayer(layer, MakeWhiteLayer());
}

} // namespace

void ReplaceLayer(Layer layer, ScopedGdiObject<HBITMAP> replacement) {
    StartHistory();
    HBITMAP& bitmap = LayerBitmap(layer);
    DeleteObject(bitmap);
    bitmap = replacement.Detach();
    if (layer == Layer::Background) {
        MarkBackgroundChanged();
    }
}

void ResetInkLayer() {
    ResetLayer(Layer::Ink);
}

void ResetBackgroundLayer() {
    ResetLayer(Layer::Background);
}
