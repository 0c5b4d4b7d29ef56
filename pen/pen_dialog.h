#pragma once

#include <windows.h>

INT_PTR CALLBACK PenDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
