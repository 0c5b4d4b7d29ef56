#include "imaging/image_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include <string>

namespace {

using namespace std::string_literals;

HeaderSize Read(const std::string& bytes) {
    return ReadHeaderSize(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void PutBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>(value >> shift);
    }
}

std::uint32_t Crc32(const std::string& data) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit) {
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
            }
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

void PutChunk(std::string& png, const std::string& typedBody) {
    PutBigEndian(png, static_cast<std::uint32_t>(typedBody.size() - 4));
    png += typedBody;
    PutBigEndian(png, Crc32(typedBody));
}

// A complete, valid black 1-bit greyscale PNG, its pixels in stored deflate blocks.
std::string BlackPng(std::uint32_t width, std::uint32_t height) {
    const std::string row = '\0' + std::string((width + 7) / 8, '\0');
    std::string zlib = "\x78\x01"s;
    const std::size_t total = row.size() * height;
    for (std::size_t at = 0; at < total; at += 65535) {
        const std::size_t size = std::min<std::size_t>(65535, total - at);
        zlib += static_cast<char>(at + size == total ? 1 : 0);
        zlib += {static_cast<char>(size), static_cast<char>(size >> 8), static_cast<char>(~size),
                 static_cast<char>(~size >> 8)};
        zlib += std::string(size, '\0');
    }
    std::uint32_t a = 1, b = 0; // Adler-32 of all-zero data
    for (std::size_t i = 0; i < total; ++i) {
        b = (b + a) % 65521;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::string header = "IHDR";
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header += "\x01\0\0\0\0"s; // 1 bit, greyscale, deflate, no filter variants, no interlace
    std::string png = "\x89PNG\r\n\x1A\n"s;
    PutChunk(png, header);
    PutChunk(png, "IDAT" + zlib);
    PutChunk(png, "IEND");
    return png;
}

TEST(ImageHeader, ReadsTheClaimedSizeOfEachFormatOrLeavesItToTheDecoder) {
    const std::string png = "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\xEA\x60\0\0\x01\x02"s;
    const std::string jpeg = "\xFF\xD8\xFF\xE1\0\x04xx\xFF\xFF\xC2\0\x11\x08\x01\x02\x03\x04"s;
    const struct {
        std::string bytes;
        bool known;
        std::uint32_t width, height;
    } cases[] = {
        {png, true, 60000, 258},
        {png.substr(0, 23), false, 0, 0},
        {"GIF89a\x10\x02\x20\x01"s, true, 0x210, 0x120},
        {"BM"s + std::string(12, '\0') + "\x28\0\0\0\x30\0\0\0\xF6\xFF\xFF\xFF"s, true, 48, 10},
        {"BM"s + std::string(12, '\0') + "\x0C\0\0\0\x30\0\x0A\0\0\0\0\0"s, true, 48, 10},
        {"BM"s + std::string(12, '\0') + "\x28\0\0\0\x30\0\0\0\0\0\0\x80"s, true, 48, 0x80000000},
        {jpeg, true, 0x0304, 0x0102},
        {"\xFF\xD8"s, false, 0, 0},
        {"\xFF\xD8\xFF\xDA\0\x02"s + jpeg.substr(10), false, 0, 0}, // pixels before any frame
        {"\xFF\xD8\xFF\xE1\0\x00\xFF\xC0"s, false, 0, 0},           // a length that cannot be
        {"not an image", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        const HeaderSize size = Read(c.bytes);
        EXPECT_EQ(size.known, c.known);
        if (c.known) {
            EXPECT_EQ(size.width, c.width);
            EXPECT_EQ(size.height, c.height);
        }
    }
}

// Each row names the slip in the JPEG walk that it catches.
TEST(ImageHeader, EachStepOfTheJpegWalkHasACaseThatFailsWithoutIt) {
    const std::string soi = "\xFF\xD8"s;
    const std::string frame =
        "\xFF\xC0\0\x11\x08\x01\xE0\x02\x80\x03\x01\x22\0\x02\x11\x01\x03\x11\x01"s;
    const std::string huffman = "\xFF\xC4\0\x1F\0\0\x01\x05\x01\x01\x01\x01\x01\x01\0\0\0\0\0\0\0"s
                                "\0\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B"s;
    const std::string scan = "\xFF\xDA\0\x0C\x03\x01\0\x02\x11\x03\x11\0\x3F\0"s;
    const struct {
        const char* fault;
        std::string bytes;
        bool known;
    } cases[] = {
        {"reads on past the start of scan", soi + scan + frame, false},
        {"reads on past the end of image", soi + "\xFF\xD9\0\x02"s + frame, false},
        {"takes a frame header whose length is below 2", soi + "\xFF\xC0\0\x01"s + frame.substr(4),
         false},
        {"takes the Huffman tables (DHT, C4) for the frame", soi + huffman + frame, true},
        {"takes the arithmetic conditioning (DAC, CC) for the frame",
         soi + "\xFF\xCC\0\x04\x01\x23"s + frame, true},
        {"takes the reserved JPG marker (C8) for the frame", soi + "\xFF\xC8\0\x04\0\0"s + frame,
         true},
        {"skips fill bytes wrongly", soi + "\xFF\xFF\xFF"s + frame, true},
        {"stops at stray bytes, which decoders skip", soi + "\x12\xFF\0\x34"s + frame, true},
        {"skips a restart marker wrongly", soi + "\xFF\xD0"s + frame, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        const HeaderSize size = Read(c.bytes);
        EXPECT_EQ(size.known, c.known);
        if (c.known) {
            EXPECT_EQ(size.width, 640u);
            EXPECT_EQ(size.height, 480u);
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
    const std::string frame = "\xFF\xC0\0\x11\x08\x01\xE0\x02\x80\x03\x01\x22\0\x02"s;
    std::string padded = "\xFF\xD8"s;
    for (int i = 0; i < 20; ++i) {
        padded += "\xFF\xFE\xFF\xFF"s + std::string(0xFFFD, 'x'); // the longest comments
    }
    padded += "\xFF\xFF"s + frame;
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

TEST(ImageHeader, RefusesOnlyKnownSizesBeyondTheLimits) {
    EXPECT_TRUE(IsDecodableSize({false, 0, 0}));
    EXPECT_TRUE(IsDecodableSize({true, 8192, 8192}));
    EXPECT_TRUE(IsDecodableSize({true, IMAGE_SIDE_LIMIT, 2048}));
    EXPECT_FALSE(IsDecodableSize({true, 8192, 8193}));
    EXPECT_FALSE(IsDecodableSize({true, IMAGE_SIDE_LIMIT + 1, 1}));
    EXPECT_FALSE(IsDecodableSize({true, 60000, 60000}));
    EXPECT_FALSE(IsDecodableSize({true, 0xFFFFFFFF, 0xFFFFFFFF}));
}

} // namespace
