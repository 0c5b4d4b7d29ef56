// Opening and saving memos on the real window under Wine: image files in, PNG files out.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/document.h"
#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "dialog_driver.h"
#include "memo/memo_files.h"
#include "memo/memo_naming.h"
#include "platform_images.h"
#include "records/document_state.h"
#include "records/settings.h"
#include "res/resource.h"
#include "scoped_import.h"
#include "wine_app.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr COLORREF INK = RGB(200, 0, 0);
const wchar_t SAVE_QUESTION[] = L"現在のキャンバスを保存しますか?";
const std::wstring OPEN_FAILED = L"ファイルを開けませんでした。\n";

// ---- files ----

std::uint32_t BigEndianAt(const Bytes& bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

// ---- canvas ----

std::wstring WindowTitle() {
    wchar_t title[TITLE_CAPACITY];
    GetWindowTextW(g_app.hwnd, title, TITLE_CAPACITY);
    return title;
}

bool IsClockName(const std::wstring& name) {
    if (name.size() < 18 || name.compare(name.size() - 4, 4, L".png") != 0) {
        return false;
    }
    const wchar_t marks[] = {L'月', L'日', L'時', L'分'};
    for (int i = 0; i < 4; ++i) {
        if (name[2 + 3 * i] != marks[i]) {
            return false;
        }
    }
    return true;
}

HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    std::size_t characters = 1;
    for (const std::wstring& path : paths) {
        characters += path.size() + 1;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                                 sizeof(DROPFILES) + characters * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& path : paths) {
        std::wmemcpy(text, path.c_str(), path.size() + 1);
        text += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class MemoTest : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow(640, 480);
        folder_ = MakeScratchFolder(L"inkwisp-memo-");
        g_settings.backgroundEnabled = 0;
        CopyText(g_settings.saveFolder, SETTINGS_PATH_CAPACITY, folder_.c_str());
        NewCanvas();
        SetMessageBoxAnswer(IDOK);
        TakeMessageBoxTexts();
    }

    // A test that made the folder the current one leaves it first: a current folder cannot go.
    void TearDown() override {
        SetCurrentDirectoryW((folder_ + L"\\..").c_str());
        RemoveTree(folder_);
    }

    std::wstring In(const std::wstring& name) const { return folder_ + L"\\" + name; }

    // A named memo with unsaved ink at (100..120, 100..120).
    void WriteInk() {
        FillBitmapRect(g_canvas.ink, 100, 100, 120, 120, INK);
        g_document.modified = 1;
    }
    bool InkIsThere() { return ReadBitmapPixel(g_canvas.ink, 110, 110) == INK; }

    std::wstring folder_;
};

TEST_F(MemoTest, SaveWritesA2048PngOfTheCompositeThatReadsBackPixelForPixel) {
    FillBitmapRect(g_canvas.background, 0, 0, CANVAS_SIZE, 700, RGB(0, 0, 200));
    FillBitmapRect(g_canvas.background, 1500, 1500, 2048, 2048, RGB(10, 120, 30));
    FillBitmapRect(g_canvas.ink, 50, 50, 400, 60, INK);
    FillBitmapRect(g_canvas.ink, 60, 600, 300, 800, RGB(0xFF, 0xFF, 0xFE)); // near white: ink
    FillBitmapRect(g_canvas.ink, 2040, 2040, 2048, 2048, RGB(1, 2, 3));
    g_document.modified = 1;

    ASSERT_EQ(SaveCurrentMemo(), 1);
    const std::wstring name = g_document.name;
    EXPECT_TRUE(IsClockName(name)) << name;
    EXPECT_EQ(name.size(), 18u) << name;
    EXPECT_EQ(std::wstring(g_document.folder), folder_);
    EXPECT_EQ(g_document.modified, 0);
    EXPECT_EQ(WindowTitle(), name + L" -Inkwisp");
    EXPECT_EQ(FilesIn(folder_), std::vector<std::wstring>{name});

    // A standard PNG header, read byte by byte: 2048 × 2048, 8 bits, not interlaced.
    const Bytes png = ReadFileBytes(In(name));
    ASSERT_GT(png.size(), 33u);
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), signature);
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(BigEndianAt(png, 16), 2048u);
    EXPECT_EQ(BigEndianAt(png, 20), 2048u);
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[28], 0);
    EXPECT_EQ(BigEndianAt(png, 29), Crc32(png.data() + 12, 17));

    // Loaded back onto a white layer, every pixel equals the composite.
    const std::vector<std::uint32_t> composite = ReadLayer(g_canvas.composite);
    EXPECT_EQ(composite[0], 0x0000C8u);
    EXPECT_EQ(composite[55 * CANVAS_SIZE + 100], 0xC80000u);
    EXPECT_EQ(composite[700 * CANVAS_SIZE + 100], 0xFFFFFEu);
    ResetBackgroundLayer();
    ASSERT_EQ(LoadImageIntoLayer(In(name).c_str(), Layer::Background), 1);
    EXPECT_TRUE(ReadLayer(g_canvas.background) == composite);

    // Later saves of the same memo write the same file, also with nothing changed.
    ASSERT_TRUE(DeleteFileW(In(name).c_str()));
    EXPECT_EQ(SaveCurrentMemo(), 1);
    EXPECT_EQ(FilesIn(folder_), std::vector<std::wstring>{name});
}

