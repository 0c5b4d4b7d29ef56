#include "canvas/rotation.h"

#include "canvas/canvas.h"
#include "imaging/imaging.h"
#include "records/app_window.h"
#include "records/document_state.h"

namespace {

constexpr float CANVAS_CENTRE = CANVAS_SIZE / 2.0f;

} // namespace

void RotateLayerQuarterTurn(HBITMAP layer, int angle) {
    // The copy is taken before the layer is selected into a context: GDI+ wants an unselected
    // bitmap.
    ImagingImage copy = CreateImageFromBitmap(layer);
    RotateFlipImage(copy, angle < 0 ? ROTATE_CLOCKWISE : ROTATE_COUNTER_CLOCKWISE);

    HDC window = GetDC(g_app.hwnd);
    HDC memory = CreateCompatibleDC(window);
    HGDIOBJ oldBitmap = SelectObject(memory, layer);
    ImagingGraphics graphics = CreateGraphicsOnDC(memory);
    // Square and opaque, the turned copy replaces every pixel, one for one.
    DrawImageAt(graphics, copy, 0, 0);
    // The graphics object goes first so that its drawing is flushed into the layer.
    DeleteGraphics(graphics);
    DisposeImage(copy);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    ReleaseDC(g_app.hwnd, window);
    if (layer == g_canvas.background) {
        ++g_canvas.backgroundChanges;
    }
    g_document.modified = 1;
}

void DrawRotationPreview(int angle) {
    HDC window = GetDC(g_app.hwnd);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP scratch = CreateCompatibleBitmap(window, CANVAS_SIZE, CANVAS_SIZE);
    HGDIOBJ oldBitmap = SelectObject(memory, scratch);
    // The corners that the turned square leaves uncovered show white, never stale memory.
    PatBlt(memory, 0, 0, CANVAS_SIZE, CANVAS_SIZE, WHITENESS);
    RECT client;
    GetClientRect(g_app.hwnd, &client);

    ImagingImage copy = CreateImageFromBitmap(g_canvas.ink);
    ImagingGraphics graphics = CreateGraphicsOnDC(memory);
    // Prepended steps: a point is moved to the centre, turned, then moved back.
    ImagingMatrix matrix = CreateMatrix();
    TranslateMatrix(matrix, CANVAS_CENTRE, CANVAS_CENTRE);
    RotateMatrix(matrix, static_cast<float>(360LL - angle));
    TranslateMatrix(matrix, -CANVAS_CENTRE, -CANVAS_CENTRE);
    SetWorldTransform(graphics, matrix);
    DrawImageAt(graphics, copy, 0, 0);
    ResetWorldTransform(graphics);
    DeleteGraphics(graphics);
    DeleteMatrix(matrix);
    DisposeImage(copy);

    // Cut to the canvas like the view's painting: nothing is read from outside the scratch, and
    // the strips beside the canvas keep what the last paint showed there.
    const ViewBlit blit =
        ComputeViewBlit(g_view, client.right - client.left, client.bottom - client.top);
    SetStretchBltMode(window, COLORONCOLOR); // as the view's painting shrinks its layers
    StretchBlt(window, blit.dstX, blit.dstY, blit.dstW, blit.dstH, memory, blit.srcX, blit.srcY,
               blit.srcW, blit.srcH, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    DeleteObject(scratch);
    ReleaseDC(g_app.hwnd, window);
    g_document.modified = 1;
}
