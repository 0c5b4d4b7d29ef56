#include "app/document_state.h"

#include <cwchar>

DocumentState g_document;

void CopyText(wchar_t* target, std::size_t capacity, const wchar_t* source) {
    if (capacity == 0) {
        return;
    }
    std::size_t i = 0;
    for (; i + 1 < capacity && source[i] != L'\0'; ++i) {
        target[i] = source[i];
    }
    target[i] = L'\0';
}

void FormatWindowTitle(const wchar_t* name, const wchar_t* caption, wchar_t* title,
                       std::size_t capacity) {
    if (capacity == 0) {
        return;
    }
    int written = name[0] == L'\0' ? std::swprintf(title, capacity, L"無題 -%ls", caption)
                                   : std::swprintf(title, capacity, L"%ls -%ls", name, caption);
    if (written < 0) {
        title[capacity - 1] = L'\0';
    }
}
