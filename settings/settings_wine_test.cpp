// The settings store through the real file APIs, and the Settings dialog opened by its command.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <string>
#include <vector>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "dialog_driver.h"
#include "image_writers.h"
#include "pen/palette_layout.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/settings.h"
#include "records/window_dpi.h"
#include "res/resource.h"
#include "settings/settings_codec.h"
#include "settings/settings_dialog.h"
#include "settings/settings_store.h"
#include "scoped_import.h"
#include "wine_app.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::wstring Desktop() {
    wchar_t path[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE);
    return path;
}

Bytes Utf16File(const std::wstring& text) {
    Bytes bytes = {0xFF, 0xFE};
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return bytes;
}

std::wstring DialogItemText(HWND dialog, int id) {
    wchar_t text[512] = L"";
    GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

void OpenSettingsDialog() {
    SendToMainWindow(WM_COMMAND, IDM_SETTINGS);
}

// Every test keeps its settings in a scratch folder of its own, standing in for the settings
// folder under the application-data folder.
class SettingsTest : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow(800, 600);
        root_ = MakeScratchFolder(L"inkwisp-settings-");
        folder_ = root_ + L"\\store";
        std::wcscpy(g_settings.settingsFolder, folder_.c_str());
        std::swprintf(g_settings.backgroundImagePath, SETTINGS_PATH_CAPACITY, L"%ls\\bak",
                      g_settings.settingsFolder);
        std::wcscpy(g_settings.saveFolder, Desktop().c_str());
        g_settings.backgroundEnabled = 0;
        g_pen = {RGB(0, 0, 0), 4, RGB(0, 0, 0), 4, RGB(0, 0, 0), 4};
        std::wcscpy(g_document.folder, g_settings.saveFolder);
        ResetBackgroundLayer();
    }

    void TearDown() override { RemoveTree(root_); }

    std::wstring SettingsFile() const { return folder_ + L"\\Settings.txt"; }

    std::wstring MakeFolder(const std::wstring& name) const {
        const std::wstring path = root_ + L"\\" + name;
        CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }

    void WriteSettingsFile(const Bytes& bytes) {
        CreateDirectoryW(folder_.c_str(), nullptr);
        WriteFileBytes(SettingsFile(), bytes);
    }

    std::wstring root_;
    std::wstring folder_;
};

TEST_F(SettingsTest, FolderIsNamedAfterTheExecutablesFolderUnderApplicationData) {
    wchar_t executable[MAX_PATH];
    GetModuleFileNameW(nullptr, executable, MAX_PATH);
    std::wstring path = executable;
    path.resize(path.rfind(L'\\'));
    const std::wstring name = path.substr(path.rfind(L'\\') + 1);
    wchar_t appData[MAX_PATH];
    SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE);

    ComputeSettingsFolder();
    EXPECT_EQ(std::wstring(g_settings.settingsFolder), std::wstring(appData) + L"\\" + name);
}

TEST_F(SettingsTest, SavedFileReadsBackIntoTheSettingsAndThePen) {
    const std::wstring saveFolder = MakeFolder(L"メモ 100%s");
    std::wcscpy(g_settings.saveFolder, saveFolder.c_str());
    g_settings.backgroundEnabled = 1;
    g_pen.startupWidth = 8;
    g_pen.startupColor = RGB(0xFF, 0x80, 0);
    g_pen.width = 16; // the pen in use is never stored
    g_pen.color = RGB(1, 2, 3);
    EXPECT_FALSE(FileExists(folder_));
    SaveSettings(); // makes the settings folder

    EXPECT_EQ(ReadFileBytes(SettingsFile()), Utf16File(saveFolder + L"\r\n1\r\n8\r\nFF8000\r\n"));
    EXPECT_EQ(FilesIn(folder_), std::vector<std::wstring>{L"Settings.txt"});

    std::wcscpy(g_settings.saveFolder, Desktop().c_str());
    g_settings.backgroundEnabled = 0;
    g_pen = {0, 4, 0, 4, 0, 4};
    LoadSettings();
    EXPECT_EQ(std::wstring(g_settings.saveFolder), saveFolder);
    EXPECT_EQ(g_settings.backgroundEnabled, 1);
    for (int width : {g_pen.width, g_pen.savedWidth, g_pen.startupWidth}) {
        EXPECT_EQ(width, 8);
    }
    for (PenColor color : {g_pen.color, g_pen.savedColor, g_pen.startupColor}) {
        EXPECT_EQ(color, static_cast<PenColor>(RGB(0xFF, 0x80, 0)));
    }
}

