#include "imaging/image_header.h"

#include <cstring>

namespace {

std::uint32_t BigEndian16(const unsigned char* at) {
    return (std::uint32_t{at[0]} << 8) | at[1];
}
std::uint32_t BigEndian32(const unsigned char* at) {
    return (BigEndian16(at) << 16) | BigEndian16(at + 2);
}
std::uint32_t LittleEndian16(const unsigned char* at) {
    return (std::uint32_t{at[1]} << 8) | at[0];
}
std::uint32_t LittleEndian32(const unsigned char* at) {
    return (LittleEndian16(at + 2) << 16) | LittleEndian16(at);
}

bool StartsWith(const unsigned char* bytes, std::size_t size, const char* magic) {
    const std::size_t length = std::strlen(magic);
    return size >= length && std::memcmp(bytes, magic, length) == 0;
}

HeaderSize Known(std::uint32_t width, std::uint32_t height) {
    return {true, width, height, 0};
}

// The walk stopped at the end of the bytes; at 0 it made no progress, so it stops for good.
HeaderSize CutShort(std::size_t at) {
    return {false, 0, 0, at};
}

void PutLittleEndian32(unsigned char* at, std::uint64_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// A DIB's BITMAPINFOHEADER, and its compression that puts three 32-bit colour masks after it.
constexpr std::size_t DIB_HEADER_SIZE = 40;
constexpr std::uint32_t DIB_BITFIELDS = 3;
constexpr std::uint64_t DIB_MASKS_SIZE = 12;

// Where a packed DIB's pixels begin: after its header, the colour masks that follow a plain
// header, and its colours. 0 for a header no DIB has, or one that claims more than `size` bytes.
std::size_t DibPixelsAt(const unsigned char* dib, std::size_t size) {
    if (size < DIB_HEADER_SIZE) {
        return 0;
    }
    const std::uint32_t headerSize = LittleEndian32(dib);
    if (headerSize < DIB_HEADER_SIZE || headerSize > size) {
        return 0;
    }
    std::uint64_t at = headerSize;
    if (headerSize == DIB_HEADER_SIZE && LittleEndian32(dib + 16) == DIB_BITFIELDS) {
        at += DIB_MASKS_SIZE;
    }
    const std::uint32_t bitCount = LittleEndian16(dib + 14);
    std::uint64_t colours = LittleEndian32(dib + 32);
    if (colours == 0 && bitCount != 0 && bitCount <= 8) {
        colours = std::uint64_t{1} << bitCount;
    }
    at += colours * 4;
    return at <= size ? static_cast<std::size_t>(at) : 0;
}

// A BMP's height is signed (negative: rows top-down); its magnitude is the size.
std::uint32_t Magnitude(std::uint32_t value) {
    return (value & 0x80000000u) != 0 ? 0u - value : value;
}

// Walks the marker segments from `at` up to the first frame header (SOF0 to SOF15, but for DHT,
// JPG and DAC, which share the range).
HeaderSize WalkJpeg(const unsigned char* bytes, std::size_t size, std::size_t at) {
    while (at + 4 <= size) {
        const unsigned char marker = bytes[at + 1];
        // A decoder skips stray bytes, and a stuffed FF 00, on its way to the next marker.
        if (bytes[at] != 0xFF || marker == 0x00) {
            ++at;
            continue;
        }
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) {
            return {}; // pixel data or the end before any frame header
        }
        // A length counts its own two bytes: below that the segment, a frame header too, is not
        // what it claims, and the decoder judges the file.
        const std::size_t length = BigEndian16(bytes + at + 2);
        if (length < 2) {
            return {};
        }
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > size) {
                return CutShort(at);
            }
            return Known(BigEndian16(bytes + at + 7), BigEndian16(bytes + at + 5));
        }
        at += 2 + length;
    }
    return CutShort(at);
}

} // namespace

HeaderSize ReadHeaderSize(const unsigned char* bytes, std::size_t size) {
    if (StartsWith(bytes, size, "\x89PNG\r\n\x1A\n") && size >= 24 &&
        std::memcmp(bytes + 12, "IHDR", 4) == 0) {
        return Known(BigEndian32(bytes + 16), BigEndian32(bytes + 20));
    }
    if ((StartsWith(bytes, size, "GIF87a") || StartsWith(bytes, size, "GIF89a")) && size >= 10) {
        return Known(LittleEndian16(bytes + 6), LittleEndian16(bytes + 8));
    }
    if (StartsWith(bytes, size, "BM") && size >= 26) {
        if (LittleEndian32(bytes + 14) == 12) { // the old OS/2 header: 16-bit sides
            return Known(LittleEndian16(bytes + 18), LittleEndian16(bytes + 20));
        }
        return Known(Magnitude(LittleEndian32(bytes + 18)), Magnitude(LittleEndian32(bytes + 22)));
    }
    if (StartsWith(bytes, size, "\xFF\xD8")) {
        return WalkJpeg(bytes, size, 2);
    }
    return {};
}

HeaderSize ResumeJpegWalk(const unsigned char* bytes, std::size_t size) {
    return WalkJpeg(bytes, size, 0);
}

bool IsDecodableSize(const HeaderSize& size) {
    return !size.known || (size.width <= IMAGE_SIDE_LIMIT && size.height <= IMAGE_SIDE_LIMIT &&
                           std::uint64_t{size.width} * size.height <= IMAGE_PIXEL_LIMIT);
}

bool MakeDibFileHeader(const unsigned char* dib, std::size_t size, unsigned char* fileHeader) {
    const std::size_t pixelsAt = DibPixelsAt(dib, size);
    if (pixelsAt == 0 || size > IMAGE_BYTE_LIMIT) {
        return false;
    }
    std::memset(fileHeader, 0, BMP_FILE_HEADER_SIZE);
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    PutLittleEndian32(fileHeader + 2, std::uint64_t{BMP_FILE_HEADER_SIZE} + size);
    PutLittleEndian32(fileHeader + 10, std::uint64_t{BMP_FILE_HEADER_SIZE} + pixelsAt);
    return true;
}