TEST_F(MemoTest, AnUntitledSaveNeverReplacesAFileOfTheSameClockName) {
    // Files of the clock names of the next seconds, as saved on this date in another year.
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME stamp;
    SystemTimeToFileTime(&now, &stamp);
    ULARGE_INTEGER ticks;
    ticks.LowPart = stamp.dwLowDateTime;
    ticks.HighPart = stamp.dwHighDateTime;
    std::vector<std::wstring> taken;
    for (int second = 0; second < 10; ++second) {
        ULARGE_INTEGER later = ticks;
        later.QuadPart += 10000000ull * second;
        const FILETIME laterStamp = {later.LowPart, later.HighPart};
        SYSTEMTIME time;
        FileTimeToSystemTime(&laterStamp, &time);
        wchar_t clockName[CLOCK_NAME_CAPACITY];
        FormatClockName({time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond}, clockName,
                        CLOCK_NAME_CAPACITY);
        taken.push_back(clockName);
        WriteFileBytes(In(taken.back() + L".png"), {'o', 'l', 'd'});
    }
    WriteInk();
    ASSERT_EQ(SaveCurrentMemo(), 1);
    const std::wstring name = g_document.name;
    ASSERT_GT(name.size(), 6u);
    const std::wstring base = name.substr(0, name.size() - 6);
    EXPECT_EQ(name.substr(name.size() - 6), L"_2.png");
    EXPECT_NE(std::find(taken.begin(), taken.end(), base), taken.end()) << name;
    EXPECT_EQ(ReadFileBytes(In(base + L".png")), (Bytes{'o', 'l', 'd'}));
    EXPECT_GT(ReadFileBytes(In(name)).size(), 100u);
}

TEST_F(MemoTest, AFailedSaveKeepsTheInkUnsavedAndTheMemoUntitled) {
    const std::wstring missing = In(L"missing");
    CopyText(g_document.folder, FOLDER_CAPACITY, missing.c_str());
    WriteInk();

    EXPECT_EQ(SaveCurrentMemo(), 0);
    EXPECT_EQ(g_document.modified, 1);
    EXPECT_STREQ(g_document.name, L"");
    EXPECT_EQ(WindowTitle(), L"無題 -Inkwisp");

    // Yes to the question, but nothing could be written: the box says so, New goes no further.
    SetMessageBoxAnswer(IDYES);
    EXPECT_EQ(ConfirmSaveChanges(), IDCANCEL);
    SendToMainWindow(WM_COMMAND, IDM_NEW);
    const std::vector<std::wstring> boxes = TakeMessageBoxTexts();
    ASSERT_EQ(boxes.size(), 4u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const std::wstring shown =
            i % 2 == 0 ? SAVE_QUESTION : L"メモを保存できませんでした。\n" + missing + L"\\";
        EXPECT_EQ(boxes[i].substr(0, shown.size()), shown);
    }
    EXPECT_TRUE(InkIsThere());
    EXPECT_EQ(g_document.modified, 1);

    // Closing asks only when its save fails; Cancel keeps the window and the ink.
    SetMessageBoxAnswer(IDCANCEL);
    SendToMainWindow(WM_CLOSE);
    EXPECT_EQ(TakeMessageBoxTexts(), std::vector<std::wstring>{SAVE_QUESTION});
    EXPECT_TRUE(IsWindow(g_app.hwnd));
    EXPECT_TRUE(InkIsThere());
    EXPECT_EQ(g_document.modified, 1);

    // No folder at all (a desktop path too long to hold): refused, never the drive's root.
    CopyText(g_document.folder, FOLDER_CAPACITY, L"");
    EXPECT_EQ(SaveCurrentMemo(), 0);
    EXPECT_EQ(g_document.modified, 1);
    CopyText(g_document.folder, FOLDER_CAPACITY, missing.c_str());

    // A named memo keeps its name when its folder has gone. The Save command says so, once.
    CopyText(g_document.name, NAME_CAPACITY, L"named.png");
    HWND owner = nullptr;
    const DialogAnswer box(IsMessageBox(), [&](HWND shown) { owner = GetWindow(shown, GW_OWNER); });
    SendToMainWindow(WM_COMMAND, IDM_SAVE);
    EXPECT_EQ(owner, g_app.hwnd);
    EXPECT_EQ(TakeMessageBoxTexts(), std::vector<std::wstring>{L"メモを保存できませんでした。\n" +
                                                               missing + L"\\named.png"});
    EXPECT_STREQ(g_document.name, L"named.png");
    EXPECT_EQ(g_document.modified, 1);

    ASSERT_TRUE(CreateDirectoryW(missing.c_str(), nullptr));
    EXPECT_EQ(SaveCurrentMemo(), 1);
    EXPECT_EQ(g_document.modified, 0);
    EXPECT_TRUE(FileExists(missing + L"\\named.png"));
}

TEST_F(MemoTest, AMemoWhoseInkCannotBeComposedIsNotSaved) {
    CopyText(g_document.name, NAME_CAPACITY, L"named.png");
    const Bytes earlier = {'o', 'l', 'd'};
    WriteFileBytes(In(L"named.png"), earlier);
    WriteInk();

    int saved = 1;
    {
        const ScopedFailingTransparentBlt failing;
        saved = SaveCurrentMemo();
    }
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(ReadFileBytes(In(L"named.png")), earlier);
    EXPECT_EQ(g_document.modified, 1);
    EXPECT_STREQ(g_document.name, L"named.png");

    EXPECT_EQ(SaveCurrentMemo(), 1);
    EXPECT_EQ(g_document.modified, 0);
    ASSERT_EQ(LoadImageIntoLayer(In(L"named.png").c_str(), Layer::Background), 1);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.background, 110, 110), INK);
}

// A save's calls made to fail one by one, through swapped imports.

