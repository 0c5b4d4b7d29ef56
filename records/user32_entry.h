// Functions of user32 newer than Windows 7 are looked up at run time, never imported, so that the
// program still starts on a Windows without them.
#pragma once

#include <windows.h>

// The function of user32 called `name`, or null where this Windows has none.
template <typename Function> Function User32Entry(const char* name) noexcept {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}
