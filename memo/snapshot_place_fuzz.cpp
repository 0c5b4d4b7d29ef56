// libFuzzer target: the recovery snapshot's place chunk, read from any bytes. Beyond running clean
// under the sanitizers (the input lies in a buffer of exactly its size, so a read past it is
// caught), the folder read is one a memo's folder can be, what is left is the input without one
// whole chunk, and a folder made of the bytes, put into a picture, reads back as it was.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "memo/snapshot_naming.h"
#include "records/document_state.h"

namespace {

// A chunk's length, type and checksum.
constexpr std::size_t CHUNK_FRAME = 12;
// A PNG signature and its IEND chunk: the least a picture can be.
const std::vector<unsigned char> BARE_PNG = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0,   0, 0,
                                             0,    'I', 'E', 'N', 'D',  0xAE, 0x42, 0x60, 0x82};

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The bytes as UTF-16LE, cut to what a memo's folder holds, with no NUL.
std::wstring FolderFrom(const std::uint8_t* data, std::size_t size) {
    std::wstring folder;
    for (std::size_t i = 0; i + 1 < size && folder.size() + 1 < FOLDER_CAPACITY; i += 2) {
        const auto unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        folder.push_back(unit == L'\0' ? L'x' : unit);
    }
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<unsigned char> png(data, data + size);
    const std::wstring folder = TakeSnapshotPlace(png);
    Require(folder.size() < FOLDER_CAPACITY && folder.find(L'\0') == std::wstring::npos);
    if (png.size() != size) {
        Require(png.size() + CHUNK_FRAME <= size);
        const auto differ = std::mismatch(png.begin(), png.end(), data).first;
        const std::size_t at = static_cast<std::size_t>(differ - png.begin());
        Require(std::equal(differ, png.end(), data + at + (size - png.size())));
    } else {
        Require(folder.empty());
    }

    std::vector<unsigned char> picture = BARE_PNG;
    const std::wstring made = FolderFrom(data, size);
    Require(AddSnapshotPlace(picture, made));
    Require(TakeSnapshotPlace(picture) == made && picture == BARE_PNG);
    return 0;
}
