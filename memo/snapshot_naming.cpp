#include "memo/snapshot_naming.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <iterator>

#include "records/document_state.h"

namespace {

constexpr wchar_t SNAPSHOT_PREFIX[] = L"Recovery-";

struct FileSuffix {
    SnapshotFile file;
    const wchar_t* suffix;
};

constexpr FileSuffix SUFFIXES[] = {{SnapshotFile::Image, L".png"},
                                   {SnapshotFile::ImageTemp, L".png.tmp"},
                                   {SnapshotFile::Place, L".txt"},
                                   {SnapshotFile::PlaceTemp, L".txt.tmp"},
                                   {SnapshotFile::Lock, L".lock"}};

bool IsIdCharacter(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F');
}

// Ancillary, private, safe to copy: decoders pass over it.
constexpr unsigned char PLACE_CHUNK[] = {'i', 'w', 'P', 'l'};
constexpr unsigned char END_CHUNK[] = {'I', 'E', 'N', 'D'};
// A chunk's length, type and checksum; IEND is nothing else.
constexpr std::size_t CHUNK_FRAME = 12;
constexpr std::size_t PNG_SIGNATURE_SIZE = 8;

void PutBigEndian(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

std::uint32_t BigEndianAt(const unsigned char* at) {
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) |
           (std::uint32_t{at[2]} << 8) | at[3];
}

// PNG's CRC-32 of a chunk's type and data.
std::uint32_t ChunkCrc(const unsigned char* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

} // namespace

std::wstring FormatInstanceId(unsigned long processId, unsigned long long startTime) {
    wchar_t id[32];
    std::swprintf(id, 32, L"%08lX%016llX", processId, startTime);
    return id;
}

std::wstring SnapshotFileName(const std::wstring& id, SnapshotFile file) {
    for (const FileSuffix& entry : SUFFIXES) {
        if (entry.file == file) {
            return SNAPSHOT_PREFIX + id + entry.suffix;
        }
    }
    return std::wstring();
}

std::wstring SnapshotPath(const std::wstring& folder, const std::wstring& id, SnapshotFile file) {
    return folder + L"\\" + SnapshotFileName(id, file);
}

std::wstring SnapshotIdOf(const std::wstring& fileName) {
    const std::wstring prefix = SNAPSHOT_PREFIX;
    if (fileName.compare(0, prefix.size(), prefix) != 0) {
        return std::wstring();
    }
    std::size_t end = prefix.size();
    while (end < fileName.size() && IsIdCharacter(fileName[end])) {
        ++end;
    }
    std::wstring id = fileName.substr(prefix.size(), end - prefix.size());
    const std::wstring rest = fileName.substr(end);
    // Windows compares names without case: a suffix in capitals names the same file.
    for (const FileSuffix& entry : SUFFIXES) {
        if (!id.empty() && rest.size() == std::wcslen(entry.suffix) &&
            std::equal(rest.begin(), rest.end(), entry.suffix, [](wchar_t a, wchar_t b) {
                return static_cast<wchar_t>(std::towlower(a)) == b;
            })) {
            return id;
        }
    }
    return std::wstring();
}

std::vector<unsigned char> EncodeSnapshotPlace(const std::wstring& folder) {
    std::vector<unsigned char> bytes;
    for (wchar_t c : folder) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>((c >> 8) & 0xFF));
    }
    return bytes;
}

std::wstring DecodeSnapshotPlace(const std::vector<unsigned char>& bytes) {
    if (bytes.size() % 2 != 0 || bytes.size() / 2 >= FOLDER_CAPACITY) {
        return std::wstring();
    }
    std::wstring folder;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const wchar_t c = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
        if (c == L'\0') {
            return std::wstring();
        }
        folder.push_back(c);
    }
    return folder;
}

bool AddSnapshotPlace(std::vector<unsigned char>& png, const std::wstring& folder) {
    if (png.size() < PNG_SIGNATURE_SIZE + CHUNK_FRAME ||
        !std::equal(std::begin(END_CHUNK), std::end(END_CHUNK), png.end() - 8)) {
        return false;
    }
    const std::vector<unsigned char> place = EncodeSnapshotPlace(folder);
    std::vector<unsigned char> chunk;
    PutBigEndian(chunk, static_cast<std::uint32_t>(place.size()));
    chunk.insert(chunk.end(), std::begin(PLACE_CHUNK), std::end(PLACE_CHUNK));
    chunk.insert(chunk.end(), place.begin(), place.end());
    PutBigEndian(chunk, ChunkCrc(chunk.data() + 4, chunk.size() - 4));
    png.insert(png.end() - CHUNK_FRAME, chunk.begin(), chunk.end());
    return true;
}

std::wstring TakeSnapshotPlace(std::vector<unsigned char>& png) {
    std::size_t at = PNG_SIGNATURE_SIZE;
    while (at <= png.size() && png.size() - at >= CHUNK_FRAME) {
        const std::uint32_t length = BigEndianAt(&png[at]);
        if (length > png.size() - at - CHUNK_FRAME) {
            break;
        }
        const auto chunk = png.begin() + static_cast<std::ptrdiff_t>(at);
        const auto end = chunk + static_cast<std::ptrdiff_t>(CHUNK_FRAME + length);
        if (std::equal(std::begin(PLACE_CHUNK), std::end(PLACE_CHUNK), chunk + 4)) {
            const std::vector<unsigned char> place(chunk + 8, end - 4);
            png.erase(chunk, end);
            return DecodeSnapshotPlace(place);
        }
        at += CHUNK_FRAME + length;
    }
    return std::wstring();
}
