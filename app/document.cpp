#include "app/document.h"

#include <windows.h>

#include <utility>

#include "canvas/layer_replacement.h"
#include "control/controller.h"
#include "memo/clipboard.h"
#include "memo/memo_files.h"
#include "memo/snapshot.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/settings.h"

namespace {

// An untitled memo in the save folder: its first save names it from the clock.
void MakeMemoUntitled() {
    CopyText(g_document.folder, FOLDER_CAPACITY, g_settings.saveFolder);
    g_document.name[0] = L'\0';
    g_document.modified = 0;
    RemoveSnapshot();
    UpdateWindowTitle();
}

} // namespace

void NewCanvas() {
    ResetInkLayer();
    ResetBackgroundLayer();
    MakeMemoUntitled();
    InvalidateRect(g_app.hwnd, nullptr, TRUE);
}

void NewCanvasWithBackground() {
    NewCanvas();
    if (g_settings.backgroundEnabled != 0) {
        LoadImageIntoLayer(g_settings.backgroundImagePath, Layer::Background);
    }
}

bool SetCurrentFile(const wchar_t* path) {
    if (!SplitMemoPath(path, g_document.folder, g_document.name)) {
        return false;
    }
    g_document.modified = 0;
    RemoveSnapshot();
    UpdateWindowTitle();
    return true;
}

int OpenImageAsMemo(const wchar_t* path) {
    if (LoadImageIntoLayer(path, Layer::Ink) == 0) {
        NewCanvas();
        return 0;
    }
    SetCurrentFile(path);
    return 1;
}

bool EndStrokeAndAskToSave() {
    EndStroke();
    return ConfirmSaveChanges() != IDCANCEL;
}

int PasteImageAsMemo() {
    ScopedGdiObject<HBITMAP> pasted = MakeClipboardInk();
    if (pasted == nullptr || !EndStrokeAndAskToSave()) {
        return 0;
    }
    ReplaceLayer(Layer::Ink, std::move(pasted));
    InvalidateRect(g_app.hwnd, nullptr, TRUE);
    MakeMemoUntitled();
    // No file holds the picture yet: New and closing must not lose it.
    MarkModified();
    return 1;
}
