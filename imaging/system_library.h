// Libraries that Windows does not protect as known DLLs (GDI+, msimg32) are searched for beside
// the exe first when imported, so a DLL planted in a Downloads folder would run. The program
// imports none of them: it loads them from the system folder when first needed.
#pragma once

#include <windows.h>

// First thing at start: every later library load searches the system folder only.
void RestrictDllSearch();
// The library of that name from the system folder, or null.
HMODULE LoadSystemLibrary(const wchar_t* name);
// An exported function of a library, typed; null when the library or the function is missing.
template <typename Function> Function LibraryEntry(HMODULE library, const char* name) {
    if (library == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                             UINT);
// msimg32's TransparentBlt, looked up at its first use and kept here; a test may set it first to
// answer the look-up.
extern TransparentBltFunction g_transparentBlt;
// TransparentBlt of msimg32; FALSE when the library cannot be loaded.
BOOL SystemTransparentBlt(HDC target, int targetX, int targetY, int targetWidth, int targetHeight,
                          HDC source, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                          UINT transparent);
