#include "view_pictures.h"

#include "canvas/canvas.h"
#include "view/view.h"
#include "imaging/imaging.h"
#include "records/app_window.h"
#include "records/settings.h"
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

namespace {

// A layer stretched through the view into a client-sized picture of its own, in `mode`.
std::vector<std::uint32_t> StretchLayer(HBITMAP layer, const ViewBlit& blit, int mode,
                                        const RECT& client) {
    BITMAPINFO info = TopDown32(client.right, client.bottom);
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC to = CreateCompatibleDC(nullptr);
    HDC from = CreateCompatibleDC(nullptr);
    HGDIOBJ oldTo = SelectObject(to, picture);
    HGDIOBJ oldFrom = SelectObject(from, layer);
    SetStretchBltMode(to, mode);
    StretchBlt(to, blit.dstX, blit.dstY, blit.dstW, blit.dstH, from, blit.srcX, blit.srcY,
               blit.srcW, blit.srcH, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first,
                                      first + static_cast<size_t>(client.right) * client.bottom);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    DeleteObject(picture);
    return pixels;
}

} // namespace

std::vector<std::uint32_t> ComposeViewWithGdi() {
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    const ViewBlit blit = ComputeViewBlit(g_view, client.right, client.bottom);
    std::vector<std::uint32_t> ink = StretchLayer(g_canvas.ink, blit, BLACKONWHITE, client);
    const std::vector<std::uint32_t> background =
        StretchLayer(g_canvas.background, blit, COLORONCOLOR, client);
    const COLORREF desk = GetSysColor(COLOR_APPWORKSPACE);
    for (size_t i = 0; i < ink.size(); ++i) {
        const int x = static_cast<int>(i % client.right);
        const int y = static_cast<int>(i / client.right);
        if (x < blit.dstX || x >= blit.dstX + blit.dstW || y < blit.dstY ||
            y >= blit.dstY + blit.dstH) {
            ink[i] = (GetRValue(desk) << 16) | (GetGValue(desk) << 8) | GetBValue(desk);
        } else if ((ink[i] &= 0xFFFFFF) == 0xFFFFFF && g_settings.backgroundEnabled != 0) {
            ink[i] = background[i] & 0xFFFFFF;
        }
    }
    return ink;
}
