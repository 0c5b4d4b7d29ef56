#include "platform_images.h"

#include <gtest/gtest.h>

#include "imaging/imaging.h"

namespace {

// The bytes of a metafile that `recorder` records, one rectangle drawn.
template <typename Close, typename Bits, typename Delete>
ImageBytes RecordRectangle(HDC recorder, Close close, Bits bits, Delete remove) {
    Rectangle(recorder, 0, 0, 20, 20);
    const auto metafile = close(recorder);
    ImageBytes bytes(bits(metafile, 0, nullptr));
    bits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    remove(metafile);
    return bytes;
}

} // namespace

ImageBytes MakeJpeg(int width, int height, const PixelPattern& pattern) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(memory, x, y, pattern(x, y));
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    CLSID encoder;
    EXPECT_GE(FindEncoder(L"image/jpeg", &encoder), 0);
    ImagingImage image = CreateImageFromBitmap(bitmap);
    ImageBytes encoded;
    EXPECT_TRUE(EncodeImage(image, &encoder, encoded));
    DisposeImage(image);
    DeleteObject(bitmap);
    return encoded;
}

ImageBytes MakeWmf(std::uint16_t width, std::uint16_t height) {
    ImageBytes wmf;
    PutLittleEndian(wmf, 0x9AC6CDD7u, 4);
    const std::uint16_t header[] = {0, 0, 0, width, height, 96, 0, 0};
    std::uint16_t checksum = 0;
    for (std::uint16_t word : header) {
        PutLittleEndian(wmf, word, 2);
        checksum ^= word;
    }
    PutLittleEndian(wmf, checksum ^ 0xCDD7u ^ 0x9AC6u, 2);
    const ImageBytes records =
        RecordRectangle(CreateMetaFileW(nullptr), CloseMetaFile, GetMetaFileBitsEx, DeleteMetaFile);
    wmf.insert(wmf.end(), records.begin(), records.end());
    return wmf;
}

ImageBytes MakeEmf(LONG width, LONG height) {
    const RECT frame = {0, 0, width, height};
    return RecordRectangle(CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr), CloseEnhMetaFile,
                           GetEnhMetaFileBits, DeleteEnhMetaFile);
}
