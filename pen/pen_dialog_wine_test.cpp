// The Pen dialog as the user meets it: opened by the real commands, painted, and clicked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "dialog_driver.h"
#include "pen/eraser.h"
#include "pen/palette_layout.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/window_dpi.h"
#include "res/resource.h"
#include "wine_app.h"

namespace {

// The palette as the user is promised it, RRGGBB, top row first.
const unsigned PALETTE[PALETTE_ROWS][PALETTE_COLUMNS] = {
    {0x000000, 0x202020, 0x404040, 0x606060, 0x808080, 0xA0A0A0, 0xC0C0C0, 0xE0E0E0, 0xFFFFFF},
    {0x600000, 0x800000, 0xA00000, 0xC00000, 0xE00000, 0xFF0000, 0xFF4040, 0xFF8080, 0xFFC0C0},
    {0x606000, 0x808000, 0xA0A000, 0xC0C000, 0xE0E000, 0xFFFF00, 0xFFFF40, 0xFFFF80, 0xFFFFC0},
    {0x006000, 0x008000, 0x00A000, 0x00C000, 0x00E000, 0x00FF00, 0x40FF40, 0x80FF80, 0xC0FFC0},
    {0x006060, 0x008080, 0x00A0A0, 0x00C0C0, 0x00E0E0, 0x00FFFF, 0x40FFFF, 0x80FFFF, 0xC0FFFF},
    {0x000060, 0x000080, 0x0000A0, 0x0000C0, 0x0000E0, 0x0000FF, 0x4040FF, 0x8080FF, 0xC0C0FF},
    {0x600060, 0x800080, 0xA000A0, 0xC000C0, 0xE000E0, 0xFF00FF, 0xFF40FF, 0xFF80FF, 0xFFC0FF},
};

COLORREF PaletteColor(int row, int column) {
    const unsigned rgb = PALETTE[row][column];
    return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

PenDialogLayout LayoutOf(HWND dialog) {
    const SIZE size = ClientSize(dialog);
    return ComputePenDialogLayout(size.cx, size.cy, WindowDpi(dialog));
}

POINT CellCentre(const PenDialogLayout& layout, int row, int column) {
    return {(2 * column + 1) * layout.paletteWidth / (2 * PALETTE_COLUMNS),
            (2 * row + 1) * layout.height / (2 * PALETTE_ROWS)};
}

void ClickCell(HWND dialog, int row, int column) {
    const POINT centre = CellCentre(LayoutOf(dialog), row, column);
    ClickAt(dialog, centre.x, centre.y);
}

COLORREF SampleMiddle(HWND dialog, int k) {
    const SampleStroke sample = ComputeSampleStroke(LayoutOf(dialog), k);
    return ReadWindowPixel(dialog, (sample.x0 + sample.x1) / 2, (sample.y0 + sample.y1) / 2);
}

void OpenPenDialog() {
    SendToMainWindow(WM_COMMAND, IDM_PEN);
}

class PenDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow(800, 600);
        g_pen = {RGB(0, 0, 0), 4, RGB(0, 0, 0), 4, RGB(0, 0, 0), 4};
        UpdateEraserMenuItem();
    }
};

TEST_F(PenDialogTest, TemplateIsAJapaneseFixedDialogWithoutControls) {
    const DialogTemplate dialog = ReadDialogTemplate(g_app.hinstance, IDD_PEN);
    ASSERT_TRUE(dialog.found);
    ExpectProgramDialogFrame(dialog, L"Pen");
    EXPECT_EQ(dialog.menu, 0);
    EXPECT_EQ(dialog.windowClass, 0);
    EXPECT_TRUE(dialog.items.empty());
}

