#include "settings/settings_dialog.h"

#include <cwchar>
#include <exception>
#include <string>

#include <shlobj.h>

#include "canvas/layer_replacement.h"
#include "memo/memo_files.h"
#include "pen/pen_dialog.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/dpi_scale.h"
#include "records/durable_file.h"
#include "records/scoped_gdi.h"
#include "records/settings.h"
#include "records/window_dpi.h"
#include "res/resource.h"
#include "settings/settings_store.h"

namespace {

INT_PTR OnInitDialog(HWND dialog) {
    SetDlgItemTextW(dialog, IDC_SAVE_FOLDER, g_settings.saveFolder);
    // A hand-edited file may give any value; every value but 0 means the background is shown.
    CheckDlgButton(dialog, IDC_BACKGROUND,
                   g_settings.backgroundEnabled != 0 ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

INT_PTR OnPaint(HWND dialog) {
    RECT button;
    GetWindowRect(GetDlgItem(dialog, IDC_CHANGE_PEN), &button);
    POINT corner = {button.left, button.top};
    ScreenToClient(dialog, &corner);
    // The button grows with the dialog's DPI, and the stroke beside it with it: its offsets and
    // the pen's width are 96-DPI units here, read at every paint so that a moved dialog follows.
    const int dpi = WindowDpi(dialog);
    ScopedPaintDC paint(dialog);
    ScopedGdiObject<HPEN> pen(
        CreatePen(PS_SOLID, UnitsToPixels(g_pen.startupWidth, dpi), g_pen.startupColor));
    ScopedSelect selected(paint, pen);
    MoveToEx(paint, corner.x - UnitsToPixels(80, dpi), corner.y, nullptr);
    LineTo(paint, corner.x - UnitsToPixels(40, dpi), corner.y + UnitsToPixels(33, dpi));
    return FALSE;
}

INT_PTR OnClose(HWND dialog) {
    // Typed text too long for the save folder would be cut into another folder: the old one stays.
    if (GetWindowTextLengthW(GetDlgItem(dialog, IDC_SAVE_FOLDER)) < SETTINGS_PATH_CAPACITY) {
        GetDlgItemTextW(dialog, IDC_SAVE_FOLDER, g_settings.saveFolder, SETTINGS_PATH_CAPACITY);
    }
    SaveSettings();
    return FALSE;
}

void SetBackground(HWND dialog, int enabled) {
    CheckDlgButton(dialog, IDC_BACKGROUND, enabled != 0 ? BST_CHECKED : BST_UNCHECKED);
    g_settings.backgroundEnabled = enabled;
}

// True when both paths name one existing file, however they are spelt.
bool IsSameFile(const wchar_t* first, const wchar_t* second) {
    BY_HANDLE_FILE_INFORMATION info[2] = {};
    const wchar_t* paths[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        HANDLE file =
            CreateFileW(paths[i], 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        const BOOL read = GetFileInformationByHandle(file, &info[i]);
        CloseHandle(file);
        if (!read) {
            return false;
        }
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
           info[0].nFileIndexLow == info[1].nFileIndexLow;
}

// bak is replaced as every file the program keeps is: a death half-way leaves the old copy whole.
bool CopyToBak(const wchar_t* chosen) {
    return CopyFileDurably(chosen, g_settings.backgroundImagePath);
}

// The background is kept only as its copy bak: if the copy fails, the background is switched off
// at once, so that what the user sees now is what the next start and New show. The settings
// folder does not exist before the first settings are written; it is made as SaveSettings makes
// it. bak chosen again is kept as it is.
void KeepChosenBackground(HWND dialog, const wchar_t* chosen) {
    CreateDirectoryW(g_settings.settingsFolder, nullptr);
    if (IsSameFile(chosen, g_settings.backgroundImagePath) || CopyToBak(chosen)) {
        SetBackground(dialog, 1);
    } else {
        SetBackground(dialog, 0);
        ResetBackgroundLayer();
    }
}

void LoadChosenBackground(HWND dialog, const wchar_t* chosen) {
    if (LoadImageIntoLayer(chosen, Layer::Background) == 1) {
        KeepChosenBackground(dialog, chosen);
    } else {
        SetBackground(dialog, 0);
    }
}

// Without a settings folder there is nowhere to keep a background: it cannot be switched on.
bool CanKeepBackground() {
    return g_settings.backgroundImagePath[0] != L'\0';
}

void SwitchBackground(HWND dialog) {
    if (IsDlgButtonChecked(dialog, IDC_BACKGROUND) != BST_UNCHECKED) {
        SetBackground(dialog, 0);
        ResetBackgroundLayer();
    } else if (GetFileAttributesW(g_settings.backgroundImagePath) != INVALID_FILE_ATTRIBUTES) {
        SetBackground(
            dialog,
            LoadImageIntoLayer(g_settings.backgroundImagePath, Layer::Background) == 1 ? 1 : 0);
    } else if (CanKeepBackground()) {
        wchar_t chosen[PATH_BUFFER_CAPACITY];
        if (ChooseImageFile(chosen) == 1) {
            LoadChosenBackground(dialog, chosen);
        }
    }
    InvalidateRect(g_app.hwnd, nullptr, TRUE);
}

void ReplaceBackground(HWND dialog) {
    wchar_t chosen[PATH_BUFFER_CAPACITY];
    if (CanKeepBackground() && ChooseImageFile(chosen) == 1) {
        LoadChosenBackground(dialog, chosen);
    }
}

void BrowseSaveFolder(HWND dialog) {
    wchar_t chosen[PATH_BUFFER_CAPACITY];
    // A longer path does not fit the save folder, and cut short it would name another folder.
    if (ChooseFolder(dialog, chosen) != 1 || std::wcslen(chosen) >= SETTINGS_PATH_CAPACITY) {
        return;
    }
    const bool documentFollows = std::wcscmp(g_settings.saveFolder, g_document.folder) == 0;
    CopyText(g_settings.saveFolder, SETTINGS_PATH_CAPACITY, chosen);
    SetDlgItemTextW(dialog, IDC_SAVE_FOLDER, g_settings.saveFolder);
    if (documentFollows) {
        CopyText(g_document.folder, FOLDER_CAPACITY, g_settings.saveFolder);
    }
}

void ChangeStartupPen(HWND dialog) {
    g_pen.color = g_pen.startupColor;
    g_pen.width = g_pen.startupWidth;
    ShowPenDialog(dialog);
    g_pen.startupColor = g_pen.color;
    g_pen.startupWidth = g_pen.width;
    InvalidateRect(dialog, nullptr, TRUE);
}

// The background is stored as soon as it is switched: Escape and Enter leave the dialog without
// saving, and a chosen background must come back at the next start all the same.
void StoreBackgroundSwitch(int before) {
    if (g_settings.backgroundEnabled != before) {
        SaveSettings();
    }
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    const int background = g_settings.backgroundEnabled;
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL: EndDialog(dialog, LOWORD(wParam)); return TRUE;
    case IDC_BACKGROUND:
        SwitchBackground(dialog);
        StoreBackgroundSwitch(background);
        break;
    case IDC_BROWSE: BrowseSaveFolder(dialog); break;
    case IDC_LOAD_BACKGROUND:
        ReplaceBackground(dialog);
        StoreBackgroundSwitch(background);
        break;
    case IDC_CHANGE_PEN: ChangeStartupPen(dialog); break;
    }
    return FALSE;
}

INT_PTR HandleSettingsMessage(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_PAINT: return OnPaint(dialog);
    case WM_CLOSE: return OnClose(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    }
    return FALSE;
}

} // namespace

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    // As in the main window's procedure: an exception cannot pass back through the system's code.
    // Only memory that runs out throws here; that message's work is dropped and the dialog goes on.
    try {
        return HandleSettingsMessage(dialog, message, wParam);
    } catch (const std::exception&) {
        return FALSE;
    }
}

int ChooseFolder(HWND owner, wchar_t* buffer) {
    const std::wstring title = LoadText(IDS_CHOOSE_FOLDER);
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = buffer;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (chosen == nullptr) {
        return 0;
    }
    const int result = SHGetPathFromIDListW(chosen, buffer) ? 1 : 0;
    CoTaskMemFree(chosen);
    return result;
}
