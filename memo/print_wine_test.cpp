// Printing under Wine: the page drawing on real device contexts read back pixel by pixel, and the
// Print command against the print dialog, answered as a user would answer it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "dialog_driver.h"
#include "memo/print.h"
#include "memo/print_layout.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "view/view_math.h"
#include "scoped_import.h"
#include "wine_app.h"

namespace {

constexpr COLORREF BLUE = RGB(0, 0, 200);

// The print dialog as PrintCanvas hands it over and as it comes back.
struct DialogCall {
    int calls;
    PRINTDLGW given;
    PRINTDLGW returned;
    BOOL result;
};

using PrintDlgFunction = BOOL(WINAPI*)(LPPRINTDLGW);
PrintDlgFunction g_realPrintDlg;
DialogCall g_dialogCall;

// The blocks the program freed: a freed handle may be given out again at once (Wine's printing
// allocates while the page is drawn), so that GlobalFlags cannot tell.
std::vector<HGLOBAL> g_freedBlocks;

HGLOBAL WINAPI RecordGlobalFree(HGLOBAL block) {
    g_freedBlocks.push_back(block);
    return SystemFunction<decltype(&GlobalFree)>(L"kernel32.dll", "GlobalFree")(block);
}

bool WasFreed(HGLOBAL block) {
    return std::find(g_freedBlocks.begin(), g_freedBlocks.end(), block) != g_freedBlocks.end();
}

BOOL WINAPI RecordPrintDlg(LPPRINTDLGW dialog) {
    ++g_dialogCall.calls;
    g_dialogCall.given = *dialog;
    g_dialogCall.result = g_realPrintDlg(dialog);
    g_dialogCall.returned = *dialog;
    return g_dialogCall.result;
}

// Routes the program's PrintDlgW through RecordPrintDlg, once per process.
bool RecordPrintDialogCalls() {
    if (g_realPrintDlg == nullptr) {
        g_realPrintDlg = reinterpret_cast<PrintDlgFunction>(
            ReplaceImport("comdlg32.dll", "PrintDlgW", reinterpret_cast<void*>(&RecordPrintDlg)));
    }
    return g_realPrintDlg != nullptr;
}

// A printer driver that cannot stretch bitmaps.
BOOL WINAPI RefuseStretchBlt(HDC, int, int, int, int, HDC, int, int, int, int, DWORD) {
    return FALSE;
}

// What the page below reports in place of the screen's: printable area in pixels and in
// millimetres, and dots per inch.
struct PrinterGeometry {
    int width, height;
    int widthMm, heightMm;
    int dpi;
};

HDC g_printerPage;
PrinterGeometry g_printerGeometry;

int WINAPI ReportPrinterGeometry(HDC dc, int index) {
    // This executable's own import of GetDeviceCaps leads back here while the swap lasts.
    static const auto real = reinterpret_cast<int(WINAPI*)(HDC, int)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"gdi32.dll"), "GetDeviceCaps")));
    if (dc == g_printerPage) {
        switch (index) {
        case HORZRES: return g_printerGeometry.width;
        case VERTRES: return g_printerGeometry.height;
        case HORZSIZE: return g_printerGeometry.widthMm;
        case VERTSIZE: return g_printerGeometry.heightMm;
        case LOGPIXELSX:
        case LOGPIXELSY: return g_printerGeometry.dpi;
        }
    }
    return real(dc, index);
}

// Only the local PDF queue of the test run is printed on, never a printer of the machine's own.
bool DefaultPrinterIsTheTestQueue() {
    wchar_t name[256];
    DWORD size = 256;
    return GetDefaultPrinterW(name, &size) != FALSE && std::wcscmp(name, L"Inkwisp_PDF") == 0;
}

void SetInkPixel(int x, int y, COLORREF color) {
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, g_canvas.ink);
    SetPixelV(memory, x, y, color);
    SelectObject(memory, old);
    DeleteDC(memory);
}

// Red ink with a blue top-left quarter, so that a square drawn turned or mirrored shows.
void PaintQuarteredInk() {
    FillBitmap(g_canvas.ink, RED);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, g_canvas.ink);
    HBRUSH brush = CreateSolidBrush(BLUE);
    RECT quarter = {0, 0, CANVAS_SIZE / 2, CANVAS_SIZE / 2};
    FillRect(memory, &quarter, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
}

// A white 32-bit page standing in for the printer, large enough for every square below.
struct Page {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    DWORD* pixels;
    int width;
    int height;
};