TEST_F(SettingsTest, ReadsOtherEncodingsAndOnlyThePresentLines) {
    const std::wstring saveFolder = MakeFolder(L"ノート");
    // UTF-8 with its mark: the folder, an empty line, the width; the colour line is missing.
    Bytes utf8 = {0xEF, 0xBB, 0xBF};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, saveFolder.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(size - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, saveFolder.c_str(), -1, &text[0], size, nullptr, nullptr);
    text += "\r\n\r\n-5\r\n";
    utf8.insert(utf8.end(), text.begin(), text.end());
    WriteSettingsFile(utf8);
    g_pen.color = g_pen.startupColor = RGB(9, 9, 9);
    LoadSettings();
    EXPECT_EQ(std::wstring(g_settings.saveFolder), saveFolder);
    EXPECT_EQ(g_settings.backgroundEnabled, 0);
    EXPECT_EQ(g_pen.width, -5);
    EXPECT_EQ(g_pen.startupWidth, -5);
    EXPECT_EQ(g_pen.startupColor, static_cast<PenColor>(RGB(9, 9, 9)));

    // Plain ASCII with LF: only its first line.
    const std::wstring other = MakeFolder(L"plain");
    std::string ascii(other.begin(), other.end());
    ascii += "\n";
    WriteSettingsFile(Bytes(ascii.begin(), ascii.end()));
    LoadSettings();
    EXPECT_EQ(std::wstring(g_settings.saveFolder), other);
    EXPECT_EQ(g_pen.width, -5);
}

TEST_F(SettingsTest, AHugeBinaryFileIsReadNoFurtherThanItsSettings) {
    std::string text = "C:\\\n5\n";
    text.append(4 << 20, '\xFF'); // a line of 4 MiB without end
    WriteSettingsFile(Bytes(text.begin(), text.end()));
    LoadSettings();
    EXPECT_EQ(std::wstring(g_settings.saveFolder), L"C:\\");
    EXPECT_EQ(g_settings.backgroundEnabled, 5);
    EXPECT_EQ(g_pen.width, 4);
}

TEST_F(SettingsTest, FilesThatCannotBeReadChangeNothing) {
    const std::wstring saveFolder = MakeFolder(L"kept");
    std::wcscpy(g_settings.saveFolder, saveFolder.c_str());
    g_settings.backgroundEnabled = 3;
    LoadSettings(); // no folder, no file
    WriteSettingsFile({0xFE, 0xFF, 0, 'C', 0, '\r', 0, '\n', 0, '1', 0, '\r', 0, '\n'});
    LoadSettings();
    WriteSettingsFile({});
    LoadSettings();
    WriteSettingsFile({0xFF, 0xFE});
    LoadSettings();
    DeleteFileW(SettingsFile().c_str());
    CreateDirectoryW(SettingsFile().c_str(), nullptr); // a folder by the file's name
    LoadSettings();
    EXPECT_EQ(std::wstring(g_settings.saveFolder), saveFolder);
    EXPECT_EQ(g_settings.backgroundEnabled, 3);
    EXPECT_EQ(g_pen.width, 4);
    EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0, 0, 0)));
}

TEST_F(SettingsTest, ASaveFolderThatIsNoFolderBecomesTheDesktop) {
    const std::wstring file = root_ + L"\\a file";
    WriteFileBytes(file, {'x'});
    for (const std::wstring& folder : {root_ + L"\\missing", file}) {
        WriteSettingsFile(Utf16File(folder + L"\r\n"));
        std::wcscpy(g_settings.saveFolder, L"C:\\");
        LoadSettings();
        EXPECT_EQ(std::wstring(g_settings.saveFolder), Desktop());

        std::wcscpy(g_settings.saveFolder, folder.c_str());
        SaveSettings();
        EXPECT_EQ(std::wstring(g_settings.saveFolder), Desktop());
        EXPECT_EQ(ReadFileBytes(SettingsFile()),
                  Utf16File(Desktop() + L"\r\n0\r\n4\r\n000000\r\n"));
    }
}

TEST_F(SettingsTest, ValuesOutsideTheUsualRangeAreKeptAsRead) {
    WriteSettingsFile(Utf16File(L"C:\\\r\n7\r\n0\r\nff0000\r\n"));
    LoadSettings();
    EXPECT_EQ(g_settings.backgroundEnabled, 7);
    EXPECT_EQ(g_pen.width, 0);
    EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0x1F, 0, 0)));
    SaveSettings();
    EXPECT_EQ(ReadFileBytes(SettingsFile()), Utf16File(L"C:\\\r\n7\r\n0\r\n1F0000\r\n"));
}

TEST_F(SettingsTest, AFailedSaveKeepsTheFileAndTheSettingsInMemory) {
    // The folder cannot be made (its parent is missing): nothing written, nothing changed.
    std::wcscpy(g_settings.settingsFolder, (root_ + L"\\no\\such").c_str());
    std::wcscpy(g_settings.saveFolder, (root_ + L"\\gone").c_str());
    SaveSettings();
    EXPECT_FALSE(FileExists(root_ + L"\\no"));
    EXPECT_EQ(std::wstring(g_settings.saveFolder), root_ + L"\\gone");

    // A new file cannot be made beside the old one: the old one stays as it was.
    std::wcscpy(g_settings.settingsFolder, folder_.c_str());
    const Bytes old = Utf16File(L"C:\\\r\n1\r\n8\r\nFF8000\r\n");
    WriteSettingsFile(old);
    const std::wstring temporary = L"\\~Inkwisp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(GetCurrentThreadId()) + L".tmp";
    CreateDirectoryW((folder_ + temporary).c_str(), nullptr);
    SaveSettings();
    EXPECT_EQ(ReadFileBytes(SettingsFile()), old);
    RemoveDirectoryW((folder_ + temporary).c_str());

    // The old one cannot be replaced: it stays, and no half-made file is left behind.
    SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_READONLY);
    SaveSettings();
    EXPECT_EQ(ReadFileBytes(SettingsFile()), old);
    EXPECT_EQ(FilesIn(folder_), std::vector<std::wstring>{L"Settings.txt"});
}

