#include "memo/recovered_snapshots.h"

#include <windows.h>

#include <cstdint>
#include <set>
#include <vector>

#include "memo/memo_naming.h"
#include "memo/snapshot.h"
#include "memo/snapshot_naming.h"
#include "records/document_state.h"
#include "records/durable_file.h"
#include "records/settings.h"

namespace {

// A snapshot is a PNG of at most a few times the canvas's pixel bytes.
constexpr std::uint64_t SNAPSHOT_READ_LIMIT = std::uint64_t{64} << 20;

bool FileExistsAt(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ClockNameAt(const FILETIME& written) {
    FILETIME local;
    SYSTEMTIME time;
    FileTimeToLocalFileTime(&written, &local);
    FileTimeToSystemTime(&local, &time);
    const ClockTime clock = {time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
    wchar_t name[CLOCK_NAME_CAPACITY];
    FormatClockName(clock, name, CLOCK_NAME_CAPACITY);
    return name;
}

// The snapshot as a new memo in `folder`; its path, or empty when it could not be written. It
// never replaces a file.
std::wstring WriteRecoveredMemo(const std::vector<unsigned char>& png, const std::wstring& folder,
                                const FILETIME& written) {
    if (folder.empty() || png.empty()) {
        return std::wstring();
    }
    const std::wstring base = ClockNameAt(written);
    wchar_t name[NAME_CAPACITY];
    const auto exists = [&](const wchar_t* candidate) {
        return FileExistsAt(folder + L"\\" + candidate);
    };
    if (!ChooseFreeName(base.c_str(), exists, name, NAME_CAPACITY)) {
        return std::wstring();
    }
    std::wstring memo = folder + L"\\" + name;
    if (!ReplaceFileDurably(memo, png, ExistingFile::Keep)) {
        return std::wstring();
    }
    return memo;
}

struct Recovered {
    std::wstring memo;
    FILETIME written;
};

void RecoverSnapshot(const std::wstring& folder, const std::wstring& id, Recovered& newest) {
    // Holding the lock keeps a second instance starting now from giving the same memo back.
    HANDLE lock = CreateFileW(SnapshotPath(folder, id, SnapshotFile::Lock).c_str(),
                              GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (lock == INVALID_HANDLE_VALUE) {
        return; // its owner is running
    }
    // Earlier versions kept the folder in a note and wrote temporary files under these names.
    for (SnapshotFile old :
         {SnapshotFile::ImageTemp, SnapshotFile::PlaceTemp, SnapshotFile::Place}) {
        DeleteFileW(SnapshotPath(folder, id, old).c_str());
    }
    const std::wstring image = SnapshotPath(folder, id, SnapshotFile::Image);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(image.c_str(), GetFileExInfoStandard, &data) != 0) {
        std::vector<unsigned char> png = ReadWholeFile(image, SNAPSHOT_READ_LIMIT);
        const std::wstring memoFolder = TakeSnapshotPlace(png);
        std::wstring memo = WriteRecoveredMemo(png, memoFolder, data.ftLastWriteTime);
        if (memo.empty()) {
            memo = WriteRecoveredMemo(png, g_settings.saveFolder, data.ftLastWriteTime);
        }
        if (memo.empty() || DeleteFileW(image.c_str()) == 0) {
            CloseHandle(lock);
            return; // kept for the next start
        }
        if (newest.memo.empty() || CompareFileTime(&data.ftLastWriteTime, &newest.written) >= 0) {
            newest = {memo, data.ftLastWriteTime};
        }
    }
    CloseHandle(lock);
}

} // namespace

std::wstring RecoverSnapshots() {
    const std::wstring folder = g_settings.settingsFolder;
    if (folder.empty()) {
        return std::wstring();
    }
    std::set<std::wstring> ids;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\Recovery-*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring id = SnapshotIdOf(found.cFileName);
            if (!id.empty() && !IsOwnSnapshot(id)) {
                ids.insert(id);
            }
        } while (FindNextFileW(search, &found) != 0);
        FindClose(search);
    }
    Recovered newest = {};
    for (const std::wstring& id : ids) {
        RecoverSnapshot(folder, id, newest);
    }
    return newest.memo;
}
