#include "imaging/system_library.h"

#include <string>

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

} // namespace

TransparentBltFunction g_transparentBlt;

void RestrictDllSearch() {
    // Looked up, not imported: Windows 7 without update KB2533623 lacks it and must still start.
    const auto setDefaultDllDirectories = LibraryEntry<SetDefaultDllDirectoriesFunction>(
        GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefaultDllDirectories != nullptr) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE library = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library != nullptr) {
        return library;
    }
    // Without that update the flag is refused: a full path bypasses the search all the same.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    const std::wstring path = std::wstring(folder) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

BOOL SystemTransparentBlt(HDC target, int targetX, int targetY, int targetWidth, int targetHeight,
                          HDC source, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                          UINT transparent) {
    if (g_transparentBlt == nullptr) {
        g_transparentBlt = LibraryEntry<TransparentBltFunction>(LoadSystemLibrary(L"msimg32.dll"),
                                                                "TransparentBlt");
    }
    if (g_transparentBlt == nullptr) {
        return FALSE;
    }
    return g_transparentBlt(target, targetX, targetY, targetWidth, targetHeight, source, sourceX,
                            sourceY, sourceWidth, sourceHeight, transparent);
}
