#include "view_pictures.h"

#include "canvas/canvas.h"
#include "view/view.h"
#include "imaging/imaging.h"
#include "records/app_window.h"
#include "wine_app.h"

std::vector<std::uint32_t> ReadClientArea() {
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    std::vector<std::uint32_t> pixels(static_cast<size_t>(client.right) * client.bottom);
    HDC window = GetDC(g_app.hwnd);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP shot = CreateCompatibleBitmap(window, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, client.right, client.bottom, window, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info = TopDown32(client.right, client.bottom);
    GetDIBits(memory, shot, 0, client.bottom, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(g_app.hwnd, window);
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

int CountPixelsUnlikeWholeRepaint(POINT& first) {
    const std::vector<std::uint32_t> shown = ReadClientArea();
    PaintView(PaintForm::Immediate);
    const std::vector<std::uint32_t> whole = ReadClientArea();
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    int unlike = 0;
    for (size_t i = 0; i < shown.size() && i < whole.size(); ++i) {
        if (shown[i] != whole[i] && unlike++ == 0) {
            first = {static_cast<LONG>(i % client.right), static_cast<LONG>(i / client.right)};
        }
    }
    return unlike;
}

void PaintNoise(HBITMAP layer, std::uint32_t seed) {
    std::vector<std::uint32_t> pixels(CANVAS_SIZE * CANVAS_SIZE);
    std::uint32_t state = seed;
    for (std::uint32_t& pixel : pixels) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        pixel = state & 0xFFFFFF;
    }
    BITMAPINFO info = TopDown32(CANVAS_SIZE, CANVAS_SIZE);
    HDC screen = GetDC(nullptr);
    SetDIBits(screen, layer, 0, CANVAS_SIZE, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
}

void DrawFullSizeRotationPreview(int angle) {
    HDC window = GetDC(g_app.hwnd);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP scratch = CreateCompatibleBitmap(window, CANVAS_SIZE, CANVAS_SIZE);
    HGDIOBJ oldBitmap = SelectObject(memory, scratch);
    PatBlt(memory, 0, 0, CANVAS_SIZE, CANVAS_SIZE, WHITENESS);
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    ImagingImage copy = CreateImageFromBitmap(g_canvas.ink);
    ImagingGraphics graphics = CreateGraphicsOnDC(memory);
    ImagingMatrix matrix = CreateMatrix();
    TranslateMatrix(matrix, CANVAS_SIZE / 2.0f, CANVAS_SIZE / 2.0f);
    RotateMatrix(matrix, static_cast<float>(360LL - angle));
    TranslateMatrix(matrix, -CANVAS_SIZE / 2.0f, -CANVAS_SIZE / 2.0f);
    SetWorldTransform(graphics, matrix);
    DrawImageAt(graphics, copy, 0, 0);
    ResetWorldTransform(graphics);
    DeleteGraphics(graphics);
    DeleteMatrix(matrix);
    DisposeImage(copy);
    const ViewBlit blit =
        ComputeViewBlit(g_view, client.right - client.left, client.bottom - client.top);
    SetStretchBltMode(window, COLORONCOLOR);
    StretchBlt(window, blit.dstX, blit.dstY, blit.dstW, blit.dstH, memory, blit.srcX, blit.srcY,
               blit.srcW, blit.srcH, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    DeleteObject(scratch);
    ReleaseDC(g_app.hwnd, window);
}
