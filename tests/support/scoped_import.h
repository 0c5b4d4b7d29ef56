// Swapping a platform call for a test's own: the wine tests link the program's code statically,
// so every call it makes goes through this executable's import table, where it can be redirected.
#pragma once

#include <windows.h>

// Points this executable's import of `function` from `dll` at `replacement`; returns what it
// pointed at before, or null when there is no such import.
void* ReplaceImport(const char* dll, const char* function, void* replacement);

// A replacement that gives `value` to every call.
template <typename Result, Result value, typename... Arguments> Result WINAPI Answer(Arguments...) {
    return value;
}

// GDI calls that fail, as on a device short of memory.
inline void* const NO_CONTEXT = reinterpret_cast<void*>(&Answer<HDC, nullptr, HDC>);
inline void* const NO_DIB_SECTION = reinterpret_cast<void*>(
    &Answer<HBITMAP, nullptr, HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD>);

// The system's own function, for a replacement that passes calls on.
template <typename Function> Function SystemFunction(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(dll), name)));
}

// Swaps one import of this executable for the lifetime of the holder.
struct ScopedImport {
    ScopedImport(const char* dll, const char* function, void* replacement)
        : dll_(dll), function_(function), previous_(ReplaceImport(dll, function, replacement)) {}
    ScopedImport(const ScopedImport&) = delete;
    ScopedImport& operator=(const ScopedImport&) = delete;
    ~ScopedImport() {
        if (previous_ != nullptr) {
            ReplaceImport(dll_, function_, previous_);
        }
    }
    const char* dll_;
    const char* function_;
    void* previous_;
};