// Windows refuses a path of MAX_PATH characters or more unless it is a \\?\ path; Wine does not.
HANDLE WINAPI CreateFileAsWindows(LPCWSTR path, DWORD access, DWORD share,
                                  LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                  HANDLE pattern) {
    if (std::wcslen(path) >= MAX_PATH && std::wcsncmp(path, L"\\\\?\\", 4) != 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return SystemFunction<decltype(&CreateFileW)>(L"kernel32.dll", "CreateFileW")(
        path, access, share, security, disposition, flags, pattern);
}

TEST_F(MemoTest, TheMemosNameHoldsTheOldMemoOrTheNewOneAndAFailedSaveSaysSo) {
    // A temporary file of a writer that has ended goes; one of a running writer stays.
    WriteFileBytes(In(L"~Inkwisp-4294967280-1.tmp"), {'t', 'o', 'r', 'n'});
    const std::wstring running = L"~Inkwisp-" + std::to_wstring(GetCurrentProcessId()) + L"-0.tmp";
    WriteFileBytes(In(running), {});
    // memo.png fits MAX_PATH in it; a temporary file's name does not.
    const std::wstring deep = In(std::wstring(244 - folder_.size(), L'd'));
    CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    const Bytes old = {'o', 'l', 'd'};
    const struct Swap {
        const char* dll;
        const char* function;
        void* replacement;
    } noEncoder = {"ole32.dll", "CreateStreamOnHGlobal",
                   reinterpret_cast<void*>(
                       &Answer<HRESULT, E_OUTOFMEMORY, HGLOBAL, BOOL, LPSTREAM*>)},
      noFlush = {"kernel32.dll", "FlushFileBuffers",
                 reinterpret_cast<void*>(&Answer<BOOL, FALSE, HANDLE>)},
      noMove = {"kernel32.dll", "MoveFileExW",
                reinterpret_cast<void*>(&Answer<BOOL, FALSE, LPCWSTR, LPCWSTR, DWORD>)},
      asWindows = {"kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&CreateFileAsWindows)};
    enum At { NOTHING, OLD_MEMO, A_FOLDER };
    const struct {
        const char* name;
        At at;
        std::wstring folder;
        std::vector<Swap> swaps;
        bool saved;
    } rows[] = {
        {"a new memo", NOTHING, folder_, {}, true},
        {"over the old memo", OLD_MEMO, folder_, {}, true},
        {"a folder at the memo's name", A_FOLDER, folder_, {}, false},
        {"no encoder", OLD_MEMO, folder_, {noEncoder}, false},
        {"the flush fails", OLD_MEMO, folder_, {noFlush}, false},
        {"the rename fails", OLD_MEMO, folder_, {noMove}, false},
        {"a folder deeper than the temporary name", OLD_MEMO, deep, {asWindows}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::wstring memo = row.folder + L"\\memo.png";
        if (row.at == OLD_MEMO) {
            WriteFileBytes(memo, old);
        } else if (row.at == A_FOLDER) {
            CreateDirectoryW(memo.c_str(), nullptr);
            WriteFileBytes(memo + L"\\inside.txt", old);
        }
        CopyText(g_document.folder, FOLDER_CAPACITY, row.folder.c_str());
        CopyText(g_document.name, NAME_CAPACITY, L"memo.png");
        g_document.modified = 1;
        {
            std::vector<std::unique_ptr<ScopedImport>> swapped;
            for (const Swap& swap : row.swaps) {
                swapped.push_back(
                    std::make_unique<ScopedImport>(swap.dll, swap.function, swap.replacement));
            }
            SendToMainWindow(WM_COMMAND, IDM_SAVE);
        }
        const std::vector<std::wstring> failed = {L"メモを保存できませんでした。\n" + memo};
        EXPECT_EQ(TakeMessageBoxTexts(), row.saved ? std::vector<std::wstring>() : failed);
        EXPECT_EQ(g_document.modified, row.saved ? 0 : 1);
        const Bytes held = ReadFileBytes(memo);
        EXPECT_EQ(held.size() > 8 && held[1] == 'P' && held[2] == 'N' && held[3] == 'G', row.saved);
        EXPECT_EQ(held == old, !row.saved && row.at == OLD_MEMO); // byte for byte
        EXPECT_EQ(ReadFileBytes(memo + L"\\inside.txt") == old, row.at == A_FOLDER);
        // No temporary file of this save, the stray gone, the running writer's kept.
        std::vector<std::wstring> files = FilesIn(row.folder);
        files.erase(std::remove(files.begin(), files.end(), running), files.end());
        EXPECT_EQ(files, row.at == A_FOLDER ? std::vector<std::wstring>()
                                            : std::vector<std::wstring>{L"memo.png"});
        EXPECT_TRUE(FileExists(In(running)));
        RemoveTree(memo);
        DeleteFileW(memo.c_str());
    }
}

TEST_F(MemoTest, EndingTheSessionSavesAModifiedMemoWithoutAQuestion) {
    EXPECT_EQ(SendToMainWindow(WM_QUERYENDSESSION), TRUE);
    SendToMainWindow(WM_ENDSESSION, TRUE);
    EXPECT_TRUE(FilesIn(folder_).empty()); // nothing to save

    WriteInk();
    EXPECT_EQ(SendToMainWindow(WM_QUERYENDSESSION), TRUE);
    SendToMainWindow(WM_ENDSESSION, FALSE); // the end was called off
    EXPECT_TRUE(FilesIn(folder_).empty());
    SendToMainWindow(WM_ENDSESSION, TRUE);
    const std::vector<std::wstring> saved = FilesIn(folder_);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_TRUE(IsClockName(saved[0])) << saved[0];
    EXPECT_EQ(g_document.modified, 0);
    EXPECT_TRUE(TakeMessageBoxTexts().empty());
}

// Records which buttons the program's message boxes carry.
std::vector<int> g_buttons;

void RecordButtons(HWND box) {
    g_buttons.clear();
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        if (GetDlgItem(box, id) != nullptr) {
            g_buttons.push_back(id);
        }
    }
}

TEST_F(MemoTest, TheSaveQuestionComesOnlyForAModifiedCanvasAndCancelKeepsIt) {
    EXPECT_EQ(ConfirmSaveChanges(), IDYES);
    EXPECT_TRUE(TakeMessageBoxTexts().empty());

    WriteInk();
    SetMessageBoxAnswer(IDNO);
    {
        const DialogAnswer buttons(IsMessageBox(), RecordButtons);
        EXPECT_EQ(ConfirmSaveChanges(), IDNO);
    }
    EXPECT_EQ(TakeMessageBoxTexts(), std::vector<std::wstring>{SAVE_QUESTION});
    EXPECT_EQ(g_buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
    EXPECT_EQ(g_document.modified, 1);
    EXPECT_TRUE(FilesIn(folder_).empty());

    SetMessageBoxAnswer(IDCANCEL);
    SendToMainWindow(WM_COMMAND, IDM_NEW);
    EXPECT_EQ(TakeMessageBoxTexts().size(), 1u);
    EXPECT_TRUE(InkIsThere());
    EXPECT_EQ(g_document.modified, 1);

    SetMessageBoxAnswer(IDNO);
    SendToMainWindow(WM_COMMAND, IDM_NEW);
    EXPECT_EQ(TakeMessageBoxTexts().size(), 1u);
    EXPECT_FALSE(InkIsThere());
    EXPECT_EQ(g_document.modified, 0);
    EXPECT_TRUE(FilesIn(folder_).empty());

    WriteInk();
    SetMessageBoxAnswer(IDYES);
    SendToMainWindow(WM_COMMAND, IDM_NEW);
    EXPECT_EQ(TakeMessageBoxTexts().size(), 1u);
    EXPECT_FALSE(InkIsThere());
    EXPECT_EQ(g_document.modified, 0);
    EXPECT_EQ(WindowTitle(), L"無題 -Inkwisp");
    const std::vector<std::wstring> saved = FilesIn(folder_);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_TRUE(IsClockName(saved[0])) << saved[0];
}

// Web-safe colours in blocks of 16 pixels, so that neither JPEG's blocks nor GIF's palette blur
// them.
COLORREF Stripes(int x, int y) {
    return x < 16 ? RGB(204, 0, 0) : (y < 16 ? RGB(0, 0, 204) : RGB(0, 153, 0));
}

COLORREF Gradient(int x, int y) {
    return RGB(x % 251, y % 241, (x + 3 * y) % 239);
}

TEST_F(MemoTest, APictureThatCannotBeDrawnIsNotLoaded) {
    WriteFileBytes(In(L"fine.bmp"), MakeBmp(20, 20, Stripes));
    for (Layer layer : {Layer::Ink, Layer::Background}) {
        const ScopedImport noDc("gdi32.dll", "CreateCompatibleDC", NO_CONTEXT);
        EXPECT_EQ(LoadImageIntoLayer(In(L"fine.bmp").c_str(), layer), 0);
    }
}

TEST_F(MemoTest, OpensEveryFormatOneImagePixelOnOneCanvasPixel) {
    struct Case {
        const wchar_t* file;
        int width, height;
        PixelPattern pattern;
        int tolerance; // JPEG is lossy
    };
    const Case cases[] = {
        {L"stripes.jpg", 48, 40, Stripes, 40},    {L"stripes.bmp", 48, 40, Stripes, 0},
        {L"stripes.gif", 48, 40, Stripes, 0},     {L"scan300dpi.png", 120, 80, Gradient, 0},
        {L"shot144dpi.png", 90, 70, Gradient, 0}, {L"large.png", 2100, 2060, Gradient, 0},
    };
    WriteFileBytes(In(cases[0].file), MakeJpeg(48, 40, Stripes));
    WriteFileBytes(In(cases[1].file), MakeBmp(48, 40, Stripes));
    WriteFileBytes(In(cases[2].file), MakeGif(48, 40, Stripes));
    WriteFileBytes(In(cases[3].file), MakePng(120, 80, Gradient, 300));
    WriteFileBytes(In(cases[4].file), MakePng(90, 70, Gradient, 144));
    WriteFileBytes(In(cases[5].file), MakePng(2100, 2060, Gradient));

    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.file));
        NewCanvas();
        ASSERT_EQ(OpenImageAsMemo(In(c.file).c_str(), SaveQuestion::None), 1);
        // The file is not held open.
        EXPECT_TRUE(DeleteFileW(In(c.file).c_str()));

        const int right = std::min(c.width, CANVAS_SIZE) - 1;
        const int bottom = std::min(c.height, CANVAS_SIZE) - 1;
        const POINT points[] = {{0, 0}, {3, 30}, {30, 5}, {right, bottom}, {right, 0}, {0, bottom}};
        for (const POINT& p : points) {
            const COLORREF want = c.pattern(p.x, p.y);
            const COLORREF got = ReadBitmapPixel(g_canvas.ink, p.x, p.y);
            EXPECT_LE(std::abs(GetRValue(got) - GetRValue(want)), c.tolerance) << p.x << "," << p.y;
            EXPECT_LE(std::abs(GetGValue(got) - GetGValue(want)), c.tolerance) << p.x << "," << p.y;
            EXPECT_LE(std::abs(GetBValue(got) - GetBValue(want)), c.tolerance) << p.x << "," << p.y;
        }
        if (c.width < CANVAS_SIZE) {
            EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, c.width, c.height), WHITE);
            EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, c.width, 0), WHITE);
        }
        std::wstring name = c.file;
        name = name.substr(0, name.find(L'.')) + L".png";
        EXPECT_EQ(std::wstring(g_document.folder), folder_);
        EXPECT_EQ(std::wstring(g_document.name), name);
        EXPECT_EQ(WindowTitle(), name + L" -Inkwisp");
        EXPECT_EQ(g_document.modified, 0);
    }
}

