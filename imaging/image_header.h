// The pixel size that an image file's header claims, read before any pixel is decoded, so that a
// file claiming a gigantic picture is refused before the decoder allocates for it. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>

// Enough for most JPEGs' metadata segments before their frame header; the walk of a JPEG with more
// goes on over the following bytes.
constexpr std::size_t IMAGE_HEADER_READ_LIMIT = std::size_t{1024} * 1024;
// The canvas is 2048 pixels square and cuts everything beyond, so a larger picture only costs
// memory: 8192 × 8192 pixels (256 MiB at 32 bits) is the most a memo opens, 32767 on a side.
constexpr std::uint64_t IMAGE_PIXEL_LIMIT = std::uint64_t{8192} * 8192;
constexpr std::uint32_t IMAGE_SIDE_LIMIT = 32767;
// The most bytes a picture may take, in a file or a clipboard block: the largest picture a memo
// opens as a BMP of 32-bit pixels, with room for its headers. More is refused unread.
constexpr std::uint64_t IMAGE_BYTE_LIMIT = IMAGE_PIXEL_LIMIT * 4 + IMAGE_HEADER_READ_LIMIT;
// A BMP file's own header, which a packed DIB lacks.
constexpr std::size_t BMP_FILE_HEADER_SIZE = 14;

struct HeaderSize {
    bool known; // false: not a PNG, GIF, BMP or JPEG header, or cut short; the decoder decides
    std::uint32_t width, height;
    // A JPEG whose bytes ended before its frame header: the offset, from the start of these
    // bytes, of the marker where its walk goes on over the bytes that follow; 0 when none.
    std::size_t resumeAt = 0;
};

HeaderSize ReadHeaderSize(const unsigned char* bytes, std::size_t size);
// Goes on with a JPEG's walk over bytes that begin at its marker at `resumeAt`.
HeaderSize ResumeJpegWalk(const unsigned char* bytes, std::size_t size);
// False only for a known size beyond the limits.
bool IsDecodableSize(const HeaderSize& size);
// A packed DIB (the clipboard's CF_DIB: its header, colour masks, colours and pixels) is read as
// the BMP file it would be: fills in the BMP file header (BMP_FILE_HEADER_SIZE bytes) that goes
// before it. False for a header no DIB has, one whose colours reach past `size`, or more bytes
// than IMAGE_BYTE_LIMIT.
bool MakeDibFileHeader(const unsigned char* dib, std::size_t size, unsigned char* fileHeader);
