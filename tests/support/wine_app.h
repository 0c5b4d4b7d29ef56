// The real main window for wine tests, created through the library as wWinMain does, with the
// program's own message boxes answered automatically so that no test waits for a person.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/system_library.h"

constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF RED = RGB(200, 0, 0);

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
// A 32-bit top-down DIB header of the given size.
BITMAPINFO TopDown32(int width, int height);
// Every pixel of a canvas layer as 0x00RRGGBB, row by row from the top.
std::vector<std::uint32_t> ReadLayer(HBITMAP layer);

// The text of a menu item as the user reads it, by position or command (`flags`).
std::wstring MenuText(HMENU menu, UINT item, UINT flags);
// The main window's Eraser item, which names the pen it switches to.
std::wstring EraserMenuText();

// How many more GDI objects the process can create. GetGuiResources reports 0 under Wine, so
// tests compare this before and after: a leak of one object shows as one fewer.
int CountFreeGdiHandles();
// Repaints a window five times, counting the free GDI handles before and after.
void RepaintCountingGdiHandles(HWND window, int& before, int& after);

using FileBytes = std::vector<unsigned char>;

void WriteFileBytes(const std::wstring& path, const FileBytes& bytes);
// The whole file, or nothing when it cannot be opened.
FileBytes ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// Deletes a folder with everything in it, read-only files too.
void RemoveTree(const std::wstring& path);
// The names of the files (not folders) in a folder.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
// An empty folder of this process's own in the temporary folder, named `prefix` and the process
// id; whatever an earlier run left there is removed.
std::wstring MakeScratchFolder(const std::wstring& prefix);

// While it lives, every transparent blit of the program fails, as a device short of memory would.
class ScopedFailingTransparentBlt {
  public:
    ScopedFailingTransparentBlt();
    ~ScopedFailingTransparentBlt();
    ScopedFailingTransparentBlt(const ScopedFailingTransparentBlt&) = delete;
    ScopedFailingTransparentBlt& operator=(const ScopedFailingTransparentBlt&) = delete;

  private:
    TransparentBltFunction system_;
};

// Sends a message to the main window's procedure as the system would deliver it.
LRESULT SendToMainWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// A client point packed as a pointer message's lParam.
inline LPARAM PackPoint(int x, int y) {
    return MAKELPARAM(x, y);
}
// A client point packed as a wheel message carries it: on the screen.
LPARAM PackScreenPoint(int x, int y);
// Sends WM_KEYDOWN with Ctrl and Shift held as `keys` says (MK_CONTROL, MK_SHIFT).
void SendKeyDown(WPARAM key, WORD keys);
// The range, page and position of one of the main window's scroll bars (SB_HORZ, SB_VERT).
SCROLLINFO ReadScrollBar(int bar);