// The Settings dialog.

TEST_F(SettingsTest, DialogTemplateHasItsEightControlsInOrder) {
    const DialogTemplate dialog = ReadDialogTemplate(g_app.hinstance, IDD_SETTINGS);
    ASSERT_TRUE(dialog.found);
    ExpectProgramDialogFrame(dialog, L"Settings");

    const DWORD label = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
    const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    const DialogItemTemplate expected[] = {
        {label, 10, 50, 60, 10, -1, 0x82, L"保存パス"},
        {label, 10, 80, 60, 10, -1, 0x82, L"背景"},
        {label, 10, 130, 60, 10, -1, 0x82, L"起動時のペン"},
        {WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, 80, 50, 150, 15,
         IDC_SAVE_FOLDER, 0x81, L""},
        {button, 240, 50, 15, 15, IDC_BROWSE, 0x80, L"..."},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX, 80, 80, 50, 15, IDC_BACKGROUND, 0x80,
         L"背景画像"},
        {button, 130, 80, 50, 20, IDC_LOAD_BACKGROUND, 0x80, L"読込"},
        {button, 130, 130, 50, 20, IDC_CHANGE_PEN, 0x80, L"変更"},
    };
    ASSERT_EQ(dialog.items.size(), 8u);
    for (std::size_t i = 0; i < dialog.items.size(); ++i) {
        const DialogItemTemplate& item = dialog.items[i];
        const DialogItemTemplate& want = expected[i];
        EXPECT_EQ(item.style, want.style) << i;
        EXPECT_EQ(item.x, want.x) << i;
        EXPECT_EQ(item.y, want.y) << i;
        EXPECT_EQ(item.cx, want.cx) << i;
        EXPECT_EQ(item.cy, want.cy) << i;
        EXPECT_EQ(static_cast<short>(item.id), want.id) << i;
        EXPECT_EQ(item.classAtom, want.classAtom) << i;
        EXPECT_EQ(item.text, want.text) << i;
    }

    // Shown, the dialog puts the focus on the edit control.
    WhenDialogShows(WithCaption(L"Settings"), [](HWND shown) {
        EXPECT_EQ(GetFocus(), GetDlgItem(shown, IDC_SAVE_FOLDER));
        SendMessageW(shown, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenSettingsDialog);
}

TEST_F(SettingsTest, DialogShowsTheSaveFolderAndTheBackgroundFlag) {
    for (int enabled : {0, 1, 7, -1}) {
        g_settings.backgroundEnabled = enabled;
        WhenDialogShows(WithCaption(L"Settings"), [&](HWND dialog) {
            EXPECT_EQ(DialogItemText(dialog, IDC_SAVE_FOLDER), Desktop());
            // Every value but 0 means shown.
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BACKGROUND),
                      enabled != 0 ? static_cast<UINT>(BST_CHECKED) : BST_UNCHECKED);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        RunDialogs(OpenSettingsDialog);
    }
}

TEST_F(SettingsTest, CloseBoxStoresTheTypedFolderAndWritesTheFile) {
    const std::wstring typed = MakeFolder(L"typed %d");
    WhenDialogShows(WithCaption(L"Settings"), [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_SAVE_FOLDER, typed.c_str());
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(std::wstring(g_settings.saveFolder), typed);
    EXPECT_EQ(std::wstring(g_document.folder), Desktop());
    EXPECT_EQ(ReadFileBytes(SettingsFile()), Utf16File(typed + L"\r\n0\r\n4\r\n000000\r\n"));
}

TEST_F(SettingsTest, EscapeAndEnterDropTheTypedFolderAndWriteNothing) {
    for (int key : {IDCANCEL, IDOK}) {
        WhenDialogShows(WithCaption(L"Settings"), [&](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_SAVE_FOLDER, root_.c_str());
            SendMessageW(dialog, WM_COMMAND, key, 0);
        });
        RunDialogs(OpenSettingsDialog);
        EXPECT_EQ(std::wstring(g_settings.saveFolder), Desktop());
        EXPECT_FALSE(FileExists(SettingsFile()));
    }
}

TEST_F(SettingsTest, SwitchingTheBackgroundOffClearsTheLayerAndKeepsBak) {
    CreateDirectoryW(folder_.c_str(), nullptr);
    WriteFileBytes(g_settings.backgroundImagePath, {'k', 'e', 'p', 't'});
    g_settings.backgroundEnabled = 1;
    FillBitmap(g_canvas.background, RGB(10, 20, 30));
    WhenDialogShows(WithCaption(L"Settings"), [](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, IDC_BACKGROUND, 0);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BACKGROUND), static_cast<UINT>(BST_UNCHECKED));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(g_settings.backgroundEnabled, 0);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.background, 5, 5), RGB(255, 255, 255));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.background, 2047, 2047), RGB(255, 255, 255));
    EXPECT_EQ(ReadFileBytes(g_settings.backgroundImagePath), (Bytes{'k', 'e', 'p', 't'}));
}

