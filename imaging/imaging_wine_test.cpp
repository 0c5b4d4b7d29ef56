// The GDI+ door under Wine: every flat function the program calls is found in the system's
// gdiplus.dll, and a picture of any format the decoder opens is refused beyond the size limits
// before its pixels are decoded.
#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "imaging/gdiplus_functions.h"
#include "imaging/imaging.h"
#include "imaging/system_library.h"
#include "wine_app.h"

namespace {

#define INKWISP_GDIPLUS_NAME(name) #name,
const char* const GDIPLUS_NAMES[] = {INKWISP_GDIPLUS_FUNCTIONS(INKWISP_GDIPLUS_NAME)};
#undef INKWISP_GDIPLUS_NAME

TEST(Imaging, EveryListedFlatFunctionIsExportedByTheSystemsGdiplus) {
    const HMODULE library = LoadSystemLibrary(L"gdiplus.dll");
    ASSERT_NE(library, nullptr);
    for (const char* name : GDIPLUS_NAMES) {
        EXPECT_NE(GetProcAddress(library, name), nullptr) << name << " is not exported";
    }
    // The product's table is complete only when every look-up succeeded.
    const ULONG_PTR token = StartImaging();
    EXPECT_NE(token, 0u);
    StopImaging(token);
}

// ---- files of the formats that the header reader leaves to the decoder ----

void Put(FileBytes& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

// An 8-bit grey TIFF of one strip, its rows packed (PackBits): a large picture in a small file.
FileBytes EncodeTiff(std::uint32_t width, std::uint32_t height) {
    FileBytes row;
    for (std::uint32_t left = width; left > 0;) {
        const std::uint32_t run = std::min<std::uint32_t>(left, 128);
        row.insert(row.end(), {static_cast<unsigned char>(257 - run), 0x80});
        left -= run;
    }
    const std::uint32_t pixels = 8 + 2 + 10 * 12 + 4;
    const auto strip = static_cast<std::uint32_t>(row.size()) * height;
    const struct {
        std::uint16_t tag, type;
        std::uint32_t value;
    } entries[] = {
        {256, 4, width},  {257, 4, height}, {258, 3, 8},      {259, 3, 32773}, {262, 3, 1},
        {273, 4, pixels}, {277, 3, 1},      {278, 4, height}, {279, 4, strip}, {284, 3, 1},
    };
    FileBytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 10, 0}; // one directory of 10 entries, at 8
    for (const auto& entry : entries) {
        Put(tiff, entry.tag, 2);
        Put(tiff, entry.type, 2);
        Put(tiff, 1, 4);
        Put(tiff, entry.value, 4);
    }
    Put(tiff, 0, 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        tiff.insert(tiff.end(), row.begin(), row.end());
    }
    return tiff;
}

// The bytes of a metafile that `recorder` records, one rectangle drawn.
template <typename Close, typename Bits, typename Delete>
FileBytes RecordRectangle(HDC recorder, Close close, Bits bits, Delete remove) {
    Rectangle(recorder, 0, 0, 20, 20);
    const auto metafile = close(recorder);
    FileBytes bytes(bits(metafile, 0, nullptr));
    bits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    remove(metafile);
    return bytes;
}

// A placeable metafile (the form GDI+ opens) framing `width` × `height` units of 1/96 inch.
FileBytes EncodeWmf(std::uint16_t width, std::uint16_t height) {
    FileBytes wmf;
    Put(wmf, 0x9AC6CDD7u, 4);
    const std::uint16_t header[] = {0, 0, 0, width, height, 96, 0, 0};
    std::uint16_t checksum = 0;
    for (std::uint16_t word : header) {
        Put(wmf, word, 2);
        checksum ^= word;
    }
    Put(wmf, checksum ^ 0xCDD7u ^ 0x9AC6u, 2);
    const FileBytes records =
        RecordRectangle(CreateMetaFileW(nullptr), CloseMetaFile, GetMetaFileBitsEx, DeleteMetaFile);
    wmf.insert(wmf.end(), records.begin(), records.end());
    return wmf;
}

// An enhanced metafile whose frame is `width` × `height` in 0.01 mm.
FileBytes EncodeEmf(LONG width, LONG height) {
    const RECT frame = {0, 0, width, height};
    return RecordRectangle(CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr), CloseEnhMetaFile,
                           GetEnhMetaFileBits, DeleteEnhMetaFile);
}

