#include "imaging/imaging.h"

#include "imaging/system_library.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

// GDI+'s headers expect min and max in scope.
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>
#include <wincodec.h>

#include "imaging/gdiplus_functions.h"
#include "imaging/image_header.h"

using namespace Gdiplus;

namespace {

// The flat functions, wherever GDI+'s headers declare them.
namespace GdiplusFlat {
using namespace Gdiplus;
using namespace Gdiplus::DllExports;
} // namespace GdiplusFlat

// gdiplus.dll is not a known DLL: it is loaded from the system folder at first use, never
// imported (imaging/system_library.h), and reached through this table of its flat functions.
struct GdiplusFunctions {
// The argument is a function's name, declared here as a field: it cannot stand in parentheses.
// NOLINTNEXTLINE(bugprone-macro-parentheses)
#define INKWISP_GDIPLUS_SLOT(name) decltype(&GdiplusFlat::name) name;
    INKWISP_GDIPLUS_FUNCTIONS(INKWISP_GDIPLUS_SLOT)
#undef INKWISP_GDIPLUS_SLOT
};

// False when the library or any one function is missing: imaging is then off as a whole.
bool LoadGdiplus(GdiplusFunctions& functions) {
    const HMODULE library = LoadSystemLibrary(L"gdiplus.dll");
    bool complete = library != nullptr;
#define INKWISP_GDIPLUS_LOOKUP(name)                                                               \
    functions.name = LibraryEntry<decltype(functions.name)>(library, #name);                       \
    complete = complete && functions.name != nullptr;
    INKWISP_GDIPLUS_FUNCTIONS(INKWISP_GDIPLUS_LOOKUP)
#undef INKWISP_GDIPLUS_LOOKUP
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

// A file that cannot be looked at is left to the decoder, which fails on it.
bool IsWithinByteLimit(const wchar_t* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path, GetFileExInfoStandard, &data) == 0 ||
           ((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow) <= IMAGE_BYTE_LIMIT;
}

// The size the file's header claims; a file that cannot be read has none (the decoder fails). A
// JPEG's walk to its frame header goes on window by window through the file.
HeaderSize ReadFileHeaderSize(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::unique_ptr<unsigned char[]> bytes(
        new (std::nothrow) unsigned char[IMAGE_HEADER_READ_LIMIT]);
    DWORD read = 0;
    HeaderSize size = {};
    if (bytes && ReadFile(file, bytes.get(), IMAGE_HEADER_READ_LIMIT, &read, nullptr)) {
        size = ReadHeaderSize(bytes.get(), read);
    }
    LARGE_INTEGER window = {};
    while (size.resumeAt != 0) {
        window.QuadPart += static_cast<LONGLONG>(size.resumeAt);
        if (!SetFilePointerEx(file, window, nullptr, FILE_BEGIN) ||
            !ReadFile(file, bytes.get(), IMAGE_HEADER_READ_LIMIT, &read, nullptr)) {
            size = {};
            break;
        }
        size = ResumeJpegWalk(bytes.get(), read);
    }
    CloseHandle(file);
    return size;
}

// The size of a picture's first frame as the system's decoder (the Windows Imaging Component,
// which also decodes for Wine's GDI+) reads it from the header, before it decodes any pixel; none
// when no such decoder takes the picture (a metafile: GDI+ reads those itself). `openDecoder`
// makes the decoder from the factory, for a file or for a stream.
template <typename OpenDecoder> HeaderSize ReadDecoderFrameSize(OpenDecoder openDecoder) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HeaderSize size{};
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    UINT width = 0;
    UINT height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(openDecoder(factory, &decoder)) && SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(frame->GetSize(&width, &height))) {
        size = {true, width, height, 0};
    }
    for (IUnknown* object : {static_cast<IUnknown*>(frame), static_cast<IUnknown*>(decoder),
                             static_cast<IUnknown*>(factory)}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return size;
}

// A picture larger than a memo can use is refused before its pixels are decoded: first by the
// header as this program reads it, then, for a format that reader does not know, as the system's
// decoder reads it.
template <typename OpenDecoder>
bool PassesHeaderGates(const HeaderSize& header, OpenDecoder openDecoder) {
    return IsDecodableSize(header) &&
           (header.known || IsDecodableSize(ReadDecoderFrameSize(openDecoder)));
}

// The pixel size GDI+ gives a loaded image; GDI+ on Windows decodes a bitmap's pixels only when
// they are first needed, and a metafile's size is its header's frame.
HeaderSize ReadImageSize(GpImage* image) {
    UINT width = 0;
    UINT height = 0;
    if (Gdip()->GdipGetImageWidth(image, &width) != Ok ||
        Gdip()->GdipGetImageHeight(image, &height) != Ok) {
        return {};
    }
    return {true, width, height, 0};
}

// Some GDI+ versions honour a palette picture's transparent entry only when drawing onto a 32-bit
// target, not onto the screen-compatible layers (Wine's): palette pictures become 32-bit ARGB.
GpImage* WithoutPalette(GpImage* image) {
    PixelFormat format = 0;
    UINT width = 0;
    UINT height = 0;
    GpBitmap* copy = nullptr;
    if (Gdip()->GdipGetImagePixelFormat(image, &format) != Ok ||
        (format & PixelFormatIndexed) == 0 || Gdip()->GdipGetImageWidth(image, &width) != Ok ||
        Gdip()->GdipGetImageHeight(image, &height) != Ok ||
        Gdip()->GdipCloneBitmapAreaI(0, 0, static_cast<INT>(width), static_cast<INT>(height),
                                     PixelFormat32bppARGB, static_cast<GpBitmap*>(image),
                                     &copy) != Ok) {
        return image;
    }
    Gdip()->GdipDisposeImage(image);
    return copy;
}

// The last gate, the size GDI+ has read on loading; a palette picture comes back as 32-bit ARGB.
ImagingImage CheckLoadedImage(GpImage* image) {
    if (!IsDecodableSize(ReadImageSize(image))) {
        Gdip()->GdipDisposeImage(image);
        return nullptr;
    }
    return reinterpret_cast<ImagingImage>(WithoutPalette(image));
}

bool Rewind(IStream* stream) {
    const LARGE_INTEGER start = {};
    return SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr));
}

