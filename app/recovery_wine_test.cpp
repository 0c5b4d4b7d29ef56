// The recovery snapshot on the real window under Wine: written once a stroke settles, gone with
// the changes, given back as a memo once its owner is gone, and never over anything else.
#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "app/recovery.h"
#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "canvas/quarter_turn.h"
#include "memo/memo_files.h"
#include "memo/memo_naming.h"
#include "memo/recovered_snapshots.h"
#include "memo/snapshot.h"
#include "memo/snapshot_naming.h"
#include "records/document_state.h"
#include "records/settings.h"
#include "res/resource.h"
#include "view/view_math.h"
#include "scoped_import.h"
#include "wine_app.h"

namespace {

constexpr COLORREF PAPER = RGB(230, 240, 255);
// A point on the stroke that DrawStroke writes, and one far from it.
constexpr POINT ON_STROKE = {200, 110};
constexpr POINT OFF_STROKE = {1000, 1000};

std::wstring g_openChoice;

BOOL WINAPI ChooseFromTest(OPENFILENAMEW* record) {
    std::wcscpy(record->lpstrFile, g_openChoice.c_str());
    return TRUE;
}

void DrawStroke(int below = 0) {
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(100, 100 + below));
    SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(300, 120 + below));
    SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(300, 120 + below));
}

// Handles messages for a while, as the message loop would, and lets a started worker finish.
void RunFor(int milliseconds, bool waitForWorker = true) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        PumpMessages();
        Sleep(50);
    }
    PumpMessages();
    if (waitForWorker) {
        WaitForSnapshot();
    }
}

// A local clock time as the file time of a file written then.
FILETIME FileTimeAt(WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    const SYSTEMTIME local = {2026, month, 0, day, hour, minute, second, 0};
    FILETIME localTime, time;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &time);
    return time;
}

void SetWriteTime(const std::wstring& path, const FILETIME& time) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

class RecoveryTest : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow();
        // The store and the save folder of this test's own, with this instance's lock in it.
        ReleaseSnapshot();
        store_ = MakeScratchFolder(L"recovery-store");
        memos_ = MakeScratchFolder(L"recovery-memos");
        CopyText(g_settings.settingsFolder, SETTINGS_PATH_CAPACITY, store_.c_str());
        CopyText(g_settings.saveFolder, SETTINGS_PATH_CAPACITY, memos_.c_str());
        ClaimSnapshot();
        StartMemo();
    }

    void TearDown() override {
        g_document.modified = 0;
        ReleaseSnapshot();
        RemoveTree(store_);
        RemoveTree(memos_);
    }

    void StartMemo() {
        g_document.modified = 0;
        SendToMainWindow(WM_COMMAND, IDM_NEW);
        FillBitmap(g_canvas.background, PAPER);
        g_view = {1.0, 0, 0, NO_POINT};
        PumpMessages(); // the repaint of the new memo, which would end a stroke
    }

    std::vector<std::wstring> Snapshots(SnapshotFile kind) const {
        std::vector<std::wstring> found;
        for (const std::wstring& name : FilesIn(store_)) {
            const std::wstring id = SnapshotIdOf(name);
            if (!id.empty() && name == SnapshotFileName(id, kind)) {
                found.push_back(store_ + L"\\" + name);
            }
        }
        return found;
    }

    // A point of the one snapshot there is, read back through the ink layer, which it replaces.
    COLORREF SnapshotPixel(POINT at) {
        const std::vector<std::wstring> images = Snapshots(SnapshotFile::Image);
        EXPECT_EQ(images.size(), 1u);
        EXPECT_EQ(LoadImageIntoLayer(images.empty() ? L"" : images[0].c_str(), Layer::Ink), 1);
        return ReadBitmapPixel(g_canvas.ink, at.x, at.y);
    }

    std::wstring SettledSnapshot() {
        DrawStroke();
        EXPECT_TRUE(Snapshots(SnapshotFile::Image).empty()) << "written before the ink settled";
        RunFor(SNAPSHOT_SETTLE_MS + 600);
        const std::vector<std::wstring> images = Snapshots(SnapshotFile::Image);
        return images.size() == 1 ? images[0] : std::wstring();
    }

    // A snapshot left by an instance that is gone: its picture with the memo's folder, its time.
    std::wstring PlantOrphan(const std::wstring& id, FileBytes picture,
                             const std::wstring& memoFolder, const FILETIME& time) {
        const std::wstring image = store_ + L"\\" + SnapshotFileName(id, SnapshotFile::Image);
        EXPECT_TRUE(AddSnapshotPlace(picture, memoFolder));
        WriteFileBytes(image, picture);
        SetWriteTime(image, time);
        return image;
    }

    std::wstring store_;
    std::wstring memos_;
};