// The pen button's top-left corner (bx, by) in the dialog's client area.
POINT PenButtonCorner(HWND dialog) {
    RECT button;
    GetWindowRect(GetDlgItem(dialog, IDC_CHANGE_PEN), &button);
    POINT corner = {button.left, button.top};
    ScreenToClient(dialog, &corner);
    return corner;
}

// The sample stroke runs from (bx - 80, by) to (bx - 40, by + 33) before the pen button's corner.
COLORREF SampleStrokeMiddle(HWND dialog) {
    const POINT corner = PenButtonCorner(dialog);
    return ReadWindowPixel(dialog, corner.x - 60, corner.y + 16);
}

TEST_F(SettingsTest, SampleStrokeShowsTheStartupPen) {
    g_pen.startupColor = RGB(0, 0x80, 0);
    g_pen.startupWidth = 6;
    g_pen.color = RGB(0xFF, 0, 0);
    COLORREF middle = 0;
    COLORREF beside = 0;
    COLORREF beyond = 0;
    int freeBefore = 0;
    int freeAfter = 0;
    WhenDialogShows(WithCaption(L"Settings"), [&](HWND dialog) {
        middle = SampleStrokeMiddle(dialog);
        const POINT corner = PenButtonCorner(dialog);
        beside = ReadWindowPixel(dialog, corner.x - 60, corner.y + 30);
        beyond = ReadWindowPixel(dialog, corner.x - 30, corner.y + 33);
        // Each paint releases its pen.
        RepaintCountingGdiHandles(dialog, freeBefore, freeAfter);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_GT(freeBefore, 0);
    EXPECT_EQ(freeAfter, freeBefore);
    EXPECT_EQ(middle, RGB(0, 0x80, 0));
    EXPECT_EQ(beside, GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(beyond, GetSysColor(COLOR_3DFACE));
}

// At 200 % (the 192-DPI prefix) the button stands twice as far in, and the stroke before it is
// twice as long, as far off and as wide: from (bx - 160, by) to (bx - 80, by + 66), 12 pixels.
TEST_F(SettingsTest, At192DpiTheSampleStrokeIsTwiceItsSize) {
    g_pen.startupColor = RGB(0, 0x80, 0);
    g_pen.startupWidth = 6;
    ASSERT_EQ(WindowDpi(g_app.hwnd), 192) << "not run in the 192-DPI prefix";
    WhenDialogShows(WithCaption(L"Settings"), [](HWND dialog) {
        const POINT corner = PenButtonCorner(dialog);
        EXPECT_EQ(ReadWindowPixel(dialog, corner.x - 120, corner.y + 33), RGB(0, 0x80, 0));
        // The end cap reaches half the width right of the end.
        EXPECT_NEAR(CountColorToTheRight(dialog, corner.x - 80, corner.y + 66, RGB(0, 0x80, 0)), 6,
                    1);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenSettingsDialog);
}

TEST_F(SettingsTest, ChangePenTakesThePenDialogsChoiceAsStartupPen) {
    g_pen.startupColor = RGB(0, 0, 0xFF);
    g_pen.startupWidth = 6;
    g_pen.color = RGB(0xFF, 0, 0);
    g_pen.width = 2;
    COLORREF before = 0;
    COLORREF after = 0;
    WhenDialogShows(WithCaption(L"Settings"), [&](HWND settings) {
        before = SampleStrokeMiddle(settings);
        WhenDialogShows(WithCaption(L"Pen"), [settings](HWND pen) {
            EXPECT_EQ(GetWindow(pen, GW_OWNER), settings);
            // The Pen dialog starts from the start-up pen.
            EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0, 0, 0xFF)));
            EXPECT_EQ(g_pen.width, 6);
            const SIZE size = ClientSize(pen);
            const PenDialogLayout layout = ComputePenDialogLayout(size.cx, size.cy, WindowDpi(pen));
            ClickAt(pen, layout.paletteWidth * 11 / 18, layout.height * 5 / 14); // FFFF00
            ClickAt(pen, layout.paletteWidth + 10, layout.bandHeight * 3 + 2);   // 16
        });
        SendMessageW(settings, WM_COMMAND, IDC_CHANGE_PEN, 0);
        UpdateWindow(settings);
        after = SampleStrokeMiddle(settings);
        SendMessageW(settings, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(before, RGB(0, 0, 0xFF));
    EXPECT_EQ(after, RGB(0xFF, 0xFF, 0));
    EXPECT_EQ(g_pen.startupColor, static_cast<PenColor>(RGB(0xFF, 0xFF, 0)));
    EXPECT_EQ(g_pen.startupWidth, 16);
    EXPECT_EQ(g_pen.color, g_pen.startupColor);
    EXPECT_EQ(g_pen.width, 16);
    EXPECT_FALSE(FileExists(SettingsFile()));
}

TEST_F(SettingsTest, ChangePenWithoutAChoiceLeavesTheStartupPenInUse) {
    g_pen.startupColor = RGB(0x40, 0x40, 0x40);
    g_pen.startupWidth = 4;
    g_pen.color = RGB(0xFF, 0, 0);
    g_pen.width = 32;
    WhenDialogShows(WithCaption(L"Settings"), [](HWND settings) {
        WhenDialogShows(WithCaption(L"Pen"),
                        [](HWND pen) { SendMessageW(pen, WM_COMMAND, IDCANCEL, 0); });
        SendMessageW(settings, WM_COMMAND, IDC_CHANGE_PEN, 0);
        SendMessageW(settings, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0x40, 0x40, 0x40)));
    EXPECT_EQ(g_pen.width, 4);
    EXPECT_EQ(g_pen.startupColor, static_cast<PenColor>(RGB(0x40, 0x40, 0x40)));
}

// Widths are kept as read, however odd: drawing with them, in a stroke or in the dialog's sample,
// must do no harm, and they are written back unchanged.
TEST_F(SettingsTest, ExtremeStartupWidthsDrawWithoutHarm) {
    for (int width : {0, -5, 1000, INT_MAX, INT_MIN}) {
        const Bytes file = Utf16File(L"C:\\\r\n0\r\n" + std::to_wstring(width) + L"\r\n000000\r\n");
        WriteSettingsFile(file);
        LoadSettings();
        ASSERT_EQ(g_pen.width, width);
        SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(10, 10));
        SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(50, 50));
        SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(60, 60));
        WhenDialogShows(WithCaption(L"Settings"), [](HWND dialog) {
            InvalidateRect(dialog, nullptr, TRUE);
            UpdateWindow(dialog);
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        });
        RunDialogs(OpenSettingsDialog);
        EXPECT_EQ(ReadFileBytes(SettingsFile()), file) << width;
    }
    EXPECT_TRUE(IsWindow(g_app.hwnd));
    g_document.modified = 0;
}

// The background image.

constexpr int FILE_NAME_BOX = 0x47C; // cmb13, the open-file dialog's file name

// A PNG file of one colour.
void WritePng(const std::wstring& path, int width, int height, COLORREF color) {
    WriteFileBytes(path, MakePng(width, height, [color](int, int) { return color; }));
}

// The open-file dialog, owned by the main window, answered with a file or cancelled.
void AnswerFileDialog(const std::wstring& path) {
    WhenDialogShows(WithCaption(L"開く"), [path](HWND files) {
        EXPECT_EQ(GetWindow(files, GW_OWNER), g_app.hwnd);
        if (path.empty()) {
            SendMessageW(files, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        SetDlgItemTextW(files, FILE_NAME_BOX, path.c_str());
        SendMessageW(files, WM_COMMAND, IDOK, 0);
    });
}

UINT BackgroundBox(HWND settings) {
    return IsDlgButtonChecked(settings, IDC_BACKGROUND);
}

void ClickInSettings(HWND settings, int id) {
    SendMessageW(settings, WM_COMMAND, id, 0);
}

COLORREF Background(int x, int y) {
    return ReadBitmapPixel(g_canvas.background, x, y);
}

// On a fresh profile: no settings folder yet.
TEST_F(SettingsTest, SwitchingOnFirstAsksForAnImageAndKeepsItAsBak) {
    const std::wstring image = root_ + L"\\blue 100%.png";
    WritePng(image, 100, 80, RGB(0, 0, 0xFF));
    const Bytes blue = ReadFileBytes(image);
    WhenDialogShows(WithCaption(L"Settings"), [&](HWND settings) {
        AnswerFileDialog(image);
        ClickInSettings(settings, IDC_BACKGROUND);
        EXPECT_EQ(BackgroundBox(settings), static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(g_settings.backgroundEnabled, 1);
        EXPECT_EQ(Background(10, 10), RGB(0, 0, 0xFF));
        EXPECT_EQ(Background(99, 79), RGB(0, 0, 0xFF));
        EXPECT_EQ(Background(100, 10), RGB(255, 255, 255));
        EXPECT_EQ(ReadFileBytes(g_settings.backgroundImagePath), ReadFileBytes(image));

        // Off clears the layer and keeps bak; on again takes bak without asking.
        ClickInSettings(settings, IDC_BACKGROUND);
        EXPECT_EQ(BackgroundBox(settings), static_cast<UINT>(BST_UNCHECKED));
        EXPECT_EQ(g_settings.backgroundEnabled, 0);
        EXPECT_EQ(Background(10, 10), RGB(255, 255, 255));
        EXPECT_TRUE(FileExists(g_settings.backgroundImagePath));
        DeleteFileW(image.c_str());
        ClickInSettings(settings, IDC_BACKGROUND);
        EXPECT_EQ(BackgroundBox(settings), static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(g_settings.backgroundEnabled, 1);
        EXPECT_EQ(Background(10, 10), RGB(0, 0, 0xFF));

        // bak itself chosen again stays, and so does the background.
        AnswerFileDialog(g_settings.backgroundImagePath);
        ClickInSettings(settings, IDC_LOAD_BACKGROUND);
        EXPECT_EQ(BackgroundBox(settings), static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(ReadFileBytes(g_settings.backgroundImagePath), blue);
        ClickInSettings(settings, IDCANCEL);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(g_settings.backgroundEnabled, 1);
    // Left with Escape, the switch is stored all the same; the save folder as it was.
    EXPECT_EQ(ReadFileBytes(SettingsFile()), Utf16File(Desktop() + L"\r\n1\r\n4\r\n000000\r\n"));
}

TEST_F(SettingsTest, WithoutASettingsFolderNoBackgroundIsAskedForOrCopied) {
    ComputeBackgroundImagePath();
    EXPECT_EQ(std::wstring(g_settings.backgroundImagePath), folder_ + L"\\bak");
    for (const std::wstring& folder : {std::wstring(), std::wstring(252, L'x')}) {
        std::wcscpy(g_settings.settingsFolder, folder.c_str());
        ComputeBackgroundImagePath();
        EXPECT_STREQ(g_settings.backgroundImagePath, L"");
    }
    // No file dialog may open: one left open fails the test.
    WhenDialogShows(WithCaption(L"Settings"), [&](HWND settings) {
        ClickInSettings(settings, IDC_BACKGROUND);
        ClickInSettings(settings, IDC_LOAD_BACKGROUND);
        EXPECT_EQ(BackgroundBox(settings), static_cast<UINT>(BST_UNCHECKED));
        ClickInSettings(settings, IDCANCEL);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(g_settings.backgroundEnabled, 0);
}

// A desktop path longer than the save folder holds is given in its short form, never cut.
TEST_F(SettingsTest, ALongDesktopPathIsReadInItsShortForm) {
    const wchar_t* key =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const std::wstring before = Desktop();
    // 257 characters: more than the save folder holds, as many as the look-up gives.
    std::wstring desktop = root_;
    while (desktop.size() < 257) {
        desktop += L"\\" + std::wstring(std::min<std::size_t>(40, 256 - desktop.size()), L'd');
        CreateDirectoryW((L"\\\\?\\" + desktop).c_str(), nullptr);
    }
    ASSERT_EQ(desktop.size(), 257u);
    HKEY folders;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &folders), ERROR_SUCCESS);
    wchar_t old[MAX_PATH] = L"";
    DWORD oldSize = sizeof(old);
    DWORD type = REG_EXPAND_SZ;
    RegQueryValueExW(folders, L"Desktop", nullptr, &type, reinterpret_cast<BYTE*>(old), &oldSize);
    RegSetValueExW(folders, L"Desktop", 0, REG_EXPAND_SZ,
                   reinterpret_cast<const BYTE*>(desktop.c_str()),
                   static_cast<DWORD>((desktop.size() + 1) * sizeof(wchar_t)));

    wchar_t folder[SETTINGS_PATH_CAPACITY + 8];
    std::fill(folder, folder + SETTINGS_PATH_CAPACITY + 8, L'#');
    ReadDesktopFolder(folder);
    RegSetValueExW(folders, L"Desktop", 0, type, reinterpret_cast<const BYTE*>(old), oldSize);
    RegCloseKey(folders);

    EXPECT_EQ(folder[SETTINGS_PATH_CAPACITY], L'#'); // nothing written past the buffer
    wchar_t longForm[1024] = L"";
    GetLongPathNameW(folder, longForm, 1024);
    EXPECT_EQ(std::wstring(longForm), desktop) << folder;
    EXPECT_EQ(Desktop(), before);
}

TEST_F(SettingsTest, ACancelledChoiceLeavesTheBackgroundOff) {
    WhenDialogShows(WithCaption(L"Settings"), [](HWND settings) {
        UpdateWindow(g_app.hwnd);
        AnswerFileDialog(std::wstring()); // cancelled
        ClickInSettings(settings, IDC_BACKGROUND);
        EXPECT_EQ(BackgroundBox(settings), static_cast<UINT>(BST_UNCHECKED));
        // The main window is to be painted anew all the same.
        EXPECT_TRUE(GetUpdateRect(g_app.hwnd, nullptr, FALSE));
        ClickInSettings(settings, IDCANCEL);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(g_settings.backgroundEnabled, 0);
    EXPECT_FALSE(FileExists(g_settings.backgroundImagePath));
}

TEST_F(SettingsTest, AnImageThatCannotBeReadSwitchesOffAndLeavesTheLayer) {
    const std::wstring broken = root_ + L"\\broken.png";
    WriteFileBytes(broken, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    CreateDirectoryW(folder_.c_str(), nullptr);
    WriteFileBytes(g_settings.backgroundImagePath, {'o', 'l', 'd'});
    g_settings.backgroundEnabled = 1;
    FillBitmap(g_canvas.background, RGB(0, 0x80, 0));
    WhenDialogShows(WithCaption(L"Settings"), [&](HWND settings) {
        AnswerFileDialog(broken);
        ClickInSettings(settings, IDC_LOAD_BACKGROUND);
        EXPECT_EQ(BackgroundBox(settings), static_cast<UINT>(BST_UNCHECKED));
        ClickInSettings(settings, IDCANCEL);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(g_settings.backgroundEnabled, 0);
    EXPECT_EQ(Background(10, 10), RGB(0, 0x80, 0));
    EXPECT_EQ(ReadFileBytes(g_settings.backgroundImagePath), (Bytes{'o', 'l', 'd'}));
}

TEST_F(SettingsTest, ASmallerImageLiesOverTheLargerUntilNew) {
    const std::wstring large = root_ + L"\\large.png";
    const std::wstring small = root_ + L"\\small.png";
    WritePng(large, 200, 200, RGB(0, 0, 0xFF));
    WritePng(small, 50, 50, RGB(0xFF, 0, 0));
    CreateDirectoryW(folder_.c_str(), nullptr);
    WhenDialogShows(WithCaption(L"Settings"), [&](HWND settings) {
        AnswerFileDialog(large);
        ClickInSettings(settings, IDC_LOAD_BACKGROUND);
        AnswerFileDialog(small);
        ClickInSettings(settings, IDC_LOAD_BACKGROUND);
        EXPECT_EQ(BackgroundBox(settings), static_cast<UINT>(BST_CHECKED));
        ClickInSettings(settings, IDCANCEL);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(g_settings.backgroundEnabled, 1);
    EXPECT_EQ(Background(10, 10), RGB(0xFF, 0, 0));
    EXPECT_EQ(Background(100, 100), RGB(0, 0, 0xFF));
    EXPECT_EQ(ReadFileBytes(g_settings.backgroundImagePath), ReadFileBytes(small));

    SendToMainWindow(WM_COMMAND, IDM_NEW);
    EXPECT_EQ(Background(10, 10), RGB(0xFF, 0, 0));
    EXPECT_EQ(Background(100, 100), RGB(255, 255, 255));
}

TEST_F(SettingsTest, AFailedCopyToBakSwitchesTheBackgroundOffAndKeepsTheOldCopyWhole) {
    const std::wstring image = root_ + L"\\blue.png";
    WritePng(image, 60, 60, RGB(0, 0, 0xFF));
    CreateDirectoryW(folder_.c_str(), nullptr);
    const Bytes old = {'o', 'l', 'd'};
    // bak cannot be written: a folder is in its place, or the disk cannot flush the new copy.
    for (const bool flushFails : {false, true}) {
        if (flushFails) {
            RemoveDirectoryW(g_settings.backgroundImagePath);
            WriteFileBytes(g_settings.backgroundImagePath, old);
        } else {
            CreateDirectoryW(g_settings.backgroundImagePath, nullptr);
        }
        const ScopedImport noFlush(
            "kernel32.dll", "FlushFileBuffers",
            flushFails ? reinterpret_cast<void*>(&Answer<BOOL, FALSE, HANDLE>)
                       : SystemFunction<void*>(L"kernel32.dll", "FlushFileBuffers"));
        WhenDialogShows(WithCaption(L"Settings"), [&](HWND settings) {
            AnswerFileDialog(image);
            ClickInSettings(settings, IDC_LOAD_BACKGROUND);
            EXPECT_EQ(BackgroundBox(settings), static_cast<UINT>(BST_UNCHECKED));
            ClickInSettings(settings, IDCANCEL);
        });
        RunDialogs(OpenSettingsDialog);
        // What is shown now is what a restart would show: no background.
        EXPECT_EQ(g_settings.backgroundEnabled, 0);
        EXPECT_EQ(Background(10, 10), RGB(255, 255, 255));
        EXPECT_EQ(ReadFileBytes(g_settings.backgroundImagePath) == old, flushFails);
    }
}

// Memory runs out for all but small blocks: the runtime's own (a lock, the exception) still come.
void* __cdecl OnlySmallBlocks(size_t size) {
    return size >= 512 ? nullptr
                       : SystemFunction<void*(__cdecl*)(size_t)>(L"msvcrt.dll", "malloc")(size);
}

TEST_F(SettingsTest, AMessageThatRunsOutOfMemoryIsDroppedAndTheDialogGoesOn) {
    // The save of a long folder's path needs a larger block.
    const std::wstring folder = MakeFolder(std::wstring(250 - root_.size(), L'f'));
    std::wcscpy(g_settings.saveFolder, folder.c_str());
    g_settings.backgroundEnabled = 1;
    WhenDialogShows(WithCaption(L"Settings"), [](HWND settings) {
        const ScopedImport noMemory("msvcrt.dll", "malloc",
                                    reinterpret_cast<void*>(&OnlySmallBlocks));
        ClickInSettings(settings, IDC_BACKGROUND); // switched off; storing that throws
    });
    WhenDialogShows(WithCaption(L"Settings"), [](HWND settings) {
        EXPECT_EQ(BackgroundBox(settings), static_cast<UINT>(BST_UNCHECKED));
        ClickInSettings(settings, IDCANCEL);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_TRUE(IsWindowEnabled(g_app.hwnd));
    EXPECT_FALSE(FileExists(SettingsFile()));
}

std::wstring SelectedFolderName(HWND browser) {
    HWND tree = FindWindowExW(browser, nullptr, WC_TREEVIEWW, nullptr);
    wchar_t text[MAX_PATH] = L"";
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetSelection(tree);
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    TreeView_GetItem(tree, &item);
    return text;
}

// The folder browser is steered as a user would: a folder is selected in it, then `button`.
// Each folder in the browser's tree keeps the last-write time it had when the tree read it; when
// another test changes a folder on the way (the shared temp folder) while the tree opens, this
// tree never finds the folder. That browser is cancelled and a new one reads the folders again.
void ChooseInBrowser(HWND settings, const std::wstring& folder, int button) {
    const std::wstring name = folder.substr(folder.rfind(L'\\') + 1);
    bool selected = false;
    for (int browsers = 0; browsers < 10 && !selected; ++browsers) {
        WhenDialogShows(OwnedBy(settings), [&](HWND browser) {
            SendMessageW(browser, BFFM_SETSELECTIONW, TRUE,
                         reinterpret_cast<LPARAM>(folder.c_str()));
            selected = SelectedFolderName(browser) == name;
            SendMessageW(browser, WM_COMMAND, selected ? button : IDCANCEL, 0);
        });
        SendMessageW(settings, WM_COMMAND, IDC_BROWSE, 0);
    }
    EXPECT_TRUE(selected) << "no browser found " << testing::PrintToString(folder);
}

TEST_F(SettingsTest, BrowsedFolderBecomesTheSaveFolderAndTheUntitledMemosFolder) {
    const std::wstring chosen = MakeFolder(L"100% chosen");
    std::wstring shown;
    WhenDialogShows(WithCaption(L"Settings"), [&](HWND settings) {
        ChooseInBrowser(settings, chosen, IDOK);
        shown = DialogItemText(settings, IDC_SAVE_FOLDER);
        SendMessageW(settings, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(std::wstring(g_settings.saveFolder), chosen);
    EXPECT_EQ(shown, chosen);
    EXPECT_EQ(std::wstring(g_document.folder), chosen);
    EXPECT_FALSE(FileExists(SettingsFile()));
}

TEST_F(SettingsTest, BrowsingLeavesTheFolderOfAMemoOpenedElsewhere) {
    const std::wstring chosen = MakeFolder(L"chosen");
    const std::wstring opened = MakeFolder(L"opened");
    std::wcscpy(g_document.folder, opened.c_str());
    WhenDialogShows(WithCaption(L"Settings"), [&](HWND settings) {
        ChooseInBrowser(settings, chosen, IDOK);
        SendMessageW(settings, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(std::wstring(g_settings.saveFolder), chosen);
    EXPECT_EQ(std::wstring(g_document.folder), opened);
}

TEST_F(SettingsTest, CancelledBrowsingChangesNothing) {
    const std::wstring chosen = MakeFolder(L"not taken");
    WhenDialogShows(WithCaption(L"Settings"), [&](HWND settings) {
        ChooseInBrowser(settings, chosen, IDCANCEL);
        EXPECT_EQ(DialogItemText(settings, IDC_SAVE_FOLDER), Desktop());
        SendMessageW(settings, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenSettingsDialog);
    EXPECT_EQ(std::wstring(g_settings.saveFolder), Desktop());
    EXPECT_EQ(std::wstring(g_document.folder), Desktop());
}

std::wstring g_browserTitle;

PIDLIST_ABSOLUTE WINAPI RecordBrowserTitle(LPBROWSEINFOW info) {
    g_browserTitle = info->lpszTitle != nullptr ? info->lpszTitle : L"(none)";
    return nullptr;
}

TEST_F(SettingsTest, TheFolderBrowserAsksForAFolderInJapanese) {
    ScopedImport browser("shell32.dll", "SHBrowseForFolderW",
                         reinterpret_cast<void*>(&RecordBrowserTitle));
    ASSERT_NE(browser.previous_, nullptr);
    wchar_t chosen[MAX_PATH] = L"";
    EXPECT_EQ(ChooseFolder(g_app.hwnd, chosen), 0);
    EXPECT_EQ(g_browserTitle, L"フォルダの選択");
}

} // namespace
