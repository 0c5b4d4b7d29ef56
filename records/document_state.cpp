#include "records/document_state.h"

#include <cwchar>

DocumentState g_document;

namespace {

CanvasListener g_canvasListener;

} // namespace

void MarkModified() {
    g_document.modified = 1;
    NoteCanvasChange();
}

void NoteCanvasChange() {
    if (g_canvasListener != nullptr) {
        g_canvasListener();
    }
}

void ListenToCanvas(CanvasListener listener) {
    g_canvasListener = listener;
}

void FormatWindowTitle(const wchar_t* untitledFormat, const wchar_t* namedFormat,
                       const wchar_t* name, const wchar_t* caption, wchar_t* title,
                       std::size_t capacity) {
    if (capacity == 0) {
        return;
    }
    int written = name[0] == L'\0' ? std::swprintf(title, capacity, untitledFormat, caption)
                                   : std::swprintf(title, capacity, namedFormat, name, caption);
    if (written < 0) {
        title[capacity - 1] = L'\0';
    }
}

bool SplitMemoPath(const wchar_t* path, wchar_t* folder, wchar_t* name) {
    const wchar_t* separator = std::wcsrchr(path, L'\\');
    if (separator == nullptr || separator[1] == L'\0') {
        return false;
    }
    const wchar_t* fileName = separator + 1;
    // Only a full stop in the file's own name starts its extension, never one in a folder name.
    const wchar_t* stop = std::wcsrchr(fileName, L'.');
    const std::size_t baseLength =
        stop != nullptr ? static_cast<std::size_t>(stop - fileName) : std::wcslen(fileName);
    const std::size_t folderLength = static_cast<std::size_t>(separator - path);
    const wchar_t extension[] = L".png";
    const std::size_t extensionLength = sizeof(extension) / sizeof(extension[0]) - 1;
    if (folderLength >= FOLDER_CAPACITY || baseLength + extensionLength >= NAME_CAPACITY) {
        return false;
    }
    std::wmemcpy(folder, path, folderLength);
    folder[folderLength] = L'\0';
    // NOLINTNEXTLINE(bugprone-not-null-terminated-result): the extension brings the terminator.
    std::wmemcpy(name, fileName, baseLength);
    std::wmemcpy(name + baseLength, extension, extensionLength + 1);
    return true;
}

bool CanNameMemo(const wchar_t* path) {
    wchar_t folder[FOLDER_CAPACITY];
    wchar_t name[NAME_CAPACITY];
    return SplitMemoPath(path, folder, name);
}