TEST_F(RecoveryTest, SnapshotLivesWhileTheChangesAreUnsaved) {
    // Never during a stroke: the pen is still down when the timer comes. (A repaint ends a
    // stroke, so the window's first paints are let through before.)
    RunFor(500);
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(100, 100));
    SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(300, 120));
    RunFor(SNAPSHOT_SETTLE_MS + 600);
    EXPECT_TRUE(Snapshots(SnapshotFile::Image).empty());
    SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(300, 120));
    RunFor(SNAPSHOT_SETTLE_MS + 600);
    const std::vector<std::wstring> images = Snapshots(SnapshotFile::Image);
    ASSERT_EQ(images.size(), 1u);
    // What closing would save: the ink over the background.
    const COLORREF ink = ReadBitmapPixel(g_canvas.ink, ON_STROKE.x, ON_STROKE.y);
    ASSERT_NE(ink, WHITE);
    FillBitmap(g_canvas.background, WHITE);
    ASSERT_EQ(LoadImageIntoLayer(images[0].c_str(), Layer::Background), 1);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.background, ON_STROKE.x, ON_STROKE.y), ink);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.background, OFF_STROKE.x, OFF_STROKE.y), PAPER);
    EXPECT_TRUE(Snapshots(SnapshotFile::ImageTemp).empty());

    const std::wstring picture = memos_ + L"\\picture.png";
    CopyFileW(images[0].c_str(), picture.c_str(), FALSE);
    const std::wstring gone = memos_ + L"\\gone";
    const struct {
        const char* name;
        std::function<void()> act;
        bool stays;
    } cases[] = {
        {"a save", [] { SendToMainWindow(WM_COMMAND, IDM_SAVE); }, false},
        {"a save that fails",
         [&] {
             CopyText(g_document.folder, FOLDER_CAPACITY, gone.c_str());
             SendToMainWindow(WM_COMMAND, IDM_SAVE);
         },
         true},
        {"New after No",
         [] {
             SetMessageBoxAnswer(IDNO);
             SendToMainWindow(WM_COMMAND, IDM_NEW);
         },
         false},
        {"New cancelled",
         [] {
             SetMessageBoxAnswer(IDCANCEL);
             SendToMainWindow(WM_COMMAND, IDM_NEW);
         },
         true},
        {"Open after No",
         [&] {
             SetMessageBoxAnswer(IDNO);
             g_openChoice = picture;
             SendToMainWindow(WM_COMMAND, IDM_OPEN);
         },
         false},
        {"Open after No of a file that cannot be opened",
         [&] {
             SetMessageBoxAnswer(IDNO);
             g_openChoice = memos_ + L"\\missing.png";
             SendToMainWindow(WM_COMMAND, IDM_OPEN);
         },
         true},
        {"a snapshot still being written when New comes",
         [] {
             DrawStroke();
             EXPECT_TRUE(TakeSnapshot());
             SetMessageBoxAnswer(IDNO);
             SendToMainWindow(WM_COMMAND, IDM_NEW);
             WaitForSnapshot();
         },
         false},
    };
    const ScopedImport dialog("comdlg32.dll", "GetOpenFileNameW",
                              reinterpret_cast<void*>(ChooseFromTest));
    for (const auto& c : cases) {
        SetMessageBoxAnswer(IDNO);
        StartMemo();
        DrawStroke();
        ASSERT_TRUE(TakeSnapshot()) << c.name;
        WaitForSnapshot();
        ASSERT_EQ(Snapshots(SnapshotFile::Image).size(), 1u) << c.name;
        c.act();
        EXPECT_EQ(Snapshots(SnapshotFile::Image).size(), c.stays ? 1u : 0u) << c.name;
        EXPECT_TRUE(Snapshots(SnapshotFile::ImageTemp).empty()) << c.name;
    }
}

