#include "memo/snapshot.h"

#include <cstdint>
#include <mutex>
#include <new>
#include <set>
#include <vector>

#include "canvas/canvas.h"
#include "imaging/imaging.h"
#include "memo/memo_files.h"
#include "memo/memo_naming.h"
#include "memo/snapshot_naming.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/durable_file.h"
#include "records/settings.h"

namespace {

constexpr std::size_t PIXEL_COUNT = static_cast<std::size_t>(CANVAS_SIZE) * CANVAS_SIZE;
// A snapshot is a PNG of at most a few times the canvas's pixel bytes.
constexpr DWORD SNAPSHOT_READ_LIMIT = 64u << 20;

// What the worker writes; filled on the window's thread before the worker starts.
struct SnapshotJob {
    std::wstring folder;
    unsigned generation;
};

struct SnapshotState {
    std::wstring folder;
    std::wstring id;
    HANDLE lock = INVALID_HANDLE_VALUE;
    // The ink's copy, composed in place by the worker and encoded from there.
    HBITMAP composite = nullptr;
    std::uint32_t* compositeBits = nullptr;
    // The background's copy, taken again only when the layer has changed since: that halves what
    // the window's thread spends per snapshot.
    std::vector<std::uint32_t> background;
    bool backgroundCopied = false;
    unsigned backgroundChanges = 0;
    HANDLE worker = nullptr;
    SnapshotJob job;
    // Bumped by every removal: a worker that started before it must not put its file in place.
    unsigned generation = 0;
    std::mutex guard;
};

SnapshotState g_snapshot;

std::wstring SnapshotPath(const std::wstring& folder, const std::wstring& id, SnapshotFile file) {
    return folder + L"\\" + SnapshotFileName(id, file);
}

std::wstring OwnPath(SnapshotFile file) {
    return SnapshotPath(g_snapshot.folder, g_snapshot.id, file);
}

bool IsClaimed() {
    return g_snapshot.lock != INVALID_HANDLE_VALUE;
}

BITMAPINFO CanvasInfo() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = CANVAS_SIZE;
    info.bmiHeader.biHeight = -CANVAS_SIZE;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void FreeCopies() {
    DeleteObject(g_snapshot.composite);
    g_snapshot.composite = nullptr;
    g_snapshot.compositeBits = nullptr;
    std::vector<std::uint32_t>().swap(g_snapshot.background);
    g_snapshot.backgroundCopied = false;
}

bool MakeCopies() {
    if (g_snapshot.composite != nullptr) {
        return true;
    }
    BITMAPINFO info = CanvasInfo();
    void* bits = nullptr;
    g_snapshot.composite = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (g_snapshot.composite == nullptr) {
        return false;
    }
    g_snapshot.compositeBits = static_cast<std::uint32_t*>(bits);
    try {
        g_snapshot.background.resize(PIXEL_COUNT);
    } catch (const std::bad_alloc&) {
        FreeCopies();
        return false;
    }
    return true;
}

bool CopyLayer(HDC screen, HBITMAP layer, std::uint32_t* pixels) {
    BITMAPINFO info = CanvasInfo();
    return GetDIBits(screen, layer, 0, CANVAS_SIZE, pixels, &info, DIB_RGB_COLORS) == CANVAS_SIZE;
}

bool IsWorkerBusy() {
    return g_snapshot.worker != nullptr &&
           WaitForSingleObject(g_snapshot.worker, 0) == WAIT_TIMEOUT;
}

// The background with every ink pixel that is not pure white laid over it, as ComposeCanvas
// builds the composite.
void ComposeCopies() {
    std::uint32_t* ink = g_snapshot.compositeBits;
    const std::uint32_t* background = g_snapshot.background.data();
    for (std::size_t i = 0; i < PIXEL_COUNT; ++i) {
        if ((ink[i] & 0x00FFFFFF) == 0x00FFFFFF) {
            ink[i] = background[i];
        }
    }
}

// The worker: the picture, with the memo's folder inside, replaces the previous snapshot in one
// step, so a death at any instant leaves the previous snapshot or the new one.
DWORD WINAPI WriteSnapshot(void*) {
    // Memory that runs out only skips this snapshot: nothing may leave the thread.
    try {
        ComposeCopies();
        std::vector<unsigned char> png;
        const bool encoded =
            EncodePng(g_snapshot.composite, png) && AddSnapshotPlace(png, g_snapshot.job.folder);
        std::lock_guard<std::mutex> lock(g_snapshot.guard);
        if (encoded && g_snapshot.job.generation == g_snapshot.generation) {
            ReplaceFileDurably(OwnPath(SnapshotFile::Image), png);
        }
    } catch (const std::exception&) {
        return 1;
    }
    return 0;
}

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

// The whole file, or nothing when it cannot be read, is larger than `limit` or finds no memory.
std::vector<unsigned char> ReadWholeFile(const std::wstring& path, DWORD limit) {
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    const DWORD size = GetFileSize(file, nullptr);
    DWORD read = 0;
    bool whole = false;
    try {
        if (size != INVALID_FILE_SIZE && size <= limit) {
            bytes.resize(size);
            whole = ReadFile(file, bytes.data(), size, &read, nullptr) != 0 && read == size;
        }
    } catch (const std::bad_alloc&) {
        whole = false;
    }
    CloseHandle(file);
    if (!whole) {
        bytes.clear();
    }
    return bytes;
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

void ClaimSnapshot() {
    if (IsClaimed() || g_settings.settingsFolder[0] == L'\0') {
        return;
    }
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    g_snapshot.folder = g_settings.settingsFolder;
    g_snapshot.id = FormatInstanceId(GetCurrentProcessId(),
                                     (static_cast<unsigned long long>(now.dwHighDateTime) << 32) |
                                         now.dwLowDateTime);
    CreateDirectoryW(g_snapshot.folder.c_str(), nullptr);
    // Not shared, and deleted with its last handle: Windows lets go of it however we die.
    g_snapshot.lock = CreateFileW(OwnPath(SnapshotFile::Lock).c_str(),
                                  GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

void ScheduleSnapshot() {
    if (IsClaimed()) {
        SetTimer(g_app.hwnd, SNAPSHOT_TIMER, SNAPSHOT_SETTLE_MS, nullptr);
    }
}

void OnSnapshotTimer() {
    if (!IsNoPoint(g_view.lastPoint)) {
        return;
    }
    // A worker still writing the last one, or no memory for the copies: the next tick tries again.
    if (g_document.modified != 0 && !TakeSnapshot()) {
        return;
    }
    KillTimer(g_app.hwnd, SNAPSHOT_TIMER);
}

bool TakeSnapshot() {
    if (!IsClaimed() || IsWorkerBusy() || !MakeCopies()) {
        return false;
    }
    WaitForSnapshot();
    HDC screen = GetDC(nullptr);
    bool copied = CopyLayer(screen, g_canvas.ink, g_snapshot.compositeBits);
    if (copied && (!g_snapshot.backgroundCopied ||
                   g_snapshot.backgroundChanges != g_canvas.backgroundChanges)) {
        copied = CopyLayer(screen, g_canvas.background, g_snapshot.background.data());
        g_snapshot.backgroundCopied = copied;
        g_snapshot.backgroundChanges = g_canvas.backgroundChanges;
    }
    ReleaseDC(nullptr, screen);
    if (!copied) {
        return false;
    }
    g_snapshot.job.folder = g_document.folder;
    {
        std::lock_guard<std::mutex> lock(g_snapshot.guard);
        g_snapshot.job.generation = g_snapshot.generation;
    }
    g_snapshot.worker = CreateThread(nullptr, 0, WriteSnapshot, nullptr, 0, nullptr);
    return g_snapshot.worker != nullptr;
}

void WaitForSnapshot() {
    if (g_snapshot.worker != nullptr) {
        WaitForSingleObject(g_snapshot.worker, INFINITE);
        CloseHandle(g_snapshot.worker);
        g_snapshot.worker = nullptr;
    }
}

void RemoveSnapshot() {
    if (!IsClaimed()) {
        return;
    }
    std::lock_guard<std::mutex> lock(g_snapshot.guard);
    ++g_snapshot.generation;
    DeleteFileW(OwnPath(SnapshotFile::Image).c_str());
}

void ReleaseSnapshot() {
    if (!IsClaimed()) {
        return;
    }
    KillTimer(g_app.hwnd, SNAPSHOT_TIMER);
    WaitForSnapshot();
    if (g_document.modified == 0) {
        RemoveSnapshot();
    }
    CloseHandle(g_snapshot.lock);
    g_snapshot.lock = INVALID_HANDLE_VALUE;
    FreeCopies();
}

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
            if (!id.empty() && id != g_snapshot.id) {
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
