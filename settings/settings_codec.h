// The settings file as bytes, the colour text and the settings folder's name. Platform-free: text
// is UTF-16 code units here, as on Windows, whatever the width of wchar_t.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pen/pen_state.h"

// The most characters a setting's line holds, its line end not counted: a full saveFolder.
constexpr std::size_t SETTINGS_LINE_LIMIT = 255;
// A settings file is a few hundred bytes; nothing beyond this much of a file is read.
constexpr std::size_t SETTINGS_READ_LIMIT = 65536;
// Where the executable's folder gives no usable name (a drive root, such as D:).
constexpr char16_t SETTINGS_FALLBACK_FOLDER_NAME[] = u"Inkwisp";
// Room kept after the settings folder for "\bak".
constexpr std::size_t SETTINGS_FOLDER_LIMIT = 251;

struct SettingsValues {
    std::u16string saveFolder;
    int backgroundEnabled;
    int startupWidth;
    PenColor startupColor;
};

// The settings of the lines that were present in a file; an absent line gives nothing.
struct PresentSettings {
    std::optional<std::u16string> saveFolder;
    std::optional<int> backgroundEnabled;
    std::optional<int> startupWidth;
    std::optional<PenColor> startupColor;
};

// Reads a file's bytes: UTF-8 or UTF-16LE after their byte-order marks, one byte per character
// without one; a file that begins FE FF gives nothing.
PresentSettings DecodeSettingsFile(const std::vector<unsigned char>& bytes);
// FF FE and the four lines as UTF-16LE, each ended by CR LF.
std::vector<unsigned char> EncodeSettingsFile(const SettingsValues& values);

// RRGGBB, upper-case digits; other characters follow the same arithmetic. Missing ones count 0.
PenColor ParseColorHex(std::u16string_view text);
std::u16string FormatColorHex(PenColor color);
// Leading white space, a sign, digits; clamped to the int range; no digits give 0.
int ParseDecimal(std::u16string_view text);

// The name of the folder that holds the executable, or the fallback name for a drive root.
std::u16string SettingsFolderName(std::u16string_view executablePath);
// The application-data folder, a backslash and SettingsFolderName, kept short enough for "\bak".
std::u16string ComposeSettingsFolder(std::u16string_view appData,
                                     std::u16string_view executablePath);
