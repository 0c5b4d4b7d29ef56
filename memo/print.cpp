#include "memo/print.h"

#include <commdlg.h>

#include "canvas/canvas.h"
#include "imaging/imaging.h"
#include "memo/print_layout.h"
#include "records/app_window.h"
#include "records/scoped_gdi.h"

namespace {

constexpr DWORD PRINT_DIALOG_FLAGS =
    PD_RETURNDC | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE;
static_assert(PRINT_DIALOG_FLAGS == 0x140104, "print dialog flags");

constexpr int DOCUMENT_NAME_CAPACITY = 256;

// Whatever blocks the dialog hands back are ours to free; no choice is kept for the next Print.
void ReleaseDeviceBlocks(const PRINTDLGW& dialog) {
    if (dialog.hDevMode != nullptr) {
        GlobalFree(dialog.hDevMode);
    }
    if (dialog.hDevNames != nullptr) {
        GlobalFree(dialog.hDevNames);
    }
}

void PrintPage(HDC printer) {
    // A page without its ink is no print of the memo: without a composite no job starts.
    if (ComposeCanvas() == 0) {
        return;
    }
    wchar_t documentName[DOCUMENT_NAME_CAPACITY] = {};
    GetWindowTextW(g_app.hwnd, documentName, DOCUMENT_NAME_CAPACITY);
    DOCINFOW document = {};
    document.cbSize = sizeof(document);
    document.lpszDocName = documentName;

    // A job that cannot start is dropped whole rather than left half made in the queue.
    if (StartDocW(printer, &document) <= 0 || StartPage(printer) <= 0) {
        AbortDoc(printer);
        return;
    }
    ScopedGetDC screen(g_app.hwnd);
    DrawCanvasOnPage(printer, screen);
    EndPage(printer);
    EndDoc(printer);
}

// Stretches the composite over the page's square; false when the printer cannot stretch it.
bool StretchCompositeOnPage(HDC printer, HDC screen) {
    ScopedCreateDC memory(CreateCompatibleDC(screen));
    ScopedSelect selected(memory, g_canvas.composite);
    const PrintSquare square =
        ComputePrintSquare(GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES));
    return StretchBlt(printer, square.x, square.y, square.side, square.side, memory, 0, 0,
                      CANVAS_SIZE, CANVAS_SIZE, SRCCOPY) != 0;
}

} // namespace

void PrintCanvas() {
    PRINTDLGW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = g_app.hwnd;
    dialog.Flags = PRINT_DIALOG_FLAGS;
    const BOOL chosen = PrintDlgW(&dialog);
    ReleaseDeviceBlocks(dialog);
    if (!chosen) {
        return;
    }
    ScopedCreateDC printer(dialog.hDC);
    PrintPage(printer);
}

bool DrawCanvasOnPage(HDC printer, HDC screen) {
    // GDI+ must not be handed a bitmap that is still selected into a device context: the stretch
    // lets go of the composite before the fallback draws it.
    const bool stretched = StretchCompositeOnPage(printer, screen);
    if (!stretched) {
        DrawCanvasFallback(printer, screen);
    }
    return stretched;
}

void DrawCanvasFallback(HDC printer, HDC screen) {
    const PrintSquare square =
        ComputeFallbackSquare(GetDeviceCaps(printer, HORZSIZE), GetDeviceCaps(printer, VERTSIZE),
                              GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY));
    ImagingGraphics graphics = CreateGraphicsOnDC(printer);
    ImagingImage image = CreateImageFromBitmap(g_canvas.composite);
    DrawImageRect(graphics, image, square.x, square.y, square.side, square.side);
    DisposeImage(image);
    DeleteGraphics(graphics);
}
