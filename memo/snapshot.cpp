#include "memo/snapshot.h"

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

#include "canvas/canvas.h"
#include "memo/png_encoding.h"
#include "memo/snapshot_naming.h"
#include "records/document_state.h"
#include "records/bitmap_info.h"
#include "records/durable_file.h"
#include "records/scoped_gdi.h"
#include "records/settings.h"

namespace {

constexpr std::size_t PIXEL_COUNT = static_cast<std::size_t>(CANVAS_SIZE) * CANVAS_SIZE;

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
    ScopedGdiObject<HBITMAP> composite;
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

std::wstring OwnPath(SnapshotFile file) {
    return SnapshotPath(g_snapshot.folder, g_snapshot.id, file);
}

void FreeCopies() {
    g_snapshot.composite = ScopedGdiObject<HBITMAP>();
    g_snapshot.compositeBits = nullptr;
    std::vector<std::uint32_t>().swap(g_snapshot.background);
    g_snapshot.backgroundCopied = false;
}

bool MakeCopies() {
    if (g_snapshot.composite != nullptr) {
        return true;
    }
    void* bits = nullptr;
    g_snapshot.composite =
        ScopedGdiObject<HBITMAP>(CreateTopDownDib(CANVAS_SIZE, CANVAS_SIZE, &bits));
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
    BITMAPINFO info = TopDownBitmapInfo(CANVAS_SIZE, CANVAS_SIZE);
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

// Whether no removal has come since the job was given; asked under the guard.
bool IsJobCurrent() {
    return g_snapshot.job.generation == g_snapshot.generation;
}

// The worker: the picture, with the memo's folder inside, replaces the previous snapshot in one
// step, so a death at any instant leaves the previous snapshot or the new one. The guard is not
// held while the file is written and flushed, since Save, New and Open take it on the window's
// thread to remove the snapshot; it is held for the rename alone, so that a removal either comes
// first and keeps the file out, or comes after and finds it in place: a removed snapshot never
// comes back, not even for an instant in which the process could die.
DWORD WINAPI WriteSnapshot(void*) {
    // Memory that runs out only skips this snapshot: nothing may leave the thread.
    try {
        ComposeCopies();
        std::vector<unsigned char> png;
        if (!EncodePng(g_snapshot.composite, png) ||
            !AddSnapshotPlace(png, g_snapshot.job.folder)) {
            return 0;
        }
        PreparedReplacement snapshot(OwnPath(SnapshotFile::Image), png);
        const std::lock_guard<std::mutex> lock(g_snapshot.guard);
        if (IsJobCurrent()) {
            snapshot.PutInPlace();
        }
    } catch (const std::exception&) {
        return 1;
    }
    return 0;
}

// The ink into the composite's copy, and the background into its own when it has changed since.
bool CopyLayers() {
    const ScopedGetDC screen(nullptr);
    bool copied = CopyLayer(screen, g_canvas.ink, g_snapshot.compositeBits);
    if (copied && (!g_snapshot.backgroundCopied ||
                   g_snapshot.backgroundChanges != g_canvas.backgroundChanges)) {
        copied = CopyLayer(screen, g_canvas.background, g_snapshot.background.data());
        g_snapshot.backgroundCopied = copied;
        g_snapshot.backgroundChanges = g_canvas.backgroundChanges;
    }
    return copied;
}

} // namespace

void ClaimSnapshot() {
    if (IsSnapshotClaimed() || g_settings.settingsFolder[0] == L'\0') {
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

bool IsSnapshotClaimed() {
    return g_snapshot.lock != INVALID_HANDLE_VALUE;
}

bool IsOwnSnapshot(const std::wstring& id) {
    return id == g_snapshot.id;
}

bool TakeSnapshot() {
    if (!IsSnapshotClaimed() || IsWorkerBusy() || !MakeCopies()) {
        return false;
    }
    WaitForSnapshot();
    if (!CopyLayers()) {
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
    if (!IsSnapshotClaimed()) {
        return;
    }
    std::lock_guard<std::mutex> lock(g_snapshot.guard);
    ++g_snapshot.generation;
    DeleteFileW(OwnPath(SnapshotFile::Image).c_str());
}

void ReleaseSnapshot() {
    if (!IsSnapshotClaimed()) {
        return;
    }
    WaitForSnapshot();
    if (g_document.modified == 0) {
        RemoveSnapshot();
    }
    CloseHandle(g_snapshot.lock);
    g_snapshot.lock = INVALID_HANDLE_VALUE;
    FreeCopies();
}
