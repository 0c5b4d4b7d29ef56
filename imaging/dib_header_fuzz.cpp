// libFuzzer target: the clipboard's DIB read as the BMP file it would be, on any bytes. Beyond
// running clean under the sanitizers (the input lies in a buffer of exactly its size, so a read
// past it is caught), a DIB that is taken has its pixels within its bytes, is refused one byte
// short of them, and shows the header reader the size that its own header holds.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/image_header.h"

namespace {

constexpr std::size_t DIB_HEADER_SIZE = 40;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::uint32_t LittleEndian32(const std::uint8_t* at) {
    return std::uint32_t{at[0]} | (std::uint32_t{at[1]} << 8) | (std::uint32_t{at[2]} << 16) |
           (std::uint32_t{at[3]} << 24);
}

// A BMP's sides are signed; the size is their magnitude.
std::uint32_t Magnitude(std::uint32_t side) {
    return (side & 0x80000000u) != 0 ? 0u - side : side;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unsigned char file[BMP_FILE_HEADER_SIZE];
    if (!MakeDibFileHeader(data, size, file)) {
        return 0;
    }
    Require(size >= DIB_HEADER_SIZE && file[0] == 'B' && file[1] == 'M');
    Require(LittleEndian32(file + 2) == BMP_FILE_HEADER_SIZE + size);
    const std::uint32_t pixelsAt = LittleEndian32(file + 10) - BMP_FILE_HEADER_SIZE;
    Require(pixelsAt >= DIB_HEADER_SIZE && pixelsAt <= size);
    Require(pixelsAt >= LittleEndian32(data)); // the header's own size
    unsigned char shortFile[BMP_FILE_HEADER_SIZE];
    Require(!MakeDibFileHeader(data, pixelsAt - 1, shortFile));

    std::vector<std::uint8_t> head(file, file + BMP_FILE_HEADER_SIZE);
    head.insert(head.end(), data, data + DIB_HEADER_SIZE);
    const HeaderSize read = ReadHeaderSize(head.data(), head.size());
    Require(read.known && read.width == Magnitude(LittleEndian32(data + 4)) &&
            read.height == Magnitude(LittleEndian32(data + 8)));
    return 0;
}
