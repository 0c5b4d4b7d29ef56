// The DPI a window is shown at. Under per-monitor awareness each screen has its own DPI, and
// Windows 10 tells it per window; older Windows has one DPI for every screen, the system DPI.
#pragma once

#include <windows.h>

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND window);

// Looked up in user32 once as the program starts, never imported, so that Windows 7 still
// starts. Null before Windows 10 version 1607: the program then uses the system DPI, as on
// Windows 7. A test may set it to answer the look-up itself, or to null to be Windows 7.
extern GetDpiForWindowFunction g_getDpiForWindow;

// The screen's DPI as GetDeviceCaps(LOGPIXELSX) gives it: the one DPI of Windows 7.
int SystemDpi();
// The DPI of the screen the window is on; the system DPI where Windows cannot tell.
int WindowDpi(HWND window);
