#include "imaging/image_header.h"

#include <gtest/gtest.h>

#include <string>

#include "image_writers.h"

namespace {

using namespace std::string_literals;

HeaderSize Read(const std::string& bytes) {
    return ReadHeaderSize(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// A complete, valid black 1-bit greyscale PNG.
std::string BlackPng(std::uint32_t width, std::uint32_t height) {
    const ImageBytes rows((1 + (width + 7) / 8) * std::size_t{height}, 0); // no filter, all black
    const ImageBytes png = MakePngOfRows(width, height, 1, 0, rows);
    return std::string(png.begin(), png.end());
}

// A baseline frame header of 640 × 480.
std::string JpegFrame() {
    return "\xFF\xC0\0\x11\x08\x01\xE0\x02\x80\x03\x01\x22\0\x02\x11\x01\x03\x11\x01"s;
}

// Each row names what it reads, or the slip in the JPEG walk that it catches.
TEST(ImageHeader, ReadsTheClaimedSizeOfEachFormatOrLeavesItToTheDecoder) {
    const std::string png = "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\xEA\x60\0\0\x01\x02"s;
    const std::string jpeg = "\xFF\xD8\xFF\xE1\0\x04xx\xFF\xFF\xC2\0\x11\x08\x01\x02\x03\x04"s;
    const std::string bmp = "BM"s + std::string(12, '\0');
    const std::string soi = "\xFF\xD8"s, frame = JpegFrame();
    const std::string huffman = "\xFF\xC4\0\x1F\0\0\x01\x05\x01\x01\x01\x01\x01\x01\0\0\0\0\0\0\0"s
                                "\0\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B"s;
    const std::string scan = "\xFF\xDA\0\x0C\x03\x01\0\x02\x11\x03\x11\0\x3F\0"s;
    const struct {
        const char* guards;
        std::string bytes;
        bool known;
        std::uint32_t width, height;
    } cases[] = {
        {"a PNG", png, true, 60000, 258},
        {"a PNG cut short", png.substr(0, 23), false, 0, 0},
        {"a GIF", "GIF89a\x10\x02\x20\x01"s, true, 0x210, 0x120},
        {"a top-down BMP", bmp + "\x28\0\0\0\x30\0\0\0\xF6\xFF\xFF\xFF"s, true, 48, 10},
        {"an OS/2 BMP", bmp + "\x0C\0\0\0\x30\0\x0A\0\0\0\0\0"s, true, 48, 10},
        {"a BMP 2^31 high", bmp + "\x28\0\0\0\x30\0\0\0\0\0\0\x80"s, true, 48, 0x80000000},
        {"a progressive JPEG", jpeg, true, 0x0304, 0x0102},
        {"a JPEG of no segments", soi, false, 0, 0},
        {"pixels before any frame", soi + "\xFF\xDA\0\x02"s + jpeg.substr(10), false, 0, 0},
        {"a length that cannot be", soi + "\xFF\xE1\0\x00\xFF\xC0"s, false, 0, 0},
        {"not an image", "not an image", false, 0, 0},
        {"no bytes", "", false, 0, 0},
        {"reads on past the start of scan", soi + scan + frame, false, 0, 0},
        {"reads on past the end of image", soi + "\xFF\xD9\0\x02"s + frame, false, 0, 0},
        {"takes a frame header whose length is below 2", soi + "\xFF\xC0\0\x01"s + frame.substr(4),
         false, 0, 0},
        {"takes the Huffman tables (DHT, C4) for the frame", soi + huffman + frame, true, 640, 480},
        {"takes the arithmetic conditioning (DAC, CC) for the frame",
         soi + "\xFF\xCC\0\x04\x01\x23"s + frame, true, 640, 480},
        {"takes the reserved JPG marker (C8) for the frame", soi + "\xFF\xC8\0\x04\0\0"s + frame,
         true, 640, 480},
        {"skips fill bytes wrongly", soi + "\xFF\xFF\xFF"s + frame, true, 640, 480},
        {"stops at stray bytes, which decoders skip", soi + "\x12\xFF\0\x34"s + frame, true, 640,
         480},
        {"skips a restart marker wrongly", soi + "\xFF\xD0"s + frame, true, 640, 480},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.guards);
        const HeaderSize size = Read(c.bytes);
        EXPECT_EQ(size.known, c.known);
        if (c.known) {
            EXPECT_EQ(size.width, c.width);
            EXPECT_EQ(size.height, c.height);
        }
    }
}

// Reads as the file reader does: the first window, then a window from each resume offset.
HeaderSize ReadInWindows(const std::string& file, std::size_t window) {
    std::size_t start = 0;
    HeaderSize size = Read(file.substr(0, window));
    while (size.resumeAt != 0) {
        start += size.resumeAt;
        const std::string bytes = start < file.size() ? file.substr(start, window) : "";
        size = ResumeJpegWalk(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }
    return size;
}

TEST(ImageHeader, AJpegsWalkGoesOnWhereItsBytesEnded) {
    std::string padded = "\xFF\xD8"s;
    for (int i = 0; i < 20; ++i) {
        padded += "\xFF\xFE\xFF\xFF"s + std::string(0xFFFD, 'x'); // the longest comments
    }
    padded += "\xFF\xFF"s + JpegFrame().substr(0, 14);
    for (std::size_t window :
         {padded.size(), std::size_t{9}, std::size_t{65536}, std::size_t{100000}}) {
        SCOPED_TRACE(window);
        const HeaderSize size = ReadInWindows(padded, window);
        EXPECT_TRUE(size.known);
        EXPECT_EQ(size.width, 640u);
        EXPECT_EQ(size.height, 480u);
    }
    // Cut short: no size, and the walk stops at the end of the file.
    EXPECT_FALSE(ReadInWindows(padded.substr(0, padded.size() - 10), 65536).known);
    EXPECT_EQ(Read(padded.substr(0, 4000)).resumeAt, 4u + 0xFFFF);
    EXPECT_EQ(Read("\xFF\xD8\xFF\xDA\0\x02"s).resumeAt, 0u);
}

TEST(ImageHeader, AValidPngJustOverTheLimitsIsRefusedAndOneJustUnderIsNot) {
    const struct {
        std::uint32_t width, height;
        bool decodable;
    } cases[] = {
        {8192, 8192, true},
        {8192, 8193, false},
        {IMAGE_SIDE_LIMIT, 1, true},
        {IMAGE_SIDE_LIMIT + 1, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const HeaderSize size = Read(BlackPng(c.width, c.height));
        ASSERT_TRUE(size.known);
        EXPECT_EQ(size.width, c.width);
        EXPECT_EQ(size.height, c.height);
        EXPECT_EQ(IsDecodableSize(size), c.decodable);
    }
}

// The sizes just over and under the limits are the PNG rows above.
TEST(ImageHeader, RefusesOnlyKnownSizesBeyondTheLimits) {
    EXPECT_TRUE(IsDecodableSize({false, 0, 0}));
    EXPECT_TRUE(IsDecodableSize({true, IMAGE_SIDE_LIMIT, 2048}));
    EXPECT_FALSE(IsDecodableSize({true, 60000, 60000}));
    EXPECT_FALSE(IsDecodableSize({true, 0xFFFFFFFF, 0xFFFFFFFF}));
}

} // namespace
