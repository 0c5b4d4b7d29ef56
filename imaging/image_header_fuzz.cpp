// libFuzzer target: the image-header reader on any bytes. Beyond running clean under the
// sanitizers (the input lies in a buffer of exactly its size, so a read past it is caught), it
// claims a size or none, and a size once claimed does not change with the bytes that follow.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/image_header.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const HeaderSize read = ReadHeaderSize(data, size);
    if (!read.known) {
        Require(read.width == 0 && read.height == 0);
        return 0;
    }
    Require(size >= 10); // the shortest header with a size, a GIF's

    std::vector<std::uint8_t> longer(data, data + size);
    longer.insert(longer.end(), {0xFF, 0xC0, 0x00, 0x11, 0x08, 0x7F, 0xFF, 0x7F, 0xFF});
    const HeaderSize again = ReadHeaderSize(longer.data(), longer.size());
    Require(again.known && again.width == read.width && again.height == read.height);
    return 0;
}