TEST_F(MemoTest, AnOpenedFileIsTheImageAloneOverTheBackgroundWithNoEarlierInk) {
    FillBitmapRect(g_canvas.background, 0, 0, CANVAS_SIZE, CANVAS_SIZE, RGB(0, 0, 200));
    WriteInk();
    auto halfWhite = [](int x, int) { return x < 20 ? WHITE : RGB(0, 150, 0); };
    WriteFileBytes(In(L"half.png"), MakePng(40, 40, halfWhite));
    SetMessageBoxAnswer(IDNO);
    const HDROP drop = MakeDrop({In(L"half.png")});
    SendToMainWindow(WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
    EXPECT_EQ(TakeMessageBoxTexts(), std::vector<std::wstring>{SAVE_QUESTION});
    EXPECT_EQ(WindowTitle(), L"half.png -Inkwisp");

    ComposeCanvas();
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 5, 5), RGB(0, 0, 200));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 30, 5), RGB(0, 150, 0));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 110, 110), RGB(0, 0, 200));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 500, 500), RGB(0, 0, 200));

    // Nor after a save: the ink under the image's white part goes too.
    FillBitmapRect(g_canvas.ink, 0, 0, 200, 200, INK);
    ASSERT_EQ(SaveCurrentMemo(), 1);
    WriteFileBytes(In(L"other.png"), MakePng(40, 40, halfWhite));
    SendToMainWindow(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({In(L"other.png")})));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 5, 5), WHITE);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 110, 110), WHITE);
}

