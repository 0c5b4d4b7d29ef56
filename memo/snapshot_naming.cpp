#include "memo/snapshot_naming.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

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
