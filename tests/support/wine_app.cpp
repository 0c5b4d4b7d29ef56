#include "wine_app.h"

#include <algorithm>
#include <cwchar>

#include <gtest/gtest.h>

#include "app/app.h"
#include "canvas/canvas.h"
#include "dialog_driver.h"
#include "records/bitmap_info.h"
#include "res/resource.h"

namespace {

int g_answer = IDOK;
std::vector<std::wstring> g_texts;

BOOL CALLBACK CollectStaticText(HWND child, LPARAM) {
    wchar_t className[16];
    GetClassNameW(child, className, 16);
    wchar_t text[512];
    if (_wcsicmp(className, L"Static") == 0 && GetWindowTextW(child, text, 512) > 0) {
        g_texts.emplace_back(text);
    }
    return TRUE;
}

void AnswerMessageBox(HWND box) {
    EnumChildWindows(box, CollectStaticText, 0);
    PostMessageW(box, WM_COMMAND, g_answer, 0);
}

} // namespace

HWND StartTestWindow(int clientWidth, int clientHeight) {
    if (g_app.hwnd == nullptr) {
        AddDialogAnswer(IsMessageBox(), AnswerMessageBox);
        StartApplication(GetModuleHandleW(nullptr));
        HWND window = CreateMainWindow();
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
    SetWindowPos(g_app.hwnd, HWND_TOP, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE);
    // The menu bar may wrap on a narrow window; correct by what the client area really is.
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    SetWindowPos(g_app.hwnd, HWND_TOP, 0, 0, frame.right - frame.left + clientWidth - client.right,
                 frame.bottom - frame.top + clientHeight - client.bottom, SWP_NOMOVE);
    PumpMessages();
    return g_app.hwnd;
}

void SetMessageBoxAnswer(int button) {
    g_answer = button;
}

std::vector<std::wstring> TakeMessageBoxTexts() {
    std::vector<std::wstring> texts;
    texts.swap(g_texts);
    return texts;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

COLORREF ReadBitmapPixel(HBITMAP bitmap, int x, int y) {
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF color = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteDC(memory);
    return color;
}

void FillBitmapRect(HBITMAP bitmap, int left, int top, int right, int bottom, COLORREF color) {
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(color);
    RECT area = {left, top, right, bottom};
    FillRect(memory, &area, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void FillBitmap(HBITMAP bitmap, COLORREF color) {
    FillBitmapRect(bitmap, 0, 0, 2048, 2048, color);
}

COLORREF ReadClientPixel(int x, int y) {
    HDC window = GetDC(g_app.hwnd);
    const COLORREF color = GetPixel(window, x, y);
    ReleaseDC(g_app.hwnd, window);
    return color;
}

BITMAPINFO TopDown32(int width, int height) {
    return TopDownBitmapInfo(width, height);
}

std::vector<std::uint32_t> ReadLayer(HBITMAP layer) {
    std::vector<std::uint32_t> bits(CANVAS_SIZE * CANVAS_SIZE);
    BITMAPINFO info = TopDown32(CANVAS_SIZE, CANVAS_SIZE);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, layer, 0, CANVAS_SIZE, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(rows, CANVAS_SIZE);
    for (std::uint32_t& pixel : bits) {
        pixel &= 0xFFFFFF;
    }
    return bits;
}

std::wstring MenuText(HMENU menu, UINT item, UINT flags) {
    wchar_t text[64] = L"";
    GetMenuStringW(menu, item, text, 64, flags);
    return text;
}

std::wstring EraserMenuText() {
    return MenuText(GetMenu(g_app.hwnd), IDM_ERASER, MF_BYCOMMAND);
}

int CountFreeGdiHandles() {
    std::vector<HRGN> regions;
    for (HRGN region; regions.size() < 200000 && (region = CreateRectRgn(0, 0, 1, 1)) != nullptr;) {
        regions.push_back(region);
    }
    for (HRGN region : regions) {
        DeleteObject(region);
    }
    return static_cast<int>(regions.size());
}

void RepaintCountingGdiHandles(HWND window, int& before, int& after) {
    before = CountFreeGdiHandles();
    for (int i = 0; i < 5; ++i) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
    after = CountFreeGdiHandles();
}

void WriteFileBytes(const std::wstring& path, const FileBytes& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

FileBytes ReadFileBytes(const std::wstring& path) {
    FileBytes bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    unsigned char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.insert(bytes.end(), buffer, buffer + read);
    }
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

std::wstring MakeScratchFolder(const std::wstring& prefix) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp + prefix + std::to_wstring(GetCurrentProcessId());
    RemoveTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(g_app.hwnd, message, wParam, lParam);
}

LPARAM PackScreenPoint(int x, int y) {
    POINT screen = {x, y};
    ClientToScreen(g_app.hwnd, &screen);
    return MAKELPARAM(screen.x, screen.y);
}

void SendKeyDown(WPARAM key, WORD keys) {
    BYTE state[256];
    GetKeyboardState(state);
    BYTE held[256];
    std::copy(state, state + 256, held);
    held[VK_CONTROL] = (keys & MK_CONTROL) != 0 ? 0x80 : 0;
    held[VK_SHIFT] = (keys & MK_SHIFT) != 0 ? 0x80 : 0;
    SetKeyboardState(held);
    SendToMainWindow(WM_KEYDOWN, key, 1);
    SetKeyboardState(state);
}

SCROLLINFO ReadScrollBar(int bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    GetScrollInfo(g_app.hwnd, bar, &info);
    return info;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.emplace_back(found.cFileName);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

namespace {

BOOL WINAPI FailingTransparentBlt(HDC, int, int, int, int, HDC, int, int, int, int, UINT) {
    return FALSE;
}

} // namespace

ScopedFailingTransparentBlt::ScopedFailingTransparentBlt() : system_(g_transparentBlt) {
    g_transparentBlt = FailingTransparentBlt;
}

ScopedFailingTransparentBlt::~ScopedFailingTransparentBlt() {
    g_transparentBlt = system_;
}