TEST_F(PenDialogTest, PaletteBitmapIsNineBySevenTwentyFourBitCells) {
    HRSRC resource = FindResourceExW(g_app.hinstance, RT_BITMAP, MAKEINTRESOURCEW(IDB_PALETTE),
                                     MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    ASSERT_NE(resource, nullptr);
    const BYTE* data =
        static_cast<const BYTE*>(LockResource(LoadResource(g_app.hinstance, resource)));
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    EXPECT_EQ(header.biWidth, PALETTE_COLUMNS);
    EXPECT_EQ(header.biHeight, PALETTE_ROWS); // bottom-up
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    const BYTE* pixels = data + header.biSize;
    const int stride = (PALETTE_COLUMNS * 3 + 3) / 4 * 4;
    for (int row = 0; row < PALETTE_ROWS; ++row) {
        for (int column = 0; column < PALETTE_COLUMNS; ++column) {
            const BYTE* bgr = pixels + (PALETTE_ROWS - 1 - row) * stride + column * 3;
            EXPECT_EQ(RGB(bgr[2], bgr[1], bgr[0]), PaletteColor(row, column))
                << "row " << row << " column " << column;
        }
    }
}

TEST_F(PenDialogTest, PaintsThePaletteAndFiveSamplesInThePenColour) {
    g_pen.color = RGB(0, 0, 0x80);
    int gdiBefore = 0;
    int gdiAfter = 0;
    WhenDialogShows(WithCaption(L"Pen"), [&](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), g_app.hwnd);
        EXPECT_EQ(GetWindow(dialog, GW_CHILD), nullptr);
        const PenDialogLayout layout = LayoutOf(dialog);
        for (int row = 0; row < PALETTE_ROWS; ++row) {
            for (int column = 0; column < PALETTE_COLUMNS; ++column) {
                const POINT centre = CellCentre(layout, row, column);
                EXPECT_EQ(ReadWindowPixel(dialog, centre.x, centre.y), PaletteColor(row, column))
                    << "row " << row << " column " << column;
            }
        }
        // The palette ends at P - 1; the rest shows the dialog's own background.
        EXPECT_EQ(ReadWindowPixel(dialog, layout.paletteWidth - 1, 1), PaletteColor(0, 8));
        EXPECT_EQ(ReadWindowPixel(dialog, layout.paletteWidth, 1), GetSysColor(COLOR_3DFACE));
        for (int k = 0; k < WIDTH_SAMPLE_COUNT; ++k) {
            EXPECT_EQ(SampleMiddle(dialog, k), RGB(0, 0, 0x80)) << "sample " << k;
            const SampleStroke sample = ComputeSampleStroke(layout, k);
            EXPECT_EQ(ReadWindowPixel(dialog, sample.x0 - 20, sample.y0),
                      GetSysColor(COLOR_3DFACE));
        }
        // Nothing is kept from one paint to the next.
        RepaintCountingGdiHandles(dialog, gdiBefore, gdiAfter);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenPenDialog);
    EXPECT_GT(gdiBefore, 0);
    EXPECT_EQ(gdiAfter, gdiBefore);
}

// At 200 % (the 192-DPI prefix) the system doubles the dialog and the palette fills it as at
// 100 %: every click picks the cell drawn under it. The samples are drawn by hand: their widths
// and their 64-unit margins must double too.
TEST_F(PenDialogTest, At192DpiClicksPickTheDrawnCellsAndTheSamplesAreTwiceAsWide) {
    ASSERT_EQ(WindowDpi(g_app.hwnd), 192) << "not run in the 192-DPI prefix";
    g_pen.color = RGB(0, 0, 0x80);
    WhenDialogShows(WithCaption(L"Pen"), [](HWND dialog) {
        const SIZE client = ClientSize(dialog);
        for (int k = 0; k < WIDTH_SAMPLE_COUNT; ++k) {
            // The end cap reaches half the width right of the end, which lies 128 pixels in.
            const int endX = client.cx - 128;
            const int endY = client.cy * (4 * k + 3) / 20;
            EXPECT_NEAR(CountColorToTheRight(dialog, endX, endY, RGB(0, 0, 0x80)), 2 << k, 1)
                << "sample " << k;
        }
        for (int row = 0; row < PALETTE_ROWS; ++row) {
            for (int column = 0; column < PALETTE_COLUMNS; ++column) {
                ClickCell(dialog, row, column);
                EXPECT_EQ(g_pen.color, PaletteColor(row, column)) << row << ", " << column;
            }
        }
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs(OpenPenDialog);
}

TEST_F(PenDialogTest, OpensAtTheTopLeftOfTheWindowsClientArea) {
    WhenDialogShows(WithCaption(L"Pen"), [](HWND dialog) {
        POINT dialogOrigin = {0, 0};
        ClientToScreen(dialog, &dialogOrigin);
        POINT ownerOrigin = {0, 0};
        ClientToScreen(g_app.hwnd, &ownerOrigin);
        EXPECT_EQ(dialogOrigin.x, ownerOrigin.x);
        EXPECT_EQ(dialogOrigin.y, ownerOrigin.y);
        const LONG style = GetWindowLongW(dialog, GWL_STYLE);
        EXPECT_EQ(style & WS_THICKFRAME, 0); // a fixed size
        EXPECT_NE(style & WS_SYSMENU, 0);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    RunDialogs(OpenPenDialog);
}

TEST_F(PenDialogTest, ColourPicksKeepTheDialogOpenAndRepaintTheSamples) {
    WhenDialogShows(WithCaption(L"Pen"), [](HWND dialog) {
        ClickCell(dialog, 1, 5);
        EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0xFF, 0, 0)));
        EXPECT_EQ(g_pen.savedColor, static_cast<PenColor>(RGB(0xFF, 0, 0)));
        EXPECT_TRUE(IsWindowVisible(dialog));
        UpdateWindow(dialog);
        for (int k = 0; k < WIDTH_SAMPLE_COUNT; ++k) {
            EXPECT_EQ(SampleMiddle(dialog, k), RGB(0xFF, 0, 0)) << "sample " << k;
        }

        ClickCell(dialog, 4, 7);
        EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0x80, 0xFF, 0xFF)));
        EXPECT_EQ(g_pen.width, 4);
        EXPECT_EQ(EraserMenuText(), L"消しゴム(&E)");

        // A point that shows nothing (below the client area) has no colour to take.
        ClickAt(dialog, 10, 65535);
        EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0x80, 0xFF, 0xFF)));
        EXPECT_TRUE(IsWindowVisible(dialog));
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    RunDialogs(OpenPenDialog);
    EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0x80, 0xFF, 0xFF)));
}