bool AppendBytes(IStream* stream, const void* bytes, std::size_t size) {
    ULONG written = 0;
    return size == 0 ||
           (SUCCEEDED(stream->Write(bytes, static_cast<ULONG>(size), &written)) && written == size);
}

// Decodes a picture whose bytes are `first` followed by `second`, from a stream of their own (the
// caller's memory may go before the image does), through the same gates as a file; `header` is
// what the header reader made of the first bytes.
ImagingImage LoadJoinedBytes(const HeaderSize& header, const void* first, std::size_t firstSize,
                             const void* second, std::size_t secondSize) {
    IStream* stream = nullptr;
    if (!IsDecodableSize(header) || std::uint64_t{firstSize} + secondSize > IMAGE_BYTE_LIMIT ||
        FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        return nullptr;
    }
    auto openStream = [stream](IWICImagingFactory* factory, IWICBitmapDecoder** decoder) {
        return factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder);
    };
    GpImage* image = nullptr;
    const bool loaded = AppendBytes(stream, first, firstSize) &&
                        AppendBytes(stream, second, secondSize) && Rewind(stream) &&
                        PassesHeaderGates(header, openStream) && Rewind(stream) &&
                        Gdip() != nullptr && Gdip()->GdipLoadImageFromStream(stream, &image) == Ok;
    // GDI+ holds the stream itself for as long as the image lives.
    stream->Release();
    return loaded ? CheckLoadedImage(image) : nullptr;
}

bool ReadWholeStream(IStream* stream, std::vector<unsigned char>& bytes) {
    STATSTG status = {};
    if (stream->Stat(&status, STATFLAG_NONAME) != S_OK || status.cbSize.HighPart != 0 ||
        !Rewind(stream)) {
        return false;
    }
    const ULONG size = status.cbSize.LowPart;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ULONG read = 0;
    return stream->Read(bytes.data(), size, &read) == S_OK && read == size;
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
        Gdip()->GdiplusStartup(&token, &input, nullptr);
    }
    return token;
}

void StopImaging(ULONG_PTR token) {
    if (token != 0) {
        Gdip()->GdiplusShutdown(token);
    }
}

ImagingGraphics CreateGraphicsOnDC(HDC dc) {
    GpGraphics* graphics = nullptr;
    if (Gdip() != nullptr) {
        Gdip()->GdipCreateFromHDC(dc, &graphics);
    }
    return reinterpret_cast<ImagingGraphics>(graphics);
}

void DeleteGraphics(ImagingGraphics graphics) {
    if (graphics != nullptr) {
        Gdip()->GdipDeleteGraphics(AsGraphics(graphics));
    }
}

ImagingImage CreateImageFromBitmap(HBITMAP bitmap) {
    GpBitmap* image = nullptr;
    if (Gdip() == nullptr || Gdip()->GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) != Ok) {
        return nullptr;
    }
    return reinterpret_cast<ImagingImage>(static_cast<GpImage*>(image));
}

ImagingImage LoadImageFile(const wchar_t* path) {
    auto openFile = [path](IWICImagingFactory* factory, IWICBitmapDecoder** decoder) {
        return factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder);
    };
    GpImage* image = nullptr;
    if (!IsWithinByteLimit(path) || !PassesHeaderGates(ReadFileHeaderSize(path), openFile) ||
        Gdip() == nullptr || Gdip()->GdipLoadImageFromFile(path, &image) != Ok) {
        return nullptr;
    }
    return CheckLoadedImage(image);
}

ImagingImage LoadImageBytes(const void* bytes, std::size_t size) {
    return LoadJoinedBytes(ReadHeaderSize(static_cast<const unsigned char*>(bytes), size), bytes,
                           size, nullptr, 0);
}