std::wstring g_choice;

// Answers the open dialog with `g_choice`, or fails as the dialog does when it does not fit.
BOOL WINAPI ChooseTheChoice(LPOPENFILENAMEW record) {
    if (g_choice.size() >= record->nMaxFile) {
        return FALSE;
    }
    std::wcscpy(record->lpstrFile, g_choice.c_str());
    return TRUE;
}

TEST_F(MemoTest, UnreadableFilesChangeNothingWhereverTheyAreOpenedAndABoxNamesThem) {
    const Bytes good = MakePng(30, 30, Gradient);
    const Bytes truncated(good.begin(), good.begin() + 45);
    const Bytes large = MakePng(200, 200, Gradient);
    const Bytes halfPixels(large.begin(), large.begin() + large.size() / 2);
    Bytes corrupt = good;
    for (std::size_t i = 40; i < corrupt.size(); ++i) {
        corrupt[i] = static_cast<std::uint8_t>(i * 7);
    }
    WriteFileBytes(In(L"empty.png"), {});
    WriteFileBytes(In(L"truncated.png"), truncated);
    WriteFileBytes(In(L"cut.png"), halfPixels);
    WriteFileBytes(In(L"corrupt.png"), corrupt);
    WriteFileBytes(In(L"text.jpg"), {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    WriteFileBytes(In(L"zero.bmp"), MakeBmp(0, 0, Gradient));
    WriteFileBytes(In(L"good.png"), good);
    CreateDirectoryW(In(L"folder.png").c_str(), nullptr);
    SetCurrentDirectoryW(folder_.c_str());
    // Readable files that no memo can be named from: no folder, or a folder too long to hold.
    const std::wstring deep = In(std::wstring(120, L'd')) + L"\\" + std::wstring(120, L'e');
    ASSERT_GE(deep.size(), FOLDER_CAPACITY);
    CreateDirectoryW((L"\\\\?\\" + In(std::wstring(120, L'd'))).c_str(), nullptr);
    CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    WriteFileBytes(L"\\\\?\\" + deep + L"\\deep.png", good);
    ASSERT_EQ(LoadImageIntoLayer((deep + L"\\deep.png").c_str(), Layer::Background), 1);

    const std::wstring paths[] = {In(L"empty.png"),    In(L"truncated.png"), In(L"cut.png"),
                                  In(L"corrupt.png"),  In(L"text.jpg"),      In(L"zero.bmp"),
                                  In(L"missing.png"),  In(L"folder.png"),    L"good.png",
                                  deep + L"\\deep.png"};
    const ScopedImport dialog("comdlg32.dll", "GetOpenFileNameW",
                              reinterpret_cast<void*>(&ChooseTheChoice));
    for (const std::wstring& path : paths) {
        SCOPED_TRACE(testing::PrintToString(path));
        NewCanvas();
        SetCurrentFile(In(L"before.png").c_str());
        WriteInk();
        FillBitmapRect(g_canvas.background, 0, 0, 10, 10, RGB(0, 0, 200));
        const std::vector<std::uint32_t> unstroked = ReadLayer(g_canvas.ink);
        SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(300, 300));
        SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(340, 300));
        ASSERT_FALSE(ReadLayer(g_canvas.ink) == unstroked);

        EXPECT_EQ(LoadImageIntoLayer(path.c_str(), Layer::Ink), 0);
        EXPECT_TRUE(InkIsThere());
        EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 0, 0), WHITE);
        EXPECT_STREQ(g_document.name, L"before.png");
        EXPECT_EQ(g_document.modified, 1);

        // Opened after answering No, then dropped (which asks nothing first): a box names the
        // file, and the memo, its name, its history and the background stay.
        g_settings.backgroundEnabled = 1;
        SetMessageBoxAnswer(IDNO);
        g_choice = path;
        SendToMainWindow(WM_COMMAND, IDM_OPEN);
        SendToMainWindow(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path})));
        g_settings.backgroundEnabled = 0;
        std::vector<std::wstring> boxes = {SAVE_QUESTION, OPEN_FAILED + path, OPEN_FAILED + path};
        if (path.size() >= PATH_BUFFER_CAPACITY) {
            boxes.erase(boxes.begin() + 1); // no open dialog gives so long a path
        }
        EXPECT_EQ(TakeMessageBoxTexts(), boxes);
        EXPECT_EQ(ReadBitmapPixel(g_canvas.background, 5, 5), RGB(0, 0, 200));
        EXPECT_EQ(WindowTitle(), L"before.png -Inkwisp");
        EXPECT_EQ(g_document.modified, 1);
        SendToMainWindow(WM_COMMAND, IDM_UNDO);
        EXPECT_TRUE(ReadLayer(g_canvas.ink) == unstroked);
    }
    // No file is left open.
    for (const wchar_t* name : {L"empty.png", L"truncated.png", L"corrupt.png", L"good.png"}) {
        EXPECT_TRUE(DeleteFileW(In(name).c_str())) << name;
    }
}

