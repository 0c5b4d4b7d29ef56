#include "view/rotation_preview.h"

#include "canvas/canvas.h"
#include "imaging/imaging.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/scoped_gdi.h"
#include "view/view.h"

namespace {

constexpr float CANVAS_CENTRE = CANVAS_SIZE / 2.0f;

// The ink as the previews of one rotate gesture draw it, copied once: the ink does not change
// while the fingers turn.
ImagingImage g_previewInk;

// Draws the ink turned by `angle` into `memory`, the size of the canvas's part of the view.
void DrawTurnedInk(HDC memory, const ViewBlit& blit, int angle) {
    ImagingGraphics graphics = CreateGraphicsOnDC(memory);
    UseNearestPixel(graphics);
    // Prepended steps, so a canvas point is moved to the centre, turned, moved back, then put
    // where the view shows it. The nearest pixel is taken about the pixel's corner; the shift
    // takes it about its centre, as the view's stretch does.
    const float scaleX = static_cast<float>(blit.dstW) / static_cast<float>(blit.srcW);
    const float scaleY = static_cast<float>(blit.dstH) / static_cast<float>(blit.srcH);
    ImagingMatrix matrix = CreateMatrix();
    TranslateMatrix(matrix, (scaleX - 1.0f) / 2.0f, (scaleY - 1.0f) / 2.0f);
    ScaleMatrix(matrix, scaleX, scaleY);
    TranslateMatrix(matrix, CANVAS_CENTRE - static_cast<float>(blit.srcX),
                    CANVAS_CENTRE - static_cast<float>(blit.srcY));
    RotateMatrix(matrix, static_cast<float>(360LL - angle));
    TranslateMatrix(matrix, -CANVAS_CENTRE, -CANVAS_CENTRE);
    SetWorldTransform(graphics, matrix);
    DrawImageAt(graphics, g_previewInk, 0, 0);
    ResetWorldTransform(graphics);
    DeleteGraphics(graphics);
    DeleteMatrix(matrix);
}

// Shows the turned ink over the canvas's part of the view, built off screen.
void ShowTurnedInk(const ViewBlit& blit, int angle) {
    ScopedGetDC window(g_app.hwnd);
    // Made after the context but declared before it, so that it is deleted after the context.
    ScopedGdiObject<HBITMAP> picture;
    ScopedCreateDC memory(CreateCompatibleDC(window));
    picture = ScopedGdiObject<HBITMAP>(CreateCompatibleBitmap(window, blit.dstW, blit.dstH));
    ScopedSelect selected(memory, picture);
    PatBlt(memory, 0, 0, blit.dstW, blit.dstH, WHITENESS);
    DrawTurnedInk(memory, blit, angle);
    BitBlt(window, blit.dstX, blit.dstY, blit.dstW, blit.dstH, memory, 0, 0, SRCCOPY);
}

} // namespace

void DrawRotationPreview(int angle) {
    const ClientExtent client = ReadClientSize();
    const ViewBlit blit = ComputeViewBlit(g_view, client.width, client.height);
    if (blit.dstW <= 0 || blit.dstH <= 0) {
        return;
    }
    if (g_previewInk == nullptr) {
        g_previewInk = CreateImageFromBitmap(g_canvas.ink);
    }
    // Only the client's part that shows canvas is built: the strips beside the canvas keep what
    // the last paint showed there, and the corners the turned square leaves show white.
    ShowTurnedInk(blit, angle);
    MarkModified();
}

void EndRotationPreview() {
    DisposeImage(g_previewInk);
    g_previewInk = nullptr;
}
