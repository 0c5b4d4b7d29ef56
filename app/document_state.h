// The memo's folder, file name and modified flag, and the text of the window title. Platform-free.
#pragma once

#include <cstddef>

constexpr std::size_t FOLDER_CAPACITY = 256;
constexpr std::size_t NAME_CAPACITY = 64;
constexpr std::size_t TITLE_CAPACITY = 256;

struct DocumentState {
    wchar_t folder[FOLDER_CAPACITY];
    wchar_t name[NAME_CAPACITY]; // empty: untitled
    int modified;
};

extern DocumentState g_document;

// "無題 -<caption>" for an untitled memo, "<name> -<caption>" otherwise; cut to fit `capacity`.
void FormatWindowTitle(const wchar_t* name, const wchar_t* caption, wchar_t* title,
                       std::size_t capacity);

// Copies `source` into `target` of `capacity` characters, cutting what does not fit.
void CopyText(wchar_t* target, std::size_t capacity, const wchar_t* source);
