#include "imaging/image_header.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

HeaderSize Read(const std::string& bytes) {
    return ReadHeaderSize(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
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
