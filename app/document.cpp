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
#include "res/resource.h"

namespace {

// An untitled memo in the save folder: its first save names it from the clock.
void MakeMemoUntitled() {
    CopyText(g_document.folder, FOLDER_CAPACITY, g_settings.saveFolder);
    g_document.name[0] = L'\0';
    g_document.modified = 0;
    RemoveSnapshot();
    UpdateWindowTitle();
}

// The one way a picture becomes the memo's ink. It was decoded and drawn before anything changed,
// so the question comes only for a picture that opens. False, changing nothing, when the memo must
// stay.
bool AdoptInk(ScopedGdiObject<HBITMAP> picture, SaveQuestion question) {
    if (question == SaveQuestion::AfterDecoding && !EndStrokeAndAskToSave()) {
        return false;
    }
    ReplaceLayer(Layer::Ink, std::move(picture));
    InvalidateRect(g_app.hwnd, nullptr, TRUE);
    return true;
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

int OpenImageAsMemo(const wchar_t* path, SaveQuestion question) {
    ScopedGdiObject<HBITMAP> picture = MakeFilePicture(path, Layer::Ink);
    if (picture == nullptr) {
        ReportFileFailure(IDS_OPEN_FAILED, path);
        return 0;
    }
    if (!AdoptInk(std::move(picture), question)) {
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
    if (pasted == nullptr || !AdoptInk(std::move(pasted), SaveQuestion::AfterDecoding)) {
        return 0;
    }
    MakeMemoUntitled();
    // No file holds the picture yet: New and closing must not lose it.
    MarkModified();
    return 1;
}
