// The pixel size that an image file's header claims, read before any pixel is decoded, so that a
// file claiming a gigantic picture is refused before the decoder allocates for it. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>

// Enough for a JPEG's metadata segments before its frame header.
constexpr std::size_t IMAGE_HEADER_READ_LIMIT = 1024 * 1024;
// The canvas is 2048 pixels square and cuts everything beyond, so a larger picture only costs
// memory: 8192 × 8192 pixels (256 MiB at 32 bits) is the most a memo opens, 32767 on a side.
constexpr std::uint64_t IMAGE_PIXEL_LIMIT = std::uint64_t{8192} * 8192;
constexpr std::uint32_t IMAGE_SIDE_LIMIT = 32767;

struct HeaderSize {
    bool known; // false: not a PNG, GIF, BMP or JPEG header, or cut short; the decoder decides
    std::uint32_t width, height;
};

HeaderSize ReadHeaderSize(const unsigned char* bytes, std::size_t size);
// False only for a known size beyond the limits.
bool IsDecodableSize(const HeaderSize& size);
