// libFuzzer target: the image-header reader on any bytes. Beyond running clean under the
// sanitizers (the input lies in a buffer of exactly its size, so a read past it is caught), it
// claims a size or none, a size once claimed does not change with the bytes that follow, and a
// JPEG's walk gives the same size read whole or in two windows.
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

// A JPEG read in two windows, the second from where the first left off, claims what it claims
// when read whole.
void RequireResumedWalkAgrees(const std::uint8_t* data, std::size_t size) {
    const std::size_t cut = size / 2;
    const std::vector<std::uint8_t> first(data, data + cut); // exactly sized: overruns show
    const HeaderSize start = ReadHeaderSize(first.data(), first.size());
    if (start.resumeAt == 0) {
        return;
    }
    Require(!start.known && start.resumeAt >= 2);
    const HeaderSize whole = ReadHeaderSize(data, size);
    if (start.resumeAt >= size) {
        Require(!whole.known && whole.resumeAt == start.resumeAt);
        return;
    }
    const std::vector<std::uint8_t> rest(data + start.resumeAt, data + size);
    const HeaderSize resumed = ResumeJpegWalk(rest.data(), rest.size());
    Require(resumed.known == whole.known && resumed.width == whole.width &&
            resumed.height == whole.height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RequireResumedWalkAgrees(data, size);
    const HeaderSize read = ReadHeaderSize(data, size);
    if (!read.known) {
        Require(read.width == 0 && read.height == 0);
        return 0;
    }
    Require(read.resumeAt == 0);
    Require(size >= 10); // the shortest header with a size, a GIF's

    std::vector<std::uint8_t> longer(data, data + size);
    longer.insert(longer.end(), {0xFF, 0xC0, 0x00, 0x11, 0x08, 0x7F, 0xFF, 0x7F, 0xFF});
    const HeaderSize again = ReadHeaderSize(longer.data(), longer.size());
    Require(again.known && again.width == read.width && again.height == read.height);
    return 0;
}