SIZE_T PeakMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return std::max(counters.PeakWorkingSetSize, counters.PeakPagefileUsage);
}

TEST_F(MemoTest, HostileFilesAreRefusedOnBothLayersWithinBoundedMemory) {
    const Bytes good = MakePng(30, 30, Gradient);
    Bytes bmpHeader = MakeBmp(20, 20, Stripes);
    bmpHeader[14] = 7; // a header size no BMP has
    Bytes bmpHuge = MakeBmp(20, 20, Stripes);
    bmpHuge[19] = bmpHuge[23] = 0x75; // 29972 × 29972
    const struct {
        const wchar_t* name;
        Bytes bytes;
    } cases[] = {
        {L"empty.png", {}},
        {L"text.png", {'h', 'e', 'l', 'l', 'o'}},
        {L"signature.png", Bytes(good.begin(), good.begin() + 8)},
        {L"huge.png", ReheaderPng(MakePng(600, 4, Gradient), 60000, 60000)},
        {L"zero-width.png", ReheaderPng(good, 0, 30)},
        {L"bad-zlib.png", WithPngImageData(good, {0x78, 0x01, 0xFF, 0x13, 0x37, 0x00, 0xAB, 0xCD})},
        {L"header.bmp", bmpHeader},
        {L"huge.bmp", bmpHuge},
        {L"soi.jpg", {0xFF, 0xD8}},
        {L"huge.jpg", {0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0xFD, 0xE8, 0xFD, 0xE8, 1, 1, 0x11, 0}},
    };
    const SIZE_T before = PeakMemory();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.name));
        WriteFileBytes(In(c.name), c.bytes);
        const DWORD start = GetTickCount();
        FillBitmapRect(g_canvas.background, 0, 0, 10, 10, RGB(0, 0, 200));
        EXPECT_EQ(LoadImageIntoLayer(In(c.name).c_str(), Layer::Background), 0);
        EXPECT_EQ(ReadBitmapPixel(g_canvas.background, 5, 5), RGB(0, 0, 200));

        WriteInk();
        SendToMainWindow(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({In(c.name)})));
        EXPECT_EQ(TakeMessageBoxTexts(), std::vector<std::wstring>{OPEN_FAILED + In(c.name)});
        EXPECT_TRUE(InkIsThere());
        EXPECT_LT(GetTickCount() - start, 2000u);
        EXPECT_TRUE(DeleteFileW(In(c.name).c_str())); // not held open
    }
    const SIZE_T after = PeakMemory();
    const SIZE_T growth = after - before;
    std::printf("peak memory %lu KiB, grown by %lu KiB over the hostile files\n",
                static_cast<unsigned long>(after / 1024),
                static_cast<unsigned long>(growth / 1024));
    EXPECT_LT(growth, SIZE_T{64} << 20);
}

TEST_F(MemoTest, AGifsTransparentColourShowsWhatLiesBelow) {
    const COLORREF KEY = RGB(0, 255, 0);
    auto framed = [&](int x, int y) { return x < 8 || y < 8 ? RGB(204, 0, 0) : KEY; };
    WriteFileBytes(In(L"framed.gif"), MakeGif(32, 32, framed, KEY));

    FillBitmap(g_canvas.background, RGB(0, 0, 200));
    ASSERT_EQ(LoadImageIntoLayer(In(L"framed.gif").c_str(), Layer::Background), 1);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.background, 2, 2), RGB(204, 0, 0));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.background, 20, 20), RGB(0, 0, 200));

    ASSERT_EQ(LoadImageIntoLayer(In(L"framed.gif").c_str(), Layer::Ink), 1);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 2, 2), RGB(204, 0, 0));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 20, 20), WHITE);
    ComposeCanvas();
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 20, 20), RGB(0, 0, 200));
}

TEST_F(MemoTest, ACommandLinePathIsOpenedWithoutItsQuotesAndNeverSplitAtBlanks) {
    const std::wstring blank = In(L"with blank");
    CreateDirectoryW(blank.c_str(), nullptr);
    WriteFileBytes(blank + L"\\my pic.bmp", MakeBmp(20, 20, Stripes));
    struct Case {
        std::wstring commandLine;
        const wchar_t* title;
    } cases[] = {
        {L"\"" + blank + L"\\my pic.bmp\"", L"my pic.png -Inkwisp"},
        {blank + L"\\my pic.bmp", L"my pic.png -Inkwisp"},
        {L"\"" + blank + L"\\my pic.bmp", L"無題 -Inkwisp"},
        {L"\"\"" + blank + L"\\my pic.bmp\"\"", L"無題 -Inkwisp"},
        {L"\"\"", L"無題 -Inkwisp"},
        // Relative to the current folder, as typed in a command prompt.
        {L"\"my pic.bmp\"", L"my pic.png -Inkwisp"},
    };
    SetCurrentDirectoryW(blank.c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.commandLine));
        NewCanvas();
        WriteInk();
        OpenCommandLineImage(c.commandLine.c_str());
        EXPECT_EQ(WindowTitle(), c.title);
        const bool opened = c.title[0] != L'無';
        // A file that cannot be opened is named in a box and leaves the memo; "" names none.
        const std::vector<std::wstring> boxes = TakeMessageBoxTexts();
        EXPECT_EQ(boxes.size(), opened || c.commandLine == L"\"\"" ? 0u : 1u);
        EXPECT_TRUE(boxes.empty() || boxes[0].rfind(OPEN_FAILED, 0) == 0);
        EXPECT_EQ(InkIsThere(), !opened);
        EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 2, 2), opened ? Stripes(2, 2) : WHITE);
        if (opened) {
            EXPECT_EQ(std::wstring(g_document.folder), blank);
        }
    }
}

