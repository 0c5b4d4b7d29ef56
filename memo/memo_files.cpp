#include "memo/memo_files.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "canvas/layer_replacement.h"
#include "memo/layer_picture.h"
#include "memo/memo_naming.h"
#include "memo/png_encoding.h"
#include "memo/snapshot.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/durable_file.h"
#include "records/scoped_gdi.h"
#include "res/resource.h"

namespace {

// The folder, a backslash and the name.
constexpr std::size_t SAVE_PATH_CAPACITY = FOLDER_CAPACITY + NAME_CAPACITY;

// One record for the whole run: the dialog carries its filter index and offsets into the next call.
OPENFILENAMEW g_openFileRecord;
// The record's filter and title, which it points to for the whole run.
std::wstring g_openFilter;
std::wstring g_openTitle;

// A string table holds no NUL: a filter's parts are separated there by '|', the last one too, so
// that the c_str() ends in the two NULs the dialog looks for.
std::wstring LoadFilter(UINT id) {
    std::wstring filter = LoadText(id);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    return filter;
}

void FormatMemoPath(const wchar_t* name, wchar_t* path) {
    std::swprintf(path, SAVE_PATH_CAPACITY, L"%ls\\%ls", g_document.folder, name);
}

bool MemoFileExists(const wchar_t* name) {
    wchar_t path[SAVE_PATH_CAPACITY];
    FormatMemoPath(name, path);
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool NameUntitledMemo() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const ClockTime time = {now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    wchar_t clockName[CLOCK_NAME_CAPACITY];
    FormatClockName(time, clockName, CLOCK_NAME_CAPACITY);
    return ChooseFreeName(clockName, MemoFileExists, g_document.name, NAME_CAPACITY);
}

// SaveCurrentMemo, giving the path of the file that it wrote or could not write.
int SaveMemoAt(wchar_t* path) {
    const bool untitled = g_document.name[0] == L'\0';
    const bool named = !untitled || NameUntitledMemo();
    FormatMemoPath(named ? g_document.name : L"", path);
    const int saved = named ? SaveCompositePng() : 0;
    // The snapshot goes only once the memo is in place.
    if (saved != 0) {
        RemoveSnapshot();
    }
    // The title must not name a file that was never written; the next save tries a new name.
    if (untitled && saved == 0) {
        g_document.name[0] = L'\0';
    }
    UpdateWindowTitle();
    return saved;
}

} // namespace

ScopedGdiObject<HBITMAP> MakeFilePicture(const wchar_t* path, Layer layer) {
    ImagingImage image =
        layer == Layer::Background || CanNameMemo(path) ? LoadImageFile(path) : nullptr;
    ScopedGdiObject<HBITMAP> picture = MakeLayerPicture(image, layer);
    DisposeImage(image);
    return picture;
}

int LoadImageIntoLayer(const wchar_t* path, Layer layer) {
    ScopedGdiObject<HBITMAP> picture = MakeFilePicture(path, layer);
    const bool loaded = picture != nullptr;
    if (loaded) {
        ReplaceLayer(layer, std::move(picture));
    }
    InvalidateRect(g_app.hwnd, nullptr, TRUE);
    return loaded ? 1 : 0;
}

int ChooseImageFile(wchar_t* buffer) {
    buffer[0] = L'\0';
    if (g_openFileRecord.lStructSize == 0) {
        g_openFileRecord.lStructSize = sizeof(g_openFileRecord);
        g_openFileRecord.hwndOwner = g_app.hwnd;
        g_openFilter = LoadFilter(IDS_OPEN_FILTER);
        g_openTitle = LoadText(IDS_OPEN_TITLE);
        g_openFileRecord.lpstrFilter = g_openFilter.c_str();
        g_openFileRecord.nMaxFile = PATH_BUFFER_CAPACITY;
        // The folder's buffer itself: the dialog starts wherever the memo is at each call.
        g_openFileRecord.lpstrInitialDir = g_document.folder;
        g_openFileRecord.lpstrTitle = g_openTitle.c_str();
        g_openFileRecord.Flags = OFN_FILEMUSTEXIST;
    }
    g_openFileRecord.lpstrFile = buffer;
    return GetOpenFileNameW(&g_openFileRecord) != 0 ? 1 : 0;
}

int SaveCompositePng() {
    // Without a folder the path would name the drive's root.
    if (g_document.folder[0] == L'\0') {
        return 0;
    }
    // A composite without its ink must not replace the memo's file.
    if (ComposeCanvas() == 0) {
        return 0;
    }
    wchar_t path[SAVE_PATH_CAPACITY];
    FormatMemoPath(g_document.name, path);
    std::vector<unsigned char> png;
    // Only a written file makes the ink safe; otherwise New and closing must still ask or save.
    if (!EncodePng(g_canvas.composite, png) || !ReplaceFileDurably(path, png)) {
        return 0;
    }
    g_document.modified = 0;
    return 1;
}

int SaveCurrentMemo() {
    wchar_t path[SAVE_PATH_CAPACITY];
    return SaveMemoAt(path);
}

int SaveMemoOrReport() {
    wchar_t path[SAVE_PATH_CAPACITY];
    if (SaveMemoAt(path) != 0) {
        return 1;
    }
    ReportFileFailure(IDS_SAVE_FAILED, path);
    return 0;
}

void ReportFileFailure(UINT text, const wchar_t* path) {
    MessageBoxW(g_app.hwnd, (LoadText(text) + L"\n" + path).c_str(), g_app.caption,
                MB_OK | MB_ICONWARNING);
}

int AskSaveQuestion() {
    return MessageBoxW(g_app.hwnd, LoadText(IDS_SAVE_QUESTION).c_str(), g_app.caption,
                       MB_YESNOCANCEL);
}

int ConfirmSaveChanges() {
    if (g_document.modified == 0) {
        return IDYES;
    }
    const int answer = AskSaveQuestion();
    if (answer == IDYES && SaveMemoOrReport() == 0) {
        return IDCANCEL;
    }
    return answer;
}
