// The application shell: wWinMain's steps and the main window procedure.
#pragma once

#include "records/app_window.h"

// The steps of wWinMain, apart so that tests can create the real window without the loop.
void StartApplication(HINSTANCE instance);
HWND CreateMainWindow();
void OpenCommandLineImage(const wchar_t* commandLine);
int RunMessageLoop();
void StopApplication();

void RegisterMainWindowClass(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void OpenManual();
