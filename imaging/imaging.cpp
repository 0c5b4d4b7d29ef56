#include "imaging/imaging.h"

#include "imaging/system_library.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <new>
#include <type_traits>

// GDI+'s headers expect min and max in scope.
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

#include "imaging/image_header.h"

using namespace Gdiplus;

namespace {

// gdiplus.dll is not a known DLL: it is loaded from the system folder at first use, never
// imported (imaging/system_library.h), and reached through this table of its flat functions.
struct GdiplusFunctions {
    decltype(&Gdiplus::GdiplusStartup) Startup;
    decltype(&Gdiplus::GdiplusShutdown) Shutdown;
    decltype(&DllExports::GdipCreateFromHDC) CreateFromHDC;
    decltype(&DllExports::GdipDeleteGraphics) DeleteGraphics;
    decltype(&DllExports::GdipCreateBitmapFromHBITMAP) CreateBitmapFromHBITMAP;
    decltype(&DllExports::GdipLoadImageFromFile) LoadImageFromFile;
    decltype(&DllExports::GdipDisposeImage) DisposeImage;
    decltype(&DllExports::GdipGetImageWidth) GetImageWidth;
    decltype(&DllExports::GdipGetImageHeight) GetImageHeight;
    decltype(&DllExports::GdipGetImagePixelFormat) GetImagePixelFormat;
    decltype(&DllExports::GdipCloneBitmapAreaI) CloneBitmapAreaI;
    decltype(&DllExports::GdipDrawImageRectI) DrawImageRectI;
    decltype(&DllExports::GdipImageRotateFlip) ImageRotateFlip;
    decltype(&DllExports::GdipCreateMatrix) CreateMatrix;
    decltype(&DllExports::GdipDeleteMatrix) DeleteMatrix;
    decltype(&DllExports::GdipTranslateMatrix) TranslateMatrix;
    decltype(&DllExports::GdipRotateMatrix) RotateMatrix;
    decltype(&DllExports::GdipSetWorldTransform) SetWorldTransform;
    decltype(&DllExports::GdipResetWorldTransform) ResetWorldTransform;
    decltype(&DllExports::GdipGetImageEncodersSize) GetImageEncodersSize;
    decltype(&DllExports::GdipGetImageEncoders) GetImageEncoders;
    decltype(&DllExports::GdipSaveImageToFile) SaveImageToFile;
};

bool LoadGdiplus(GdiplusFunctions& functions) {
    const HMODULE library = LoadSystemLibrary(L"gdiplus.dll");
    bool complete = library != nullptr;
    auto load = [&](auto& entry, const char* name) {
        entry = LibraryEntry<std::remove_reference_t<decltype(entry)>>(library, name);
        complete = complete && entry != nullptr;
    };
    load(functions.Startup, "GdiplusStartup");
    load(functions.Shutdown, "GdiplusShutdown");
    load(functions.CreateFromHDC, "GdipCreateFromHDC");
    load(functions.DeleteGraphics, "GdipDeleteGraphics");
    load(functions.CreateBitmapFromHBITMAP, "GdipCreateBitmapFromHBITMAP");
    load(functions.LoadImageFromFile, "GdipLoadImageFromFile");
    load(functions.DisposeImage, "GdipDisposeImage");
    load(functions.GetImageWidth, "GdipGetImageWidth");
    load(functions.GetImageHeight, "GdipGetImageHeight");
    load(functions.GetImagePixelFormat, "GdipGetImagePixelFormat");
    load(functions.CloneBitmapAreaI, "GdipCloneBitmapAreaI");
    load(functions.DrawImageRectI, "GdipDrawImageRectI");
    load(functions.ImageRotateFlip, "GdipImageRotateFlip");
    load(functions.CreateMatrix, "GdipCreateMatrix");
    load(functions.DeleteMatrix, "GdipDeleteMatrix");
    load(functions.TranslateMatrix, "GdipTranslateMatrix");
    load(functions.RotateMatrix, "GdipRotateMatrix");
    load(functions.SetWorldTransform, "GdipSetWorldTransform");
    load(functions.ResetWorldTransform, "GdipResetWorldTransform");
    load(functions.GetImageEncodersSize, "GdipGetImageEncodersSize");
    load(functions.GetImageEncoders, "GdipGetImageEncoders");
    load(functions.SaveImageToFile, "GdipSaveImageToFile");
    return complete;
}

// Null when GDI+ cannot be loaded; then no GDI+ object exists, so code that holds one may call
// through the table without asking again.
const GdiplusFunctions* Gdip() {
    static GdiplusFunctions functions{};
    static const bool loaded = LoadGdiplus(functions);
    return loaded ? &functions : nullptr;
}

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
    if (Gdip()->GetImagePixelFormat(image, &format) != Ok || (format & PixelFormatIndexed) == 0 ||
        Gdip()->GetImageWidth(image, &width) != Ok ||
        Gdip()->GetImageHeight(image, &height) != Ok ||
        Gdip()->CloneBitmapAreaI(0, 0, static_cast<INT>(width), static_cast<INT>(height),
                                 PixelFormat32bppARGB, static_cast<GpBitmap*>(image),
                                 &copy) != Ok) {
        return image;
    }
    Gdip()->DisposeImage(image);
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
    if (Gdip() != nullptr) {
        Gdip()->Startup(&token, &input, nullptr);
    }
    return token;
}

