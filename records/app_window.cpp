#include "records/app_window.h"

#include "records/basics.h"
#include "records/document_state.h"

AppWindow g_app;

std::wstring ExecutablePath() {
    std::wstring path(LONGEST_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], LONGEST_PATH);
    path.resize(length < LONGEST_PATH ? length : 0);
    return path;
}

std::wstring LoadText(UINT id) {
    // Given no buffer, LoadStringW points into the module's own copy, which has no terminator.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(g_app.hinstance, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

void UpdateWindowTitle() {
    wchar_t title[TITLE_CAPACITY];
    FormatWindowTitle(g_app.untitledTitleFormat, g_app.namedTitleFormat, g_document.name,
                      g_app.caption, title, TITLE_CAPACITY);
    SetWindowTextW(g_app.hwnd, title);
}
