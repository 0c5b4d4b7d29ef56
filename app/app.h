// The process's one window and its entry steps.
#pragma once

#include <windows.h>

struct AppWindow {
    HINSTANCE hinstance;
    HWND hwnd;
    wchar_t caption[100];
    wchar_t className[100];
    ULONG_PTR gdiplusToken;
};

extern AppWindow g_app;

// The steps of wWinMain, apart so that tests can create the real window without the loop.
void StartApplication(HINSTANCE instance);
HWND CreateMainWindow();
void OpenCommandLineImage(const wchar_t* commandLine);
int RunMessageLoop();
void StopApplication();

void RegisterMainWindowClass(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void OpenManual();