Page MakePage(HDC screen) {
    Page page = {};
    page.width = 1100;
    page.height = 1100;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = page.width;
    info.bmiHeader.biHeight = -page.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    page.bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    page.pixels = static_cast<DWORD*>(bits);
    page.dc = CreateCompatibleDC(screen);
    page.old = SelectObject(page.dc, page.bitmap);
    PatBlt(page.dc, 0, 0, page.width, page.height, WHITENESS);
    return page;
}

void FreePage(const Page& page) {
    SelectObject(page.dc, page.old);
    DeleteDC(page.dc);
    DeleteObject(page.bitmap);
}

COLORREF PagePixel(const Page& page, int x, int y) {
    GdiFlush();
    const DWORD bgr = page.pixels[y * page.width + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

// The canvas drawn quartered into `square`: blue top-left quarter, red elsewhere, white around.
// Edge pixels may be blended by scaling, so each check keeps two pixels off every edge.
void ExpectQuarteredSquare(const Page& page, const PrintSquare& square) {
    const int left = square.x, top = square.y;
    const int right = square.x + square.side - 1, bottom = square.y + square.side - 1;
    const int middleX = square.x + square.side / 2, middleY = square.y + square.side / 2;
    struct Probe {
        int x, y;
        COLORREF color;
    } probes[] = {
        {left + 2, top + 2, BLUE},    {middleX - 3, middleY - 3, BLUE}, {middleX + 3, top + 2, RED},
        {left + 2, middleY + 3, RED}, {right - 2, bottom - 2, RED},     {right - 2, top + 2, RED},
        {left + 2, bottom - 2, RED},  {middleX + 3, middleY + 3, RED},
    };
    for (const Probe& p : probes) {
        EXPECT_EQ(PagePixel(page, p.x, p.y), p.color) << "at " << p.x << ", " << p.y;
    }
    // Just outside the square, wherever the page goes on.
    const Probe outside[] = {{left - 3, middleY, WHITE},
                             {right + 3, middleY, WHITE},
                             {middleX, top - 3, WHITE},
                             {middleX, bottom + 3, WHITE}};
    for (const Probe& p : outside) {
        if (p.x >= 0 && p.y >= 0 && p.x < page.width && p.y < page.height) {
            EXPECT_EQ(PagePixel(page, p.x, p.y), p.color) << "at " << p.x << ", " << p.y;
        }
    }
}

// The replacement for GetDeviceCaps that makes `page` report `geometry`.
void* ReportGeometryOf(const Page& page, const PrinterGeometry& geometry) {
    g_printerPage = page.dc;
    g_printerGeometry = geometry;
    return reinterpret_cast<void*>(&ReportPrinterGeometry);
}

class PrintTest : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow(800, 600);
        ResetInkLayer();
        ResetBackgroundLayer();
        ComposeCanvas();
        g_view = {1.0, 0, 0, NO_POINT};
        screen_ = GetDC(g_app.hwnd);
    }

    void TearDown() override {
        g_document.modified = 0;
        ReleaseDC(g_app.hwnd, screen_);
    }

    // Runs the Print command with the print dialog answered by `answer`.
    void PrintAnswering(int answer) {
        if (!DefaultPrinterIsTheTestQueue()) {
            GTEST_SKIP() << "Wine's default printer is not the local PDF queue Inkwisp_PDF";
        }
        ASSERT_TRUE(RecordPrintDialogCalls());
        int printDialogsSeen = 0;
        g_dialogCall = {};
        g_freedBlocks.clear();
        const ScopedImport recordFree("kernel32.dll", "GlobalFree",
                                      reinterpret_cast<void*>(&RecordGlobalFree));
        // Any dialog but the program's message boxes is the print dialog.
        const DialogAnswer printDialog(Not(IsMessageBox()), [&](HWND dialog) {
            ++printDialogsSeen;
            PostMessageW(dialog, WM_COMMAND, answer, 0);
        });
        PrintCanvas();
        PumpMessages();
        ASSERT_EQ(g_dialogCall.calls, 1);
        EXPECT_EQ(printDialogsSeen, 1);
    }

    HDC screen_ = nullptr;
};