TEST_F(MemoTest, ADropOpensOnlyTheFirstFileAndCancelLeavesEverything) {
    WriteFileBytes(In(L"first.bmp"), MakeBmp(20, 20, Stripes));
    WriteFileBytes(In(L"second.bmp"), MakeBmp(40, 40, Gradient));
    const std::vector<std::wstring> three = {In(L"first.bmp"), In(L"second.bmp"), In(L"x.bmp")};

    WriteInk();
    SetMessageBoxAnswer(IDCANCEL);
    SendToMainWindow(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(three)));
    EXPECT_EQ(TakeMessageBoxTexts().size(), 1u);
    EXPECT_TRUE(InkIsThere());
    EXPECT_EQ(WindowTitle(), L"無題 -Inkwisp");

    SetMessageBoxAnswer(IDNO);
    SendToMainWindow(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(three)));
    EXPECT_EQ(TakeMessageBoxTexts().size(), 1u);
    EXPECT_EQ(WindowTitle(), L"first.png -Inkwisp");
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 2, 2), Stripes(2, 2));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 30, 30), WHITE);
    EXPECT_FALSE(InkIsThere());

    // Unmodified: no question.
    SendToMainWindow(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({In(L"second.bmp")})));
    EXPECT_TRUE(TakeMessageBoxTexts().empty());
    EXPECT_EQ(WindowTitle(), L"second.png -Inkwisp");

    // A name far longer than 63 characters is held whole, and saved under it.
    const std::wstring longName(150, L'n');
    WriteFileBytes(In(longName + L".bmp"), MakeBmp(20, 20, Stripes));
    SendToMainWindow(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({In(longName + L".bmp")})));
    EXPECT_EQ(std::wstring(g_document.name), longName + L".png");
    EXPECT_EQ(SaveCurrentMemo(), 1);
    EXPECT_TRUE(FileExists(In(longName + L".png")));
}

// The open dialog's record as the program hands it over: where it lives, a copy, and what the
// caller's buffer and the starting folder held at that moment. The dialog writes flags back into
// the record it is given, so this comes before any real dialog of the process.
struct OpenDialogCall {
    const OPENFILENAMEW* record;
    OPENFILENAMEW given;
    wchar_t fileAtCall;
    std::wstring initialDir;
};
std::vector<OpenDialogCall> g_openDialogCalls;

BOOL WINAPI RecordOpenDialog(LPOPENFILENAMEW record) {
    g_openDialogCalls.push_back({record, *record, record->lpstrFile[0],
                                 record->lpstrInitialDir ? record->lpstrInitialDir : L"(none)"});
    return FALSE;
}

TEST_F(MemoTest, TheOpenDialogAsksForPngFilesFromTheMemosFolder) {
    ScopedImport dialog("comdlg32.dll", "GetOpenFileNameW",
                        reinterpret_cast<void*>(&RecordOpenDialog));
    ASSERT_NE(dialog.previous_, nullptr);
    wchar_t first[PATH_BUFFER_CAPACITY] = L"old";
    wchar_t second[PATH_BUFFER_CAPACITY] = L"old";
    CopyText(g_document.folder, FOLDER_CAPACITY, L"C:\\first");
    EXPECT_EQ(ChooseImageFile(first), 0);
    CopyText(g_document.folder, FOLDER_CAPACITY, L"C:\\second");
    EXPECT_EQ(ChooseImageFile(second), 0);

    ASSERT_EQ(g_openDialogCalls.size(), 2u);
    const OPENFILENAMEW& given = g_openDialogCalls[0].given;
    EXPECT_EQ(given.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(given.hwndOwner, g_app.hwnd);
    const wchar_t filter[] = L"Pngファイル(*.png)\0*.png\0"; // ends in two terminators
    ASSERT_NE(given.lpstrFilter, nullptr);
    EXPECT_EQ(std::wmemcmp(given.lpstrFilter, filter, sizeof filter / sizeof filter[0]), 0);
    EXPECT_STREQ(given.lpstrTitle, L"開く");
    EXPECT_EQ(given.Flags, static_cast<DWORD>(OFN_FILEMUSTEXIST));
    EXPECT_EQ(given.nMaxFile, 260u);
    EXPECT_EQ(given.lpstrFile, first);
    EXPECT_EQ(g_openDialogCalls[0].fileAtCall, L'\0');
    EXPECT_EQ(g_openDialogCalls[0].initialDir, L"C:\\first");
    // The same record again, with the second caller's buffer and the memo's folder of now.
    EXPECT_EQ(g_openDialogCalls[1].record, g_openDialogCalls[0].record);
    EXPECT_EQ(g_openDialogCalls[1].given.lpstrFile, second);
    EXPECT_EQ(g_openDialogCalls[1].fileAtCall, L'\0');
    EXPECT_EQ(g_openDialogCalls[1].initialDir, L"C:\\second");
}

// Answers the open-file dialog: types `g_choice` into its name box and confirms, or cancels when
// it is empty; counts the dialogs answered.
int g_openDialogsSeen;

void AnswerOpenDialog(HWND dialog) {
    ++g_openDialogsSeen;
    if (g_choice.empty()) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
        SetDlgItemTextW(dialog, cmb13, g_choice.c_str());
        SetDlgItemTextW(dialog, edt1, g_choice.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
}

TEST_F(MemoTest, TheOpenDialogGivesThePathToEachCallersOwnBuffer) {
    WriteFileBytes(In(L"one.png"), MakePng(20, 20, Gradient));
    WriteFileBytes(In(L"two.png"), MakePng(20, 20, Stripes));
    const DialogAnswer openDialog(WithCaption(L"開く"), AnswerOpenDialog);

    wchar_t settingsBuffer[PATH_BUFFER_CAPACITY] = L"old";
    g_choice.clear();
    EXPECT_EQ(ChooseImageFile(settingsBuffer), 0);
    EXPECT_STREQ(settingsBuffer, L"");

    g_choice = In(L"one.png");
    EXPECT_EQ(ChooseImageFile(settingsBuffer), 1);
    EXPECT_EQ(std::wstring(settingsBuffer), In(L"one.png"));

    // The Open command, through the same record.
    WriteInk();
    SetMessageBoxAnswer(IDNO);
    g_choice = In(L"two.png");
    SendToMainWindow(WM_COMMAND, IDM_OPEN);
    EXPECT_EQ(WindowTitle(), L"two.png -Inkwisp");
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 2, 2), Stripes(2, 2));
    EXPECT_EQ(std::wstring(settingsBuffer), In(L"one.png"));

    // Cancelled: nothing changes after the question.
    WriteInk();
    g_choice.clear();
    SendToMainWindow(WM_COMMAND, IDM_OPEN);
    EXPECT_EQ(WindowTitle(), L"two.png -Inkwisp");
    EXPECT_TRUE(InkIsThere());
    EXPECT_EQ(g_openDialogsSeen, 4);
}

