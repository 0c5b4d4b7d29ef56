// The user's settings: save folder, background flag, and where they are kept. Platform-free.
#pragma once

constexpr int SETTINGS_PATH_CAPACITY = 256;

struct Settings {
    wchar_t saveFolder[SETTINGS_PATH_CAPACITY];
    int backgroundEnabled;
    wchar_t settingsFolder[SETTINGS_PATH_CAPACITY];
    wchar_t backgroundImagePath[SETTINGS_PATH_CAPACITY];
};

extern Settings g_settings;
