// The DPI a window is shown at, and the system's sizes at that DPI. Under per-monitor awareness
// each screen has its own DPI, and Windows 10 tells it per window; older Windows has one DPI for
// every screen, the system DPI, and every size the system gives is already at it.
#pragma once

#include <windows.h>

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND window);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int index, UINT dpi);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT* rect, DWORD style, BOOL menu,
                                                       DWORD exStyle, UINT dpi);

// Looked up in user32 once as the program starts, never imported, so that Windows 7 still
// starts. Null before Windows 10 version 1607: the program then uses the system DPI, as on
// Windows 7. A test may set them to answer the look-up itself, or to null to be Windows 7.
extern GetDpiForWindowFunction g_getDpiForWindow;
extern GetSystemMetricsForDpiFunction g_getSystemMetricsForDpi;
extern AdjustWindowRectExForDpiFunction g_adjustWindowRectExForDpi;

// The screen's DPI as GetDeviceCaps(LOGPIXELSX) gives it: the one DPI of Windows 7.
int SystemDpi();
// The DPI of the screen the window is on; the system DPI where Windows cannot tell.
int WindowDpi(HWND window);
// A system metric that is a length (SM_CXVSCROLL...) at `dpi`; without GetSystemMetricsForDpi,
// the system's metric scaled from the system DPI to `dpi`.
int SystemMetricAtDpi(int index, int dpi);
// AdjustWindowRectEx with the frame and the menu bar of `dpi`; without AdjustWindowRectExForDpi,
// with those of the system DPI.
BOOL AdjustWindowRectAtDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, int dpi);