// Ctrl and a key, through the program's accelerator table as its message loop translates them.
void PressCtrl(WORD key) {
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG message = {g_app.hwnd, WM_KEYDOWN, key, 1, 0, {0, 0}};
    HACCEL table = LoadAcceleratorsW(g_app.hinstance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    EXPECT_TRUE(TranslateAcceleratorW(g_app.hwnd, table, &message)) << key;
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

TEST_F(MemoTest, CtrlCThenCtrlVOpenTheSamePictureAsAnUntitledMemoAndNoPictureChangesNothing) {
    FillBitmapRect(g_canvas.background, 0, 0, 700, 300, RGB(0, 0, 200));
    FillBitmapRect(g_canvas.ink, 2040, 2040, 2048, 2048, RGB(0xFF, 0xFF, 0xFE));
    SetCurrentFile(In(L"opened\\named.png").c_str());
    WriteInk();
    const std::vector<std::uint32_t> ink = ReadLayer(g_canvas.ink);
    ASSERT_TRUE(OpenClipboard(g_app.hwnd) && EmptyClipboard() && CloseClipboard());
    PressCtrl('V');
    EXPECT_TRUE(TakeMessageBoxTexts().empty());
    EXPECT_TRUE(ReadLayer(g_canvas.ink) == ink);
    EXPECT_EQ(WindowTitle(), L"named.png -Inkwisp");
    EXPECT_EQ(g_document.modified, 1);

    ComposeCanvas();
    const std::vector<std::uint32_t> picture = ReadLayer(g_canvas.composite);
    SetMessageBoxAnswer(IDNO);
    // From the PNG when the DIB is not one, and from the DIB when the PNG is not one.
    for (UINT broken : {UINT{CF_DIB}, RegisterClipboardFormatW(L"PNG")}) {
        PressCtrl('C');
        ASSERT_TRUE(OpenClipboard(g_app.hwnd));
        SetClipboardData(broken, GlobalAlloc(GHND, 64));
        CloseClipboard();
        PressCtrl('V');
        EXPECT_EQ(TakeMessageBoxTexts(), std::vector<std::wstring>{SAVE_QUESTION});
        EXPECT_TRUE(ReadLayer(g_canvas.ink) == picture);
        EXPECT_EQ(ReadBitmapPixel(g_canvas.background, 5, 5), RGB(0, 0, 200));
        EXPECT_EQ(WindowTitle(), L"無題 -Inkwisp");
        EXPECT_EQ(std::wstring(g_document.folder), folder_);
        EXPECT_EQ(g_document.modified, 1);
    }

    // Nothing that can be opened: nothing is asked.
    ASSERT_TRUE(OpenClipboard(g_app.hwnd) && EmptyClipboard());
    SetClipboardData(CF_DIB, GlobalAlloc(GHND, 64));
    SetClipboardData(RegisterClipboardFormatW(L"PNG"), GlobalAlloc(GHND, 64));
    CloseClipboard();
    PressCtrl('V');
    EXPECT_TRUE(TakeMessageBoxTexts().empty());
    EXPECT_TRUE(ReadLayer(g_canvas.ink) == picture);
}

TEST_F(MemoTest, EveryCommandThatReplacesTheMemoEndsTheStrokeInProgress) {
    g_choice = In(L"opened.bmp");
    WriteFileBytes(g_choice, MakeBmp(20, 20, Stripes));
    FillBitmapRect(g_canvas.ink, 0, 0, 20, 20, INK);
    PressCtrl('C');
    const ScopedImport dialog("comdlg32.dll", "GetOpenFileNameW",
                              reinterpret_cast<void*>(&ChooseTheChoice));
    const std::function<void()> commands[] = {
        [] { SendToMainWindow(WM_COMMAND, IDM_NEW); },
        [] { SendToMainWindow(WM_COMMAND, IDM_OPEN); },
        [] { SendToMainWindow(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({g_choice}))); },
        [] { PressCtrl('V'); }};
    for (const auto& replace : commands) {
        NewCanvas(); // unmodified: nothing is asked
        SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(300, 300));
        replace();
        const std::vector<std::uint32_t> replaced = ReadLayer(g_canvas.ink);
        SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(400, 350));
        SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(400, 350));
        EXPECT_TRUE(ReadLayer(g_canvas.ink) == replaced);
    }
}

} // namespace
