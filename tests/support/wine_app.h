// The real main window for wine tests, created through the library as wWinMain does, with the
// program's own message boxes answered automatically so that no test waits for a person.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Starts the application once per process and creates the main window with a client area of
// the given size, shown; later calls resize and return the same window.
HWND StartTestWindow(int clientWidth = 800, int clientHeight = 600);

// The button that the next message boxes of the program are answered with (IDOK at first).
void SetMessageBoxAnswer(int button);
// Texts of the message boxes shown since the last call; clears the list.
std::vector<std::wstring> TakeMessageBoxTexts();

// Handles every queued message of this thread.
void PumpMessages();

COLORREF ReadBitmapPixel(HBITMAP bitmap, int x, int y);
void FillBitmap(HBITMAP bitmap, COLORREF color);
void FillBitmapRect(HBITMAP bitmap, int left, int top, int right, int bottom, COLORREF color);
// Reads the main window's client area as it is shown.
COLORREF ReadClientPixel(int x, int y);

// How many more GDI objects the process can create. GetGuiResources reports 0 under Wine, so
// tests compare this before and after: a leak of one object shows as one fewer.
int CountFreeGdiHandles();

using FileBytes = std::vector<unsigned char>;

void WriteFileBytes(const std::wstring& path, const FileBytes& bytes);
// The whole file, or nothing when it cannot be opened.
FileBytes ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);

// Sends a message to the main window's procedure as the system would deliver it.
LRESULT SendToMainWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// A client point packed as a pointer message's lParam.
inline LPARAM PackPoint(int x, int y) {
    return MAKELPARAM(x, y);
}