TEST_F(PrintTest, StretchCopyPutsTheCompositeInTheCentredSquare) {
    const struct {
        PrinterGeometry printer;
        PrintSquare square;
    } cases[] = {
        {{700, 1000, 59, 85, 300}, {0, 150, 700}}, // portrait
        {{1001, 600, 85, 51, 300}, {200, 0, 600}}, // landscape, odd difference
        {{900, 900, 76, 76, 300}, {0, 0, 900}},
    };
    PaintQuarteredInk();
    ASSERT_EQ(ComposeCanvas(), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.printer.width << " x " << c.printer.height);
        const Page page = MakePage(screen_);
        bool stretched = false;
        {
            ScopedImport geometry("gdi32.dll", "GetDeviceCaps", ReportGeometryOf(page, c.printer));
            stretched = DrawCanvasOnPage(page.dc, screen_);
        }
        EXPECT_TRUE(stretched);
        ExpectQuarteredSquare(page, c.square);
        FreePage(page);
    }
}

TEST_F(PrintTest, RefusedStretchCopyFallsBackToTheSquareFromMillimetresAndScreenResolution) {
    // A 300-dpi printer: the fallback lays out 203 x 290 mm at the screen's resolution.
    const PrinterGeometry printer = {2397, 3425, 203, 290, 300};
    const Page page = MakePage(screen_);
    PaintQuarteredInk();
    ASSERT_EQ(ComposeCanvas(), 1);
    bool stretched = true;
    {
        ScopedImport geometry("gdi32.dll", "GetDeviceCaps", ReportGeometryOf(page, printer));
        ScopedImport refusal("gdi32.dll", "StretchBlt", reinterpret_cast<void*>(&RefuseStretchBlt));
        ASSERT_NE(refusal.previous_, nullptr);
        stretched = DrawCanvasOnPage(page.dc, screen_);
    }
    EXPECT_FALSE(stretched);
    // The test display's screen has Wine's 96 dots per inch: 767 pixels at (0, 162).
    ASSERT_EQ(GetDeviceCaps(screen_, LOGPIXELSX), 96);
    ASSERT_EQ(GetDeviceCaps(screen_, LOGPIXELSY), 96);
    const PrintSquare square = {0, 162, 767};
    ExpectQuarteredSquare(page, square);
    FreePage(page);
}

TEST_F(PrintTest, FallbackWithoutACompositeLeavesThePageEmpty) {
    const Page page = MakePage(screen_);
    DeleteObject(g_canvas.composite);
    g_canvas.composite = nullptr;
    DrawCanvasFallback(page.dc, screen_);
    for (int p : {0, page.height / 2, page.height - 1}) {
        EXPECT_EQ(PagePixel(page, p, p), WHITE);
    }
    FreePage(page);
}

TEST_F(PrintTest, CancellingTheDialogComposesNothingAndPrintsNothing) {
    SetInkPixel(10, 10, RED);
    ComposeCanvas();
    SetInkPixel(20, 20, BLUE);
    const HBITMAP composite = g_canvas.composite;
    PrintAnswering(IDCANCEL); // the dialog's own first-use objects are made once per process
    if (IsSkipped()) {
        return;
    }
    const int freeGdiHandles = CountFreeGdiHandles();

    // Wine's dialog may still make an object of its own once, when the queue's state has changed
    // since the first call; what a cancel itself leaves behind would grow with every cancel.
    constexpr int CANCELS = 4;
    for (int i = 0; i < CANCELS; ++i) {
        PrintAnswering(IDCANCEL);
        EXPECT_FALSE(g_dialogCall.result);
        EXPECT_EQ(g_dialogCall.returned.hDC, nullptr);
        for (HGLOBAL block : {g_dialogCall.returned.hDevMode, g_dialogCall.returned.hDevNames}) {
            EXPECT_TRUE(block == nullptr || WasFreed(block));
        }
    }
    EXPECT_LT(freeGdiHandles - CountFreeGdiHandles(), CANCELS);
    EXPECT_EQ(g_canvas.composite, composite);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 10, 10), RED);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 20, 20), WHITE);
}

