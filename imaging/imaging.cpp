#include "imaging/imaging.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <new>

// GDI+'s headers expect min and max in scope.
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

#include "imaging/image_header.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

GpGraphics* AsGraphics(ImagingGraphics graphics) {
    return reinterpret_cast<GpGraphics*>(graphics);
}
GpImage* AsImage(ImagingImage image) {
    return reinterpret_cast<GpImage*>(image);
}
GpMatrix* AsMatrix(ImagingMatrix matrix) {
    return reinterpret_cast<GpMatrix*>(matrix);
}

// The size the file's header claims; a file that cannot be read has none (the decoder fails).
HeaderSize ReadFileHeaderSize(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::unique_ptr<unsigned char[]> bytes(
        new (std::nothrow) unsigned char[IMAGE_HEADER_READ_LIMIT]);
    DWORD read = 0;
    const bool ok = bytes && ReadFile(file, bytes.get(), IMAGE_HEADER_READ_LIMIT, &read, nullptr);
    CloseHandle(file);
    return ok ? ReadHeaderSize(bytes.get(), read) : HeaderSize{};
}

// Some GDI+ versions honour a palette picture's transparent entry only when drawing onto a 32-bit
// target, not onto the screen-compatible layers (Wine's): palette pictures become 32-bit ARGB.
GpImage* WithoutPalette(GpImage* image) {
    PixelFormat format = 0;
    UINT width = 0;
    UINT height = 0;
    GpBitmap* copy = nullptr;
    if (GdipGetImagePixelFormat(image, &format) != Ok || (format & PixelFormatIndexed) == 0 ||
        GdipGetImageWidth(image, &width) != Ok || GdipGetImageHeight(image, &height) != Ok ||
        GdipCloneBitmapAreaI(0, 0, static_cast<INT>(width), static_cast<INT>(height),
                             PixelFormat32bppARGB, static_cast<GpBitmap*>(image), &copy) != Ok) {
        return image;
    }
    GdipDisposeImage(image);
    return copy;
}

} // namespace

ULONG_PTR StartImaging() {
    GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    ULONG_PTR token = 0;
    GdiplusStartup(&token, &input, nullptr);
    return token;
}

void StopImaging(ULONG_PTR token) {
    GdiplusShutdown(token);
}

ImagingGraphics CreateGraphicsOnDC(HDC dc) {
    GpGraphics* graphics = nullptr;
    GdipCreateFromHDC(dc, &graphics);
    return reinterpret_cast<ImagingGraphics>(graphics);
}

void DeleteGraphics(ImagingGraphics graphics) {
    if (graphics != nullptr) {
        GdipDeleteGraphics(AsGraphics(graphics));
    }
}

ImagingImage CreateImageFromBitmap(HBITMAP bitmap) {
    GpBitmap* image = nullptr;
    if (GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) != Ok) {
        return nullptr;
    }
    return reinterpret_cast<ImagingImage>(static_cast<GpImage*>(image));
}

ImagingImage LoadImageFile(const wchar_t* path) {
    // A header claiming more pixels than a memo can use is refused before anything is decoded.
    if (!IsDecodableSize(ReadFileHeaderSize(path))) {
        return nullptr;
    }
    GpImage* image = nullptr;
    if (GdipLoadImageFromFile(path, &image) != Ok) {
        return nullptr;
    }
    return reinterpret_cast<ImagingImage>(WithoutPalette(image));
}

void DisposeImage(ImagingImage image) {
    if (image != nullptr) {
        GdipDisposeImage(AsImage(image));
    }
}

UINT GetImageWidth(ImagingImage image) {
    UINT width = 0;
    if (image != nullptr) {
        GdipGetImageWidth(AsImage(image), &width);
    }
    return width;
}

UINT GetImageHeight(ImagingImage image) {
    UINT height = 0;
    if (image != nullptr) {
        GdipGetImageHeight(AsImage(image), &height);
    }
    return height;
}

void DrawImageAt(ImagingGraphics graphics, ImagingImage image, int x, int y) {
    const UINT width = GetImageWidth(image);
    const UINT height = GetImageHeight(image);
    if (graphics == nullptr || image == nullptr || width == 0 || height == 0) {
        return;
    }
    GdipDrawImageRectI(AsGraphics(graphics), AsImage(image), x, y, static_cast<INT>(width),
                       static_cast<INT>(height));
}

void DrawImageRect(ImagingGraphics graphics, ImagingImage image, int x, int y, int width,
                   int height) {
    if (graphics != nullptr && image != nullptr) {
        GdipDrawImageRectI(AsGraphics(graphics), AsImage(image), x, y, width, height);
    }
}

void RotateFlipImage(ImagingImage image, int rotateFlipType) {
    if (image != nullptr) {
        GdipImageRotateFlip(AsImage(image), static_cast<RotateFlipType>(rotateFlipType));
    }
}

ImagingMatrix CreateMatrix() {
    GpMatrix* matrix = nullptr;
    GdipCreateMatrix(&matrix);
    return reinterpret_cast<ImagingMatrix>(matrix);
}

void DeleteMatrix(ImagingMatrix matrix) {
    if (matrix != nullptr) {
        GdipDeleteMatrix(AsMatrix(matrix));
    }
}

void TranslateMatrix(ImagingMatrix matrix, float dx, float dy) {
    if (matrix != nullptr) {
        GdipTranslateMatrix(AsMatrix(matrix), dx, dy, MatrixOrderPrepend);
    }
}

void RotateMatrix(ImagingMatrix matrix, float degrees) {
    if (matrix != nullptr) {
        GdipRotateMatrix(AsMatrix(matrix), degrees, MatrixOrderPrepend);
    }
}

void SetWorldTransform(ImagingGraphics graphics, ImagingMatrix matrix) {
    if (graphics != nullptr && matrix != nullptr) {
        GdipSetWorldTransform(AsGraphics(graphics), AsMatrix(matrix));
    }
}

void ResetWorldTransform(ImagingGraphics graphics) {
    if (graphics != nullptr) {
        GdipResetWorldTransform(AsGraphics(graphics));
    }
}

int FindEncoder(const wchar_t* mimeType, CLSID* clsid) {
    UINT count = 0;
    UINT size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Ok || size == 0) {
        return -1;
    }
    // ImageCodecInfo records point into the same block, so it is fetched whole.
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block) {
        return -1;
    }
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(block.get());
    if (GdipGetImageEncoders(count, size, codecs) != Ok) {
        return -1;
    }
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType != nullptr && std::wcscmp(codecs[i].MimeType, mimeType) == 0) {
            *clsid = codecs[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool SaveImageFile(ImagingImage image, const wchar_t* path, const CLSID* encoder) {
    return image != nullptr && GdipSaveImageToFile(AsImage(image), path, encoder, nullptr) == Ok;
}
