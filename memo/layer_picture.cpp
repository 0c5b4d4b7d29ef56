#include "memo/layer_picture.h"

#include "records/app_window.h"

namespace {

// The background's present picture, under a new one's transparent parts.
bool CopyBackgroundInto(HDC target, HDC window) {
    ScopedCreateDC background(CreateCompatibleDC(window));
    ScopedSelect selected(background, g_canvas.background);
    return selected.IsSelected() &&
           BitBlt(target, 0, 0, CANVAS_SIZE, CANVAS_SIZE, background, 0, 0, SRCCOPY) != FALSE;
}

// Draws a decoded image at the top-left corner of `picture`, one image pixel on one picture
// pixel, over what the layer would keep of its own; false when any of it failed.
bool DrawLayerPicture(HBITMAP picture, HDC window, ImagingImage image, Layer layer) {
    ScopedCreateDC memory(CreateCompatibleDC(window));
    ScopedSelect selected(memory, picture);
    if (!selected.IsSelected()) {
        return false;
    }
    // An opened memo is the image alone: no ink of the memo before it stays beside or under it.
    const bool ground = layer == Layer::Ink
                            ? PatBlt(memory, 0, 0, CANVAS_SIZE, CANVAS_SIZE, WHITENESS) != FALSE
                            : CopyBackgroundInto(memory, window);
    ImagingGraphics graphics = ground ? CreateGraphicsOnDC(memory) : nullptr;
    // A picture that could not be drawn is not loaded: as a memo it would save blank.
    const bool drawn = DrawImageAt(graphics, image, 0, 0);
    // The graphics object goes before the context it draws into.
    DeleteGraphics(graphics);
    return drawn;
}

} // namespace

ScopedGdiObject<HBITMAP> MakeLayerPicture(ImagingImage image, Layer layer) {
    if (GetImageWidth(image) == 0 || GetImageHeight(image) == 0) {
        return {};
    }
    ScopedGetDC window(g_app.hwnd);
    ScopedGdiObject<HBITMAP> picture(MakeLayerBitmap());
    if (picture == nullptr || !DrawLayerPicture(picture, window, image, layer)) {
        return {};
    }
    ClearFourthBytes(picture);
    return picture;
}
