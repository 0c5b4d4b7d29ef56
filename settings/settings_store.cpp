#include "settings/settings_store.h"

#include <windows.h>

#include <shlobj.h>

#include <cwchar>
#include <string>
#include <vector>

#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/durable_file.h"
#include "records/settings.h"
#include "settings/settings_codec.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

namespace {

std::u16string ToText(const wchar_t* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

const wchar_t* AsWide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::wstring SettingsFilePath() {
    return std::wstring(g_settings.settingsFolder) + L"\\Settings.txt";
}

bool IsDirectory(const wchar_t* path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void KeepSaveFolderExisting() {
    if (!IsDirectory(g_settings.saveFolder)) {
        ReadDesktopFolder(g_settings.saveFolder);
    }
}

// The file's first bytes, as many as a settings file can sensibly hold; false if it cannot be
// opened (it may also have gone since it was looked for).
bool ReadFileStart(const std::wstring& path, std::vector<unsigned char>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bytes.resize(SETTINGS_READ_LIMIT);
    std::size_t total = 0;
    DWORD read = 0;
    while (total < bytes.size() &&
           ReadFile(file, bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &read,
                    nullptr) &&
           read > 0) {
        total += read;
    }
    bytes.resize(total);
    CloseHandle(file);
    return true;
}

void ApplyPresentSettings(const PresentSettings& present) {
    if (present.saveFolder) {
        CopyText(g_settings.saveFolder, SETTINGS_PATH_CAPACITY, AsWide(*present.saveFolder));
        KeepSaveFolderExisting();
    }
    if (present.backgroundEnabled) {
        g_settings.backgroundEnabled = *present.backgroundEnabled;
    }
    if (present.startupWidth) {
        g_pen.width = g_pen.startupWidth = g_pen.savedWidth = *present.startupWidth;
    }
    if (present.startupColor) {
        g_pen.color = g_pen.startupColor = g_pen.savedColor = *present.startupColor;
    }
}

} // namespace

void ComputeSettingsFolder() {
    wchar_t appData[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(g_app.hwnd, appData, CSIDL_APPDATA, FALSE);
    CopyText(g_settings.settingsFolder, SETTINGS_PATH_CAPACITY,
             AsWide(ComposeSettingsFolder(ToText(appData), ToText(ExecutablePath().c_str()))));
}

void ComputeBackgroundImagePath() {
    const std::wstring path = std::wstring(g_settings.settingsFolder) + L"\\bak";
    g_settings.backgroundImagePath[0] = L'\0';
    if (g_settings.settingsFolder[0] != L'\0' && path.size() < SETTINGS_PATH_CAPACITY) {
        CopyText(g_settings.backgroundImagePath, SETTINGS_PATH_CAPACITY, path.c_str());
    }
}

void ReadDesktopFolder(wchar_t* folder) {
    wchar_t desktop[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(g_app.hwnd, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    if (std::wcslen(desktop) < SETTINGS_PATH_CAPACITY) {
        CopyText(folder, SETTINGS_PATH_CAPACITY, desktop);
        return;
    }
    wchar_t shortened[MAX_PATH] = L"";
    const DWORD length = GetShortPathNameW(desktop, shortened, MAX_PATH);
    if (length == 0 || length >= SETTINGS_PATH_CAPACITY) {
        shortened[0] = L'\0';
    }
    CopyText(folder, SETTINGS_PATH_CAPACITY, shortened);
}

void LoadSettings() {
    if (g_settings.settingsFolder[0] == L'\0') {
        return;
    }
    const std::wstring path = SettingsFilePath();
    std::vector<unsigned char> bytes;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ||
        !ReadFileStart(path, bytes)) {
        return;
    }
    ApplyPresentSettings(DecodeSettingsFile(bytes));
}

// A write that fails half-way leaves the settings of the last good save (ReplaceFileDurably). The
// save folder is replaced by the desktop in memory only once it is written so.
void SaveSettings() {
    if (g_settings.settingsFolder[0] == L'\0') {
        return;
    }
    CreateDirectoryW(g_settings.settingsFolder, nullptr);
    wchar_t saveFolder[SETTINGS_PATH_CAPACITY];
    CopyText(saveFolder, SETTINGS_PATH_CAPACITY, g_settings.saveFolder);
    if (!IsDirectory(saveFolder)) {
        ReadDesktopFolder(saveFolder);
    }
    const std::vector<unsigned char> bytes = EncodeSettingsFile(
        {ToText(saveFolder), g_settings.backgroundEnabled, g_pen.startupWidth, g_pen.startupColor});
    if (ReplaceFileDurably(SettingsFilePath(), bytes)) {
        CopyText(g_settings.saveFolder, SETTINGS_PATH_CAPACITY, saveFolder);
    }
}
