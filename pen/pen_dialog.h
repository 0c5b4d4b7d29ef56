#pragma once

#include <windows.h>

INT_PTR CALLBACK PenDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The modal Pen dialog over `owner`; it changes the pen in use.
void ShowPenDialog(HWND owner);
