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
#include "imaging/image_header.h"
#include "imaging/imaging.h"
#include "imaging/system_library.h"
#include "platform_images.h"
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

// A JPEG of the platform's encoder with `padding` bytes of comment segments and `stray` bytes
// before its frame header, which then claims `width` × `height`.
FileBytes PaddedJpeg(std::size_t padding, std::uint16_t width, std::uint16_t height,
                     std::size_t stray = 0) {
    const FileBytes jpeg = MakeJpeg(16, 16, [](int, int) { return BLACK; });

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
        {L"small.tif", MakeTiff(40, 30), 40, 30},
        {L"small.wmf", MakeWmf(60, 50), 60, 50},
        {L"small.emf", MakeEmf(2000, 1000), 75, 37}, // 20 × 10 mm at 96 dpi
        {L"small.jpg", PaddedJpeg(1100000, 16, 16), 16, 16},
        {L"huge.tif", MakeTiff(8193, 8192), 0, 0},
        {L"long.tif", MakeTiff(32768, 1), 0, 0},
        {L"huge.wmf", MakeWmf(32000, 32000), 0, 0},
        {L"huge.emf", MakeEmf(1000000, 1000000), 0, 0},
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

    // A good picture followed by more bytes than a picture may take, in a file and in memory: both
    // refused unread (the file is sparse, the memory untouched until read).
    const FileBytes png = MakePng(16, 16, [](int, int) { return RGB(0, 0, 200); });
    WriteFileBytes(in(L"long.png"), png);
    HANDLE file = CreateFileW(in(L"long.png").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER end = {};
    end.QuadPart = static_cast<LONGLONG>(IMAGE_BYTE_LIMIT) + 1;
    ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    void* block = VirtualAlloc(nullptr, IMAGE_BYTE_LIMIT + 1, MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(block, nullptr);
    std::copy(png.begin(), png.end(), static_cast<unsigned char*>(block));
    for (ImagingImage image :
         {LoadImageFile(in(L"long.png").c_str()), LoadImageBytes(block, IMAGE_BYTE_LIMIT + 1)}) {
        EXPECT_EQ(image, nullptr);
        DisposeImage(image);
    }
    VirtualFree(block, 0, MEM_RELEASE);
    RemoveTree(folder);
    StopImaging(token);
}

} // namespace