TEST_F(RecoveryTest, OrphansBecomeMemosAndNothingElseIsTouched) {
    const std::wstring own = SettledSnapshot();
    ASSERT_FALSE(own.empty());
    FileBytes picture = ReadFileBytes(own);
    EXPECT_EQ(TakeSnapshotPlace(picture), memos_); // the memo recovered from it goes without it
    const std::wstring beside = MakeScratchFolder(L"recovery-beside");
    // photo.png was opened there; a memo of the snapshot's clock name is there already.
    const std::wstring existing = beside + L"\\03月03日07時05分09.png";
    WriteFileBytes(existing, {'k', 'e', 'e', 'p'});
    PlantOrphan(L"0A", picture, beside, FileTimeAt(3, 3, 7, 5, 9));
    // Its folder is gone: the save folder takes it. The newest, so it is shown.
    PlantOrphan(L"0B", picture, beside + L"\\gone", FileTimeAt(3, 4, 8, 0, 0));
    // A live owner holds its lock.
    const std::wstring live = PlantOrphan(L"0C", picture, beside, FileTimeAt(3, 5, 9, 0, 0));
    HANDLE lock = CreateFileW(
        (store_ + L"\\" + SnapshotFileName(L"0C", SnapshotFile::Lock)).c_str(),
        GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    // Torn temporary files of a dead writer.
    const std::wstring torn = store_ + L"\\" + SnapshotFileName(L"0D", SnapshotFile::ImageTemp);
    WriteFileBytes(torn, {0x89, 'P', 'N', 'G'});
    WriteFileBytes(store_ + L"\\" + SnapshotFileName(L"0D", SnapshotFile::PlaceTemp), {'C', 0});

    g_document.modified = 0;
    RecoverAtStart();

    EXPECT_EQ(ReadFileBytes(existing), FileBytes({'k', 'e', 'e', 'p'}));
    EXPECT_EQ(ReadFileBytes(beside + L"\\03月03日07時05分09_2.png"), picture);
    const std::wstring shown = memos_ + L"\\03月04日08時00分00.png";
    EXPECT_EQ(ReadFileBytes(shown), picture);
    EXPECT_STREQ(g_document.name, L"03月04日08時00分00.png");
    EXPECT_EQ(std::wstring(g_document.folder), memos_);
    EXPECT_EQ(g_document.modified, 0);
    EXPECT_NE(ReadBitmapPixel(g_canvas.ink, ON_STROKE.x, ON_STROKE.y), WHITE);
    EXPECT_TRUE(FileExists(live));
    EXPECT_FALSE(FileExists(torn));
    // Of the store, only the live owner's files and this instance's lock are left.
    EXPECT_EQ(FilesIn(store_).size(), 3u);
    // The memo shown replaced the one this instance had, and with it its snapshot.
    EXPECT_FALSE(FileExists(own));

    // Nowhere to write: the snapshot stays for the next start.
    CopyText(g_settings.saveFolder, SETTINGS_PATH_CAPACITY, (beside + L"\\gone").c_str());
    const std::wstring kept =
        PlantOrphan(L"0E", picture, beside + L"\\gone", FileTimeAt(3, 6, 0, 0, 0));
    EXPECT_EQ(RecoverSnapshots(), L"");
    EXPECT_TRUE(FileExists(kept));
    CloseHandle(lock);
    RemoveTree(beside);
}

TEST_F(RecoveryTest, ExitTakesTheSnapshotWithTheInk) {
    ASSERT_FALSE(SettledSnapshot().empty());
    DrawStroke();
    ASSERT_TRUE(TakeSnapshot()); // still being written when Exit comes
    SendToMainWindow(WM_COMMAND, IDM_EXIT);
    EXPECT_EQ(FilesIn(store_), std::vector<std::wstring>());
    EXPECT_EQ(FilesIn(memos_), std::vector<std::wstring>());
}

// The copy of the background is the one block of the canvas's size.
void* __cdecl RefuseCanvasSizedBlock(size_t size) {
    return size == 4u * CANVAS_SIZE * CANVAS_SIZE
               ? nullptr
               : SystemFunction<void*(__cdecl*)(size_t)>(L"msvcrt.dll", "malloc")(size);
}

HANDLE g_writerMayFlush;

BOOL WINAPI FlushWhenLetGo(HANDLE file) {
    WaitForSingleObject(g_writerMayFlush, 10000);
    return SystemFunction<decltype(&FlushFileBuffers)>(L"kernel32.dll", "FlushFileBuffers")(file);
}

TEST_F(RecoveryTest, ASnapshotThatCannotBeTakenYetIsTakenAtALaterTick) {
    DrawStroke();
    {
        const ScopedImport noMemory("msvcrt.dll", "malloc",
                                    reinterpret_cast<void*>(&RefuseCanvasSizedBlock));
        RunFor(SNAPSHOT_SETTLE_MS + 600);
    }
    EXPECT_TRUE(Snapshots(SnapshotFile::Image).empty());
    // The next tick takes it, and a stroke settles while it is still being written.
    g_writerMayFlush = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const ScopedImport held("kernel32.dll", "FlushFileBuffers",
                            reinterpret_cast<void*>(&FlushWhenLetGo));
    RunFor(SNAPSHOT_SETTLE_MS, false);
    EXPECT_EQ(FilesIn(store_).size(), 2u); // the lock, and the snapshot waiting to be flushed
    DrawStroke(400);
    RunFor(SNAPSHOT_SETTLE_MS + 600, false);
    SetEvent(g_writerMayFlush);
    RunFor(SNAPSHOT_SETTLE_MS + 600);
    const COLORREF ink = ReadBitmapPixel(g_canvas.ink, ON_STROKE.x, ON_STROKE.y + 400);
    EXPECT_EQ(SnapshotPixel({ON_STROKE.x, ON_STROKE.y + 400}), ink);
    CloseHandle(g_writerMayFlush);
}

HANDLE g_writerFlushes;
DWORD g_windowThread;

// Holds the worker's flush (not the window's) until it is let go.
BOOL WINAPI FlushOffTheWindowWhenLetGo(HANDLE file) {
    if (GetCurrentThreadId() != g_windowThread) {
        SetEvent(g_writerFlushes);
        WaitForSingleObject(g_writerMayFlush, 10000);
    }
    return SystemFunction<decltype(&FlushFileBuffers)>(L"kernel32.dll", "FlushFileBuffers")(file);
}

// What a death just after the worker's rename would leave for the next start to recover.
std::vector<std::wstring> g_leftByADeath;

BOOL WINAPI RenameThenLook(LPCWSTR from, LPCWSTR to, DWORD flags) {
    const BOOL moved =
        SystemFunction<decltype(&MoveFileExW)>(L"kernel32.dll", "MoveFileExW")(from, to, flags);
    if (GetCurrentThreadId() != g_windowThread && FileExists(to)) {
        g_leftByADeath.push_back(to);
    }
    return moved;
}

TEST_F(RecoveryTest, ASaveDoesNotWaitForTheSnapshotsFlushAndTheStaleSnapshotNeverLands) {
    g_windowThread = GetCurrentThreadId();
    g_writerFlushes = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_writerMayFlush = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_leftByADeath.clear();
    DrawStroke();
    {
        const ScopedImport held("kernel32.dll", "FlushFileBuffers",
                                reinterpret_cast<void*>(&FlushOffTheWindowWhenLetGo));
        const ScopedImport looked("kernel32.dll", "MoveFileExW",
                                  reinterpret_cast<void*>(&RenameThenLook));
        ASSERT_TRUE(TakeSnapshot());
        ASSERT_EQ(WaitForSingleObject(g_writerFlushes, 10000), WAIT_OBJECT_0);
        const DWORD start = GetTickCount();
        SendToMainWindow(WM_COMMAND, IDM_SAVE);
        EXPECT_LT(GetTickCount() - start, 5000u);
        SetEvent(g_writerMayFlush);
        WaitForSnapshot();
    }
    EXPECT_EQ(FilesIn(memos_).size(), 1u);
    EXPECT_TRUE(Snapshots(SnapshotFile::Image).empty());
    EXPECT_EQ(g_leftByADeath, std::vector<std::wstring>()); // the saved memo, never a second one
    CloseHandle(g_writerFlushes);
    CloseHandle(g_writerMayFlush);
}

TEST_F(RecoveryTest, EveryChangeOfTheBackgroundReachesTheSnapshot) {
    DrawStroke();
    const COLORREF ink = ReadBitmapPixel(g_canvas.ink, ON_STROKE.x, ON_STROKE.y);
    ASSERT_TRUE(TakeSnapshot());
    WaitForSnapshot();
    const std::wstring picture = memos_ + L"\\picture.png"; // the stroke on the paper
    CopyFileW(Snapshots(SnapshotFile::Image)[0].c_str(), picture.c_str(), FALSE);
    const struct {
        std::function<void()> change;
        POINT at;
        COLORREF after;
    } cases[] = {{[] { ResetBackgroundLayer(); }, OFF_STROKE, WHITE},
                 {[&] { LoadImageIntoLayer(picture.c_str(), Layer::Background); }, ON_STROKE, ink},
                 {[] { RotateLayerQuarterTurn(g_canvas.background, 90); }, ON_STROKE, PAPER}};
    for (const auto& c : cases) {
        ResetInkLayer();
        c.change();
        ASSERT_TRUE(TakeSnapshot());
        WaitForSnapshot();
        EXPECT_EQ(SnapshotPixel(c.at), c.after);
    }
}

TEST_F(RecoveryTest, ASessionEndWhoseSaveFailsLeavesTheLatestInkInTheSnapshot) {
    CopyText(g_document.folder, FOLDER_CAPACITY, (memos_ + L"\\gone").c_str());
    DrawStroke();
    const COLORREF ink = ReadBitmapPixel(g_canvas.ink, ON_STROKE.x, ON_STROKE.y);
    SendToMainWindow(WM_ENDSESSION, TRUE);
    EXPECT_EQ(SnapshotPixel(ON_STROKE), ink);
}

} // namespace