TEST_F(PenDialogTest, WhiteMakesTheEraserWithTheCurrentWidth) {
    WhenDialogShows(WithCaption(L"Pen"), [](HWND dialog) {
        ClickCell(dialog, 0, 8);
        EXPECT_EQ(g_pen.color, ERASER_COLOR);
        EXPECT_EQ(g_pen.width, 4);
        EXPECT_EQ(g_pen.savedColor, static_cast<PenColor>(RGB(0, 0, 0)));
        EXPECT_EQ(EraserMenuText(), L"元のペン(&E)");

        // With the eraser on, a pick first takes back the remembered width.
        g_pen.width = 32;
        g_pen.savedWidth = 8;
        ClickCell(dialog, 0, 8);
        EXPECT_EQ(g_pen.color, ERASER_COLOR);
        EXPECT_EQ(g_pen.width, 8);
        g_pen.width = 32;
        ClickCell(dialog, 2, 0);
        EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0x60, 0x60, 0)));
        EXPECT_EQ(g_pen.width, 8);
        EXPECT_EQ(EraserMenuText(), L"消しゴム(&E)");

        // x = P is a colour pick: the dialog's background right of the palette.
        const PenDialogLayout layout = LayoutOf(dialog);
        ClickAt(dialog, layout.paletteWidth, layout.height / 2);
        EXPECT_EQ(g_pen.color, static_cast<PenColor>(GetSysColor(COLOR_3DFACE)));
        EXPECT_TRUE(IsWindowVisible(dialog));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    RunDialogs(OpenPenDialog);
    ToggleEraser();
    ToggleEraser();
}

TEST_F(PenDialogTest, WidthPicksSetTheBandsWidthAndCloseTheDialog) {
    struct Case {
        int doublings;
        int width;
    } cases[] = {{0, 2}, {1, 4}, {2, 8}, {3, 16}, {4, 32}, {5, 64}};
    for (const Case& c : cases) {
        g_pen = {RGB(0, 0x80, 0), 4, RGB(0, 0, 0), 6, 0, 4};
        int height = 0;
        WhenDialogShows(WithCaption(L"Pen"), [&](HWND dialog) {
            const PenDialogLayout layout = LayoutOf(dialog);
            height = layout.height;
            // The rows below the five bands give 64: the last row, if the client has such rows.
            const int y = c.doublings < 5 ? c.doublings * layout.bandHeight + layout.bandHeight / 2
                                          : std::max(layout.height - 1, 5 * layout.bandHeight);
            ClickAt(dialog, layout.paletteWidth + 1, y);
        });
        RunDialogs(OpenPenDialog);
        EXPECT_EQ(g_pen.width, c.width)
            << "band " << c.doublings << " of a client " << height << " high";
        EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0, 0x80, 0)));
        // The top band does not record the pen; every other band does, with the final width.
        EXPECT_EQ(g_pen.savedWidth, c.doublings == 0 ? 6 : c.width);
        EXPECT_EQ(g_pen.savedColor,
                  static_cast<PenColor>(c.doublings == 0 ? RGB(0, 0, 0) : RGB(0, 0x80, 0)));
    }
}

TEST_F(PenDialogTest, WidthPickKeepsTheEraser) {
    ToggleEraser();
    WhenDialogShows(WithCaption(L"Pen"), [](HWND dialog) {
        const PenDialogLayout layout = LayoutOf(dialog);
        ClickAt(dialog, layout.width - 1, 2 * layout.bandHeight + 1);
    });
    RunDialogs(OpenPenDialog);
    EXPECT_EQ(g_pen.color, ERASER_COLOR);
    EXPECT_EQ(g_pen.width, 8);
    ToggleEraser();
    EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0, 0, 0)));
    EXPECT_EQ(g_pen.width, 4);
}

TEST_F(PenDialogTest, RightClickOnTheCanvasOpensIt) {
    bool shown = false;
    WhenDialogShows(WithCaption(L"Pen"), [&](HWND dialog) {
        shown = GetWindow(dialog, GW_OWNER) == g_app.hwnd;
        ClickCell(dialog, 5, 5);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    RunDialogs([] { SendToMainWindow(WM_RBUTTONUP, 0, PackPoint(100, 100)); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(0, 0, 0xFF)));
}

} // namespace
