// The process's one window, which every room reads: its handle, instance, caption and the texts
// of its title.
#pragma once

#include <windows.h>

#include <string>

#include "records/basics.h"

struct AppWindow {
    HINSTANCE hinstance;
    HWND hwnd;
    wchar_t caption[CAPTION_CAPACITY];
    wchar_t className[CAPTION_CAPACITY];
    // The title's two forms, formats from the string table (FormatWindowTitle).
    wchar_t untitledTitleFormat[CAPTION_CAPACITY];
    wchar_t namedTitleFormat[CAPTION_CAPACITY];
    ULONG_PTR gdiplusToken;
};

extern AppWindow g_app;

// Shows the memo's name in the main window's title (FormatWindowTitle).
void UpdateWindowTitle();
// A text of the string table (IDS_...), or empty when there is none.
std::wstring LoadText(UINT id);
// The running executable's full path however deep its folder, or empty if it cannot be read.
std::wstring ExecutablePath();