TEST_F(PrintTest, PrintingComposesAndReleasesWhatItMadeButKeepsDocumentAndView) {
    SetInkPixel(30, 40, RED);
    CopyText(g_document.name, NAME_CAPACITY, L"memo.png");
    g_document.modified = 1;
    const DocumentState document = g_document;
    g_view = {1.5, 120, 80, NO_POINT};
    PrintAnswering(IDCANCEL); // the dialog's own first-use objects are made once per process
    if (IsSkipped()) {
        return;
    }
    // Wine's printing makes objects of its own once more when it first finds the queue busy with
    // the job before: two prints come first. What a print itself left behind would grow with
    // every print.
    PrintAnswering(IDOK);
    PrintAnswering(IDOK);
    const int freeGdiHandles = CountFreeGdiHandles();
    constexpr int PRINTS = 3;
    for (int i = 0; i < PRINTS; ++i) {
        PrintAnswering(IDOK);
        ASSERT_TRUE(g_dialogCall.result);
        EXPECT_EQ(g_dialogCall.given.lStructSize, sizeof(PRINTDLGW));
        EXPECT_EQ(g_dialogCall.given.Flags, 0x140104u);
        EXPECT_EQ(g_dialogCall.given.hwndOwner, g_app.hwnd);
        EXPECT_EQ(g_dialogCall.given.hDevMode, nullptr);
        EXPECT_EQ(g_dialogCall.given.hDevNames, nullptr);
        // The printer's device context and the blocks that the dialog returned are released.
        ASSERT_NE(g_dialogCall.returned.hDC, nullptr);
        EXPECT_EQ(GetObjectType(g_dialogCall.returned.hDC), 0u);
        ASSERT_NE(g_dialogCall.returned.hDevMode, nullptr);
        ASSERT_NE(g_dialogCall.returned.hDevNames, nullptr);
        EXPECT_TRUE(WasFreed(g_dialogCall.returned.hDevMode));
        EXPECT_TRUE(WasFreed(g_dialogCall.returned.hDevNames));
    }
    EXPECT_LT(freeGdiHandles - CountFreeGdiHandles(), PRINTS);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 30, 40), RED);

    EXPECT_EQ(std::memcmp(&g_document, &document, sizeof(document)), 0);
    EXPECT_EQ(g_view.zoom, 1.5);
    EXPECT_EQ(g_view.originX, 120);
    EXPECT_EQ(g_view.originY, 80);
}

int g_documentsStarted = 0;

int WINAPI CountStartedDocument(HDC, const DOCINFOW*) {
    ++g_documentsStarted;
    return SP_ERROR;
}

TEST_F(PrintTest, InkThatCannotBeComposedStartsNoPrintJob) {
    SetInkPixel(30, 40, RED);
    g_documentsStarted = 0;
    {
        ScopedImport started("gdi32.dll", "StartDocW",
                             reinterpret_cast<void*>(&CountStartedDocument));
        ASSERT_NE(started.previous_, nullptr);
        const ScopedFailingTransparentBlt failing;
        PrintAnswering(IDOK);
    }
    if (IsSkipped()) {
        return;
    }
    ASSERT_TRUE(g_dialogCall.result);
    EXPECT_EQ(g_documentsStarted, 0);
    EXPECT_EQ(GetObjectType(g_dialogCall.returned.hDC), 0u);
}

// The print dialog's choice: a memory device, on which the document starts and its page does not.
HDC g_printer;
int g_aborted;

BOOL WINAPI ChooseMemoryDevice(LPPRINTDLGW dialog) {
    dialog->hDC = g_printer = CreateCompatibleDC(nullptr);
    return TRUE;
}

int WINAPI CountAbortedJob(HDC) {
    return ++g_aborted;
}

TEST_F(PrintTest, APageThatCannotStartAbortsTheJobAndThePrinterIsReleased) {
    const ScopedImport swapped[] = {
        {"comdlg32.dll", "PrintDlgW", reinterpret_cast<void*>(&ChooseMemoryDevice)},
        {"gdi32.dll", "StartDocW", reinterpret_cast<void*>(&Answer<int, 1, HDC, const DOCINFOW*>)},
        {"gdi32.dll", "StartPage", reinterpret_cast<void*>(&Answer<int, SP_ERROR, HDC>)},
        {"gdi32.dll", "AbortDoc", reinterpret_cast<void*>(&CountAbortedJob)}};
    PrintCanvas();
    EXPECT_EQ(g_aborted, 1);
    EXPECT_EQ(GetObjectType(g_printer), 0u);
}

// One page on the local PDF queue through the GDI+ path, for tests/e2e/test_print.py to read
// back from the PDF; it runs only when asked for by name.
TEST_F(PrintTest, DISABLED_FallbackPageOnTheQueue) {
    PaintQuarteredInk();
    ScopedImport refusal("gdi32.dll", "StretchBlt", reinterpret_cast<void*>(&RefuseStretchBlt));
    ASSERT_NE(refusal.previous_, nullptr);
    PrintAnswering(IDOK);
    if (IsSkipped()) {
        return;
    }
    EXPECT_TRUE(g_dialogCall.result);
}

} // namespace
