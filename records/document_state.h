// The memo's folder, file name and modified flag, and the text of the window title. Platform-free.
#pragma once

#include <cstddef>

#include "records/basics.h"

constexpr std::size_t FOLDER_CAPACITY = 256;
// Any file name that a file dialog or a drop can give (a path of 259 characters) fits.
constexpr std::size_t NAME_CAPACITY = 260;
// The longest name, " -" and the longest caption.
constexpr std::size_t TITLE_CAPACITY = NAME_CAPACITY + 2 + CAPTION_CAPACITY;

struct DocumentState {
    wchar_t folder[FOLDER_CAPACITY];
    wchar_t name[NAME_CAPACITY]; // empty: untitled
    int modified;
};

extern DocumentState g_document;

// Every edit of the canvas marks the memo here, whatever made it (a stroke, a turn, an undo, a
// paste): the memo is modified, and the one listener (the recovery snapshot) hears of it.
void MarkModified();
// A change of what a save would write that is no edit of the memo (a new background): only the
// listener hears of it.
void NoteCanvasChange();
using CanvasListener = void (*)();
void ListenToCanvas(CanvasListener listener);

// The window title: `untitledFormat` with the caption for an untitled memo, `namedFormat` with the
// name and the caption otherwise (both take wide strings, %ls); cut to fit `capacity`.
void FormatWindowTitle(const wchar_t* untitledFormat, const wchar_t* namedFormat,
                       const wchar_t* name, const wchar_t* caption, wchar_t* title,
                       std::size_t capacity);

// Splits the path of a loaded file into the memo's folder and the memo's name: the file's own
// name with the extension png (one without an extension gets it added). False, writing nothing,
// when the path has no folder or its folder or new name would not fit the buffers
// (FOLDER_CAPACITY and NAME_CAPACITY characters).
bool SplitMemoPath(const wchar_t* path, wchar_t* folder, wchar_t* name);
// Whether a loaded file's path can name a memo (SplitMemoPath would succeed).
bool CanNameMemo(const wchar_t* path);
