#pragma once

void ComputeSettingsFolder();
// Sets backgroundImagePath to bak in the settings folder; empty when there is no settings folder
// or the path would not fit, so that no background is ever read or copied elsewhere.
void ComputeBackgroundImagePath();
// The user's desktop folder into a buffer of SETTINGS_PATH_CAPACITY characters. A longer path is
// given by its short (8.3) form when that fits, else as the empty string: never cut short.
void ReadDesktopFolder(wchar_t* folder);
void LoadSettings();
void SaveSettings();
