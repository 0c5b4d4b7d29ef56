#pragma once

#include <windows.h>

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The folder browser; 1 and the folder's path in buffer (MAX_PATH characters), else 0.
int ChooseFolder(HWND owner, wchar_t* buffer);
