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

void UpdateWindowTitle() {
    wchar_t title[TITLE_CAPACITY];
    FormatWindowTitle(g_document.name, g_app.caption, title, TITLE_CAPACITY);
    SetWindowTextW(g_app.hwnd, title);
}