void StopImaging(ULONG_PTR token) {
    if (token != 0) {
        Gdip()->Shutdown(token);
    }
}

ImagingGraphics CreateGraphicsOnDC(HDC dc) {
    GpGraphics* graphics = nullptr;
    if (Gdip() != nullptr) {
        Gdip()->CreateFromHDC(dc, &graphics);
    }
    return reinterpret_cast<ImagingGraphics>(graphics);
}

void DeleteGraphics(ImagingGraphics graphics) {
    if (graphics != nullptr) {
        Gdip()->DeleteGraphics(AsGraphics(graphics));
    }
}

ImagingImage CreateImageFromBitmap(HBITMAP bitmap) {
    GpBitmap* image = nullptr;
    if (Gdip() == nullptr || Gdip()->CreateBitmapFromHBITMAP(bitmap, nullptr, &image) != Ok) {
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
    if (Gdip() == nullptr || Gdip()->LoadImageFromFile(path, &image) != Ok) {
        return nullptr;
    }
    return reinterpret_cast<ImagingImage>(WithoutPalette(image));
}

void DisposeImage(ImagingImage image) {
    if (image != nullptr) {
        Gdip()->DisposeImage(AsImage(image));
    }
}

UINT GetImageWidth(ImagingImage image) {
    UINT width = 0;
    if (image != nullptr) {
        Gdip()->GetImageWidth(AsImage(image), &width);
    }
    return width;
}

UINT GetImageHeight(ImagingImage image) {
    UINT height = 0;
    if (image != nullptr) {
        Gdip()->GetImageHeight(AsImage(image), &height);
    }
    return height;
}

void DrawImageAt(ImagingGraphics graphics, ImagingImage image, int x, int y) {
    const UINT width = GetImageWidth(image);
    const UINT height = GetImageHeight(image);
    if (graphics == nullptr || image == nullptr || width == 0 || height == 0) {
        return;
    }
    Gdip()->DrawImageRectI(AsGraphics(graphics), AsImage(image), x, y, static_cast<INT>(width),
                           static_cast<INT>(height));
}

void DrawImageRect(ImagingGraphics graphics, ImagingImage image, int x, int y, int width,
                   int height) {
    if (graphics != nullptr && image != nullptr) {
        Gdip()->DrawImageRectI(AsGraphics(graphics), AsImage(image), x, y, width, height);
    }
}

void RotateFlipImage(ImagingImage image, int rotateFlipType) {
    if (image != nullptr) {
        Gdip()->ImageRotateFlip(AsImage(image), static_cast<RotateFlipType>(rotateFlipType));
    }
}

ImagingMatrix CreateMatrix() {
    GpMatrix* matrix = nullptr;
    if (Gdip() != nullptr) {
        Gdip()->CreateMatrix(&matrix);
    }
    return reinterpret_cast<ImagingMatrix>(matrix);
}

void DeleteMatrix(ImagingMatrix matrix) {
    if (matrix != nullptr) {
        Gdip()->DeleteMatrix(AsMatrix(matrix));
    }
}

void TranslateMatrix(ImagingMatrix matrix, float dx, float dy) {
    if (matrix != nullptr) {
        Gdip()->TranslateMatrix(AsMatrix(matrix), dx, dy, MatrixOrderPrepend);
    }
}

void RotateMatrix(ImagingMatrix matrix, float degrees) {
    if (matrix != nullptr) {
        Gdip()->RotateMatrix(AsMatrix(matrix), degrees, MatrixOrderPrepend);
    }
}

void SetWorldTransform(ImagingGraphics graphics, ImagingMatrix matrix) {
    if (graphics != nullptr && matrix != nullptr) {
        Gdip()->SetWorldTransform(AsGraphics(graphics), AsMatrix(matrix));
    }
}

void ResetWorldTransform(ImagingGraphics graphics) {
    if (graphics != nullptr) {
        Gdip()->ResetWorldTransform(AsGraphics(graphics));
    }
}

int FindEncoder(const wchar_t* mimeType, CLSID* clsid) {
    UINT count = 0;
    UINT size = 0;
    if (Gdip() == nullptr || Gdip()->GetImageEncodersSize(&count, &size) != Ok || size == 0) {
        return -1;
    }
    // ImageCodecInfo records point into the same block, so it is fetched whole.
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block) {
        return -1;
    }
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(block.get());
    if (Gdip()->GetImageEncoders(count, size, codecs) != Ok) {
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
    return image != nullptr &&
           Gdip()->SaveImageToFile(AsImage(image), path, encoder, nullptr) == Ok;
}