// A JPEG of the platform's encoder with `padding` bytes of comment segments and `stray` bytes
// before its frame header, which then claims `width` × `height`.
FileBytes PaddedJpeg(std::size_t padding, std::uint16_t width, std::uint16_t height,
                     std::size_t stray = 0) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    CLSID encoder;
    EXPECT_GE(FindEncoder(L"image/jpeg", &encoder), 0);
    ImagingImage image = CreateImageFromBitmap(bitmap);
    FileBytes jpeg;
    EXPECT_TRUE(EncodeImage(image, &encoder, jpeg));
    DisposeImage(image);
    DeleteObject(bitmap);

    FileBytes out(jpeg.begin(), jpeg.begin() + 2);
    for (std::size_t left = padding; left > 0;) {
        const std::size_t body = std::min<std::size_t>(left, 65533);
        out.insert(out.end(), {0xFF, 0xFE, static_cast<unsigned char>((body + 2) >> 8),
                               static_cast<unsigned char>(body + 2)});
        out.resize(out.size() + body, 'x');
        left -= body;
    }
    out.resize(out.size() + stray, 0x00);
    const std::size_t start = out.size();
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    for (std::size_t at = start; at + 9 < out.size(); ++at) {
        if (out[at] == 0xFF && out[at + 1] == 0xC0) {
            out[at + 5] = static_cast<unsigned char>(height >> 8);
            out[at + 6] = static_cast<unsigned char>(height);
            out[at + 7] = static_cast<unsigned char>(width >> 8);
            out[at + 8] = static_cast<unsigned char>(width);
            break;
        }
    }
    return out;
}

SIZE_T PeakMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return std::max(counters.PeakWorkingSetSize, counters.PeakPagefileUsage);
}

TEST(Imaging, EveryFormatOpensWithinTheLimitsAndIsRefusedBeyondThemUndecoded) {
    const ULONG_PTR token = StartImaging();
    const std::wstring folder = MakeScratchFolder(L"inkwisp-imaging-");
    const auto in = [&folder](const wchar_t* name) { return folder + L"\\" + name; };
    const struct {
        const wchar_t* name;
        FileBytes bytes;
        UINT width, height; // 0: refused
    } cases[] = {
        {L"small.tif", EncodeTiff(40, 30), 40, 30},
        {L"small.wmf", EncodeWmf(60, 50), 60, 50},
        {L"small.emf", EncodeEmf(2000, 1000), 75, 37}, // 20 × 10 mm at 96 dpi
        {L"small.jpg", PaddedJpeg(1100000, 16, 16), 16, 16},
        {L"huge.tif", EncodeTiff(8193, 8192), 0, 0},
        {L"long.tif", EncodeTiff(32768, 1), 0, 0},
        {L"huge.wmf", EncodeWmf(32000, 32000), 0, 0},
        {L"huge.emf", EncodeEmf(1000000, 1000000), 0, 0},
        {L"huge.jpg", PaddedJpeg(1100000, 8193, 8192), 0, 0},
        {L"stray.jpg", PaddedJpeg(0, 8193, 8192, 3), 0, 0},
    };
    const SIZE_T before = PeakMemory();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        WriteFileBytes(in(c.name), c.bytes);
        ImagingImage image = LoadImageFile(in(c.name).c_str());
        EXPECT_EQ(GetImageWidth(image), c.width);
        EXPECT_EQ(GetImageHeight(image), c.height);
        DisposeImage(image);
    }
    const SIZE_T growth = PeakMemory() - before;
    std::printf("peak memory grown by %lu KiB over these files\n",
                static_cast<unsigned long>(growth / 1024));
    EXPECT_LT(growth, SIZE_T{64} << 20);
    RemoveTree(folder);
    StopImaging(token);
}

} // namespace
