#include "app/document.h"

#include <windows.h>

#include "app/app.h"
#include "app/document_state.h"
#include "canvas/canvas.h"
#include "settings/settings.h"

void NewCanvas() {
    ResetInkLayer();
    ResetBackgroundLayer();
    CopyText(g_document.folder, FOLDER_CAPACITY, g_settings.saveFolder);
    g_document.name[0] = L'\0';
    g_document.modified = 0;
    UpdateWindowTitle();
    InvalidateRect(g_app.hwnd, nullptr, TRUE);
}

bool SetCurrentFile(const wchar_t* path) {
    if (!SplitMemoPath(path, g_document.folder, g_document.name)) {
        return false;
    }
    g_document.modified = 0;
    UpdateWindowTitle();
    return true;
}

void UpdateWindowTitle() {
    wchar_t title[TITLE_CAPACITY];
    FormatWindowTitle(g_document.name, g_app.caption, title, TITLE_CAPACITY);
    SetWindowTextW(g_app.hwnd, title);
}