ImagingImage LoadDib(const void* dib, std::size_t size) {
    unsigned char file[BMP_FILE_HEADER_SIZE];
    if (!MakeDibFileHeader(static_cast<const unsigned char*>(dib), size, file)) {
        return nullptr;
    }
    // The header reader reads the size from the file's first bytes, as from a BMP file's.
    unsigned char head[BMP_FILE_HEADER_SIZE + sizeof(BITMAPINFOHEADER)];
    std::memcpy(head, file, sizeof(file));
    std::memcpy(head + sizeof(file), dib, sizeof(BITMAPINFOHEADER));
    return LoadJoinedBytes(ReadHeaderSize(head, sizeof(head)), file, sizeof(file), dib, size);
}

void DisposeImage(ImagingImage image) {
    if (image != nullptr) {
        Gdip()->GdipDisposeImage(AsImage(image));
    }
}

UINT GetImageWidth(ImagingImage image) {
    UINT width = 0;
    if (image != nullptr) {
        Gdip()->GdipGetImageWidth(AsImage(image), &width);
    }
    return width;
}

UINT GetImageHeight(ImagingImage image) {
    UINT height = 0;
    if (image != nullptr) {
        Gdip()->GdipGetImageHeight(AsImage(image), &height);
    }
    return height;
}

bool DrawImageAt(ImagingGraphics graphics, ImagingImage image, int x, int y) {
    const UINT width = GetImageWidth(image);
    const UINT height = GetImageHeight(image);
    return graphics != nullptr && image != nullptr && width != 0 && height != 0 &&
           Gdip()->GdipDrawImageRectI(AsGraphics(graphics), AsImage(image), x, y,
                                      static_cast<INT>(width), static_cast<INT>(height)) == Ok;
}

void DrawImageRect(ImagingGraphics graphics, ImagingImage image, int x, int y, int width,
                   int height) {
    if (graphics != nullptr && image != nullptr) {
        Gdip()->GdipDrawImageRectI(AsGraphics(graphics), AsImage(image), x, y, width, height);
    }
}

void UseNearestPixel(ImagingGraphics graphics) {
    if (graphics != nullptr) {
        Gdip()->GdipSetInterpolationMode(AsGraphics(graphics), InterpolationModeNearestNeighbor);
    }
}

bool RotateFlipImage(ImagingImage image, int rotateFlipType) {
    return image != nullptr &&
           Gdip()->GdipImageRotateFlip(AsImage(image),
                                       static_cast<RotateFlipType>(rotateFlipType)) == Ok;
}

ImagingMatrix CreateMatrix() {
    GpMatrix* matrix = nullptr;
    if (Gdip() != nullptr) {
        Gdip()->GdipCreateMatrix(&matrix);
    }
    return reinterpret_cast<ImagingMatrix>(matrix);
}

void DeleteMatrix(ImagingMatrix matrix) {
    if (matrix != nullptr) {
        Gdip()->GdipDeleteMatrix(AsMatrix(matrix));
    }
}

void TranslateMatrix(ImagingMatrix matrix, float dx, float dy) {
    if (matrix != nullptr) {
        Gdip()->GdipTranslateMatrix(AsMatrix(matrix), dx, dy, MatrixOrderPrepend);
    }
}

void RotateMatrix(ImagingMatrix matrix, float degrees) {
    if (matrix != nullptr) {
        Gdip()->GdipRotateMatrix(AsMatrix(matrix), degrees, MatrixOrderPrepend);
    }
}

void ScaleMatrix(ImagingMatrix matrix, float sx, float sy) {
    if (matrix != nullptr) {
        Gdip()->GdipScaleMatrix(AsMatrix(matrix), sx, sy, MatrixOrderPrepend);
    }
}

void SetWorldTransform(ImagingGraphics graphics, ImagingMatrix matrix) {
    if (graphics != nullptr && matrix != nullptr) {
        Gdip()->GdipSetWorldTransform(AsGraphics(graphics), AsMatrix(matrix));
    }
}

void ResetWorldTransform(ImagingGraphics graphics) {
    if (graphics != nullptr) {
        Gdip()->GdipResetWorldTransform(AsGraphics(graphics));
    }
}

int FindEncoder(const wchar_t* mimeType, CLSID* clsid) {
    UINT count = 0;
    UINT size = 0;
    if (Gdip() == nullptr || Gdip()->GdipGetImageEncodersSize(&count, &size) != Ok || size == 0) {
        return -1;
    }
    // ImageCodecInfo records point into the same block, so it is fetched whole.
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block) {
        return -1;
    }
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(block.get());
    if (Gdip()->GdipGetImageEncoders(count, size, codecs) != Ok) {
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

bool EncodeImage(ImagingImage image, const CLSID* encoder, std::vector<unsigned char>& bytes) {
    IStream* stream = nullptr;
    if (image == nullptr || CreateStreamOnHGlobal(nullptr, TRUE, &stream) != S_OK) {
        return false;
    }
    const bool encoded =
        Gdip()->GdipSaveImageToStream(AsImage(image), stream, encoder, nullptr) == Ok &&
        ReadWholeStream(stream, bytes);
    stream->Release();
    return encoded;
}
