#include "memo/clipboard.h"

#include <cstring>
#include <vector>

#include "canvas/canvas.h"
#include "imaging/imaging.h"
#include "memo/layer_picture.h"
#include "memo/png_encoding.h"
#include "records/app_window.h"
#include "records/scoped_gdi.h"

namespace {

// The registered format in which mail, chat and office programs exchange PNG files.
UINT PngFormat() {
    return RegisterClipboardFormatW(L"PNG");
}

void FreeBlock(HGLOBAL block) {
    if (block != nullptr) {
        GlobalFree(block);
    }
}

// Reads the composite's rows into a packed DIB's header and bits; the number of rows read.
int ReadCompositeRows(BYTE* packed) {
    ScopedGetDC window(g_app.hwnd);
    return GetDIBits(window, g_canvas.composite, 0, CANVAS_SIZE, packed + sizeof(BITMAPINFOHEADER),
                     reinterpret_cast<BITMAPINFO*>(packed), DIB_RGB_COLORS);
}

// The composite as a packed DIB of 24-bit rows from the bottom up, the form every reader takes;
// null when memory is short.
HGLOBAL CompositeAsDib() {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = CANVAS_SIZE;
    header.biHeight = CANVAS_SIZE;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = CANVAS_SIZE * CANVAS_SIZE * 3; // rows of 6144 bytes need no padding
    HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE, sizeof(header) + header.biSizeImage);
    auto* bytes = dib != nullptr ? static_cast<BYTE*>(GlobalLock(dib)) : nullptr;
    if (bytes == nullptr) {
        FreeBlock(dib);
        return nullptr;
    }
    std::memcpy(bytes, &header, sizeof(header));
    const int rows = ReadCompositeRows(bytes);
    GlobalUnlock(dib);
    if (rows != CANVAS_SIZE) {
        FreeBlock(dib);
        return nullptr;
    }
    return dib;
}

HGLOBAL CompositeAsPng() {
    std::vector<unsigned char> png;
    HGLOBAL block =
        EncodePng(g_canvas.composite, png) ? GlobalAlloc(GMEM_MOVEABLE, png.size()) : nullptr;
    void* bytes = block != nullptr ? GlobalLock(block) : nullptr;
    if (bytes == nullptr) {
        FreeBlock(block);
        return nullptr;
    }
    std::memcpy(bytes, png.data(), png.size());
    GlobalUnlock(block);
    return block;
}

// Hands a block to the open clipboard, which owns it from then on; one it refuses is freed.
void PutOnClipboard(UINT format, HGLOBAL data) {
    if (data != nullptr && SetClipboardData(format, data) == nullptr) {
        FreeBlock(data);
    }
}

// The open clipboard's block of one format, decoded; null when there is none or it is refused.
ImagingImage DecodeClipboardData(UINT format, ImagingImage (*decode)(const void*, std::size_t)) {
    HANDLE data = GetClipboardData(format);
    const void* bytes = data != nullptr ? GlobalLock(data) : nullptr;
    if (bytes == nullptr) {
        return nullptr;
    }
    ImagingImage image = decode(bytes, GlobalSize(data));
    GlobalUnlock(data);
    return image;
}

// The clipboard's picture, PNG before a DIB, refused as an opened file is; null when there is
// none. The caller disposes of it.
ImagingImage ReadClipboardImage() {
    if (!OpenClipboard(g_app.hwnd)) {
        return nullptr;
    }
    ImagingImage image = DecodeClipboardData(PngFormat(), LoadImageBytes);
    if (image == nullptr) {
        image = DecodeClipboardData(CF_DIB, LoadDib);
    }
    CloseClipboard();
    return image;
}

} // namespace

int CopyMemoToClipboard() {
    if (ComposeCanvas() == 0) {
        return 0;
    }
    HGLOBAL png = CompositeAsPng();
    HGLOBAL dib = CompositeAsDib();
    if ((png == nullptr && dib == nullptr) || !OpenClipboard(g_app.hwnd)) {
        FreeBlock(png);
        FreeBlock(dib);
        return 0;
    }
    EmptyClipboard();
    // The richer format first: a reader takes the first one it knows.
    PutOnClipboard(PngFormat(), png);
    PutOnClipboard(CF_DIB, dib);
    CloseClipboard();
    return 1;
}

ScopedGdiObject<HBITMAP> MakeClipboardInk() {
    ImagingImage image = ReadClipboardImage();
    ScopedGdiObject<HBITMAP> picture = MakeLayerPicture(image, Layer::Ink);
    DisposeImage(image);
    return picture;
}
