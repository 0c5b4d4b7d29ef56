// The view's painting: strokes, scrolls and zooms shown as a repaint of the whole shows them, on
// real GDI bitmaps under Wine.
#include <gtest/gtest.h>

#include <utility>

#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "canvas/history.h"
#include "control/controller.h"
#include "view/view.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/settings.h"
#include "scoped_import.h"
#include "view_pictures.h"
#include "wine_app.h"

namespace {

class ViewTest : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow(800, 600);
        ResetInkLayer();
        ResetBackgroundLayer();
        g_view = {1.0, 0, 0, NO_POINT};
        g_pen.color = RGB(0, 0, 0);
        g_pen.width = 4;
        g_settings.backgroundEnabled = 0;
        g_document.modified = 0;
    }

    // Ink full of detail, with stripes of empty ink that show the background.
    void PaintBusyInk() {
        PaintNoise(g_canvas.ink, 5u);
        for (int y = 0; y < CANVAS_SIZE; y += 16) {
            FillBitmapRect(g_canvas.ink, 0, y, CANVAS_SIZE, y + 9, WHITE);
        }
    }

    // A stroke as the window receives it: press, moves with the button held, release.
    void Stroke(int x0, int y0, int x1, int y1) {
        SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(x0, y0));
        SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint((x0 + x1) / 2, (y0 + y1) / 2));
        SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(x1, y1));
    }
};

TEST_F(ViewTest, StrokesLandWhereTheMappingSays) {
    struct Case {
        double zoom;
        int originX, originY;
        int clientX, clientY;
        int canvasX, canvasY;
    } cases[] = {
        {1.0, 0, 0, 100, 200, 100, 200},
        {2.0, 100, 40, 300, 200, 250, 140},
        {0.5, 0, 0, 300, 200, 600, 400},
    };
    for (const Case& c : cases) {
        ResetInkLayer();
        g_view = {c.zoom, c.originX, c.originY, NO_POINT};
        // A horizontal stroke of 20 client pixels ending at the point.
        Stroke(c.clientX - 20, c.clientY, c.clientX, c.clientY);
        EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, c.canvasX, c.canvasY), RGB(0, 0, 0))
            << "zoom " << c.zoom;
        EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, c.canvasX, c.canvasY + 10), RGB(255, 255, 255))
            << "zoom " << c.zoom;
        EXPECT_EQ(g_document.modified, 1);
        // The same call shows the new ink in the window.
        EXPECT_EQ(ReadClientPixel(c.clientX - 2, c.clientY), RGB(0, 0, 0)) << "zoom " << c.zoom;
    }
}

TEST_F(ViewTest, APressAndReleaseWithoutMoveLeavesADotAndSetsModified) {
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(50, 60));
    EXPECT_EQ(g_document.modified, 0);
    SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(50, 60));
    EXPECT_EQ(g_document.modified, 1);
    EXPECT_TRUE(IsNoPoint(g_view.lastPoint));
}

TEST_F(ViewTest, APaintEndsTheStroke) {
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(50, 60));
    InvalidateRect(g_app.hwnd, nullptr, FALSE);
    UpdateWindow(g_app.hwnd);
    SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(90, 60));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 70, 60), RGB(255, 255, 255));
    EXPECT_EQ(g_document.modified, 0);
}

TEST_F(ViewTest, AMoveWithTheButtonUpEndsTheStrokeInsteadOfDrawing) {
    // The button was released outside the window: the release never arrived.
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(50, 60));
    SendToMainWindow(WM_MOUSEMOVE, 0, PackPoint(300, 60));
    SendToMainWindow(WM_MOUSEMOVE, 0, PackPoint(310, 60));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 200, 60), RGB(255, 255, 255));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 305, 60), RGB(255, 255, 255));
    EXPECT_TRUE(IsNoPoint(g_view.lastPoint));
    EXPECT_EQ(g_document.modified, 0);
}

TEST_F(ViewTest, TheEraserWritesEmptyInk) {
    Stroke(100, 100, 200, 100);
    g_pen.color = ERASER_COLOR;
    g_pen.width = 32;
    Stroke(140, 100, 160, 100);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 150, 100), RGB(255, 255, 255));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 110, 100), RGB(0, 0, 0));
}

TEST_F(ViewTest, BackgroundShowsUnderInkOnlyWhileEnabled) {
    FillBitmap(g_canvas.background, RGB(0, 120, 0));
    g_pen.color = RGB(200, 0, 0); // ANDed with the green, it would show black
    Stroke(100, 100, 200, 100);
    FillBitmapRect(g_canvas.ink, 150, 150, 160, 160, RGB(255, 255, 254)); // not empty
    PaintView(PaintForm::Immediate);
    EXPECT_EQ(ReadClientPixel(300, 300), RGB(255, 255, 255));
    g_settings.backgroundEnabled = 1;
    for (double zoom : {1.0, 2.0}) {
        MoveView({zoom, 0, 0, NO_POINT});
        PaintView(PaintForm::Immediate);
        const auto at = [zoom](int canvas) { return static_cast<int>(canvas * zoom) + 1; };
        EXPECT_EQ(ReadClientPixel(at(120), at(130)), RGB(0, 120, 0)) << zoom;
        EXPECT_EQ(ReadClientPixel(at(150), at(100)), RGB(200, 0, 0)) << zoom;
        EXPECT_EQ(ReadClientPixel(at(155), at(155)), RGB(255, 255, 254)) << zoom;
    }
}

TEST_F(ViewTest, ABackgroundShrunkAtHalfZoomKeepsItsColours) {
    // Rows alternate red and green: a shrink that merged them would show black or yellow.
    for (int y = 0; y < 400; y += 2) {
        FillBitmapRect(g_canvas.background, 0, y, 400, y + 1, RGB(200, 0, 0));
        FillBitmapRect(g_canvas.background, 0, y + 1, 400, y + 2, RGB(0, 200, 0));
    }
    g_settings.backgroundEnabled = 1;
    g_view = {0.5, 0, 0, NO_POINT};
    PaintView(PaintForm::Immediate);
    for (int y = 10; y < 190; y += 7) {
        const COLORREF shown = ReadClientPixel(100, y);
        EXPECT_TRUE(shown == RGB(200, 0, 0) || shown == RGB(0, 200, 0)) << std::hex << shown;
    }
}

TEST_F(ViewTest, AWindowLargerThanTheCanvasShowsItWhereTheMappingPutsIt) {
    StartTestWindow(1200, 700);
    FillBitmapRect(g_canvas.ink, 2040, 1380, 2048, 1400, BLACK);
    g_view = {0.5, 0, 0, NO_POINT};
    PaintView(PaintForm::Immediate);
    EXPECT_EQ(g_view.originX, -352);
    // The whole width shows: the bar across stays, disabled, and the bar down does not.
    const auto state = [](LONG bar) {
        SCROLLBARINFO info = {};
        info.cbSize = sizeof(info);
        GetScrollBarInfo(g_app.hwnd, bar, &info);
        return info.rgstate[0] & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE);
    };
    EXPECT_EQ(state(OBJID_HSCROLL), static_cast<DWORD>(STATE_SYSTEM_UNAVAILABLE));
    EXPECT_EQ(state(OBJID_VSCROLL), 0u);
    // Client x 176 is canvas x 0; to its left lies no canvas.
    EXPECT_EQ(ReadClientPixel(180, 100), RGB(255, 255, 255));
    EXPECT_EQ(ReadClientPixel(1198, 695), BLACK); // the canvas's right edge at the client's
    EXPECT_NE(ReadClientPixel(170, 100), RGB(255, 255, 255));
    // A stroke off the canvas draws nothing and does not crash.
    Stroke(20, 100, 100, 100);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 0, 200), RGB(255, 255, 255));
    StartTestWindow(800, 600);
}

TEST_F(ViewTest, AZeroSizedClientAreaPaintsWithoutHarm) {
    ShowWindow(g_app.hwnd, SW_MINIMIZE);
    PumpMessages();
    PaintView(PaintForm::Immediate);
    Stroke(10, 10, 20, 20);
    EXPECT_GE(g_view.originX, 0);
    EXPECT_LE(g_view.originX, CANVAS_SIZE);
    ShowWindow(g_app.hwnd, SW_RESTORE);
    StartTestWindow(800, 600);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 15, 15), RGB(0, 0, 0));
}

// A stroke shows only what it touched; the window must then hold exactly what a repaint of the
// whole client shows. Zoom 0.5 in this client shows the canvas with a negative origin.
TEST_F(ViewTest, StrokesShowWhatARepaintOfTheWholeShows) {
    StartTestWindow(1200, 700);
    const struct {
        double zoom;
        int originX, originY;
        int background;
        PenColor color;
        int width;
    } rows[] = {
        {1.0, 100, 50, 0, RED, 16},
        {0.5, 0, 300, 1, RED, 2},
        {0.73, 333, 77, 1, RED, 8},
        {1.37, 45, 901, 0, RED, 4},
        {2.0, 1500, 1600, 1, RED, 64},
        {1.37, 5000, 5000, 1, RED, 16}, // the canvas's bottom and right edges
        {0.73, 900, 900, 1, ERASER_COLOR, ERASER_WIDTH},
        {0.5, 0, 0, 0, ERASER_COLOR, ERASER_WIDTH},
    };
    PaintNoise(g_canvas.background, 99u);
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "zoom " << row.zoom << " pen " << row.width);
        PaintBusyInk();
        g_view = {row.zoom, row.originX, row.originY, NO_POINT};
        g_settings.backgroundEnabled = row.background;
        g_pen.color = row.color;
        g_pen.width = row.width;
        PaintView(PaintForm::Immediate);
        ValidateRect(g_app.hwnd, nullptr);
        for (int stroke = 0; stroke < 3; ++stroke) {
            SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(37 + 400 * stroke, 11));
            for (int move = 1; move < 12; ++move) {
                SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON,
                                 PackPoint(37 + 400 * stroke + move * 31, 11 + move * move * 5));
            }
            SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(1199, 699));
        }
        POINT first = {};
        EXPECT_EQ(CountPixelsUnlikeWholeRepaint(first), 0) << first.x << "," << first.y;
    }
    StartTestWindow(800, 600);
}

// The system's record of the last positions, newest first, in screen coordinates; a count below
// zero: it has none for the point.
int g_recordedCount;
POINT g_recorded[5];

int WINAPI AnswerMoveHistory(UINT, LPMOUSEMOVEPOINT, LPMOUSEMOVEPOINT history, int, DWORD) {
    for (int i = 0; i < g_recordedCount; ++i) {
        history[i] = {};
        history[i].x = g_recorded[i].x & 0xFFFF;
        history[i].y = g_recorded[i].y & 0xFFFF;
    }
    return g_recordedCount < 0 ? -1 : g_recordedCount;
}

TEST_F(ViewTest, AMergedMoveDrawsThroughTheRecordedPoints) {
    const ScopedImport history("user32.dll", "GetMouseMovePointsEx",
                               reinterpret_cast<void*>(&AnswerMoveHistory));
    // From (100, 300) to (400, 300) by way of (200, 100) and (300, 100), the newest position
    // rounded a pixel off; (100, 500) came before the stroke's previous point.
    const POINT path[] = {{401, 299}, {300, 100}, {200, 100}, {100, 300}, {100, 500}};
    for (int recorded : {5, -1}) {
        SCOPED_TRACE(recorded);
        ResetInkLayer();
        PaintView(PaintForm::Immediate);
        g_recordedCount = recorded;
        for (int i = 0; i < 5; ++i) {
            g_recorded[i] = path[i];
            ClientToScreen(g_app.hwnd, &g_recorded[i]);
        }
        SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(100, 300));
        SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(400, 300));
        const COLORREF detour = recorded > 0 ? BLACK : WHITE;
        for (POINT on : {POINT{150, 200}, POINT{250, 100}, POINT{350, 200}}) {
            EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, on.x, on.y), detour) << on.x;
        }
        EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 250, 300), recorded > 0 ? WHITE : BLACK);
        EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 100, 400), WHITE);
        EXPECT_EQ(ReadClientPixel(250, 100), detour);
        SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(400, 300));
    }
}

int g_scrolls;
int g_trackPosition;

int WINAPI CountScrolls(HWND window, int dx, int dy, const RECT* scrolled, const RECT* clip,
                        HRGN uncovered, LPRECT bounds, UINT flags) {
    ++g_scrolls;
    return SystemFunction<decltype(&ScrollWindowEx)>(L"user32.dll", "ScrollWindowEx")(
        window, dx, dy, scrolled, clip, uncovered, bounds, flags);
}

// The thumb is being dragged to g_trackPosition.
BOOL WINAPI AnswerTrackPosition(HWND window, int bar, LPSCROLLINFO info) {
    const BOOL read =
        SystemFunction<decltype(&GetScrollInfo)>(L"user32.dll", "GetScrollInfo")(window, bar, info);
    info->nTrackPos = (info->fMask & SIF_TRACKPOS) != 0 ? g_trackPosition : info->nTrackPos;
    return read;
}

// Each way of moving the view through the real window, one input a row. The window must then hold
// what a repaint of the whole shows, with the pixels on screen moved (ScrollWindowEx) at zoom 1, 2
// and 0.5 and the whole repainted elsewhere, and the scroll bars must say where the view is.
TEST_F(ViewTest, EveryWayOfMovingTheViewShowsWhatARepaintOfTheWholeShows) {
    const ScopedImport scrolls("user32.dll", "ScrollWindowEx",
                               reinterpret_cast<void*>(&CountScrolls));
    const ScopedImport track("user32.dll", "GetScrollInfo",
                             reinterpret_cast<void*>(&AnswerTrackPosition));
    const struct Row {
        UINT message;
        int code, keys, x, y; // delta, key or request; MK_ keys; pointer, drag's end or thumb
        double zoom;
        int originX, originY, scrolls;
    } rows[] = {
        {WM_MOUSEWHEEL, -120, 0, 10, 10, 1.0, 0, 120, 1},
        {WM_MOUSEHWHEEL, 120, 0, 10, 10, 1.0, 120, 120, 1},
        {WM_MOUSEWHEEL, -120, MK_SHIFT, 10, 10, 1.0, 240, 120, 1},
        {WM_KEYDOWN, VK_NEXT, 0, 0, 0, 1.0, 240, 681, 1},
        {WM_KEYDOWN, VK_NEXT, MK_SHIFT, 0, 0, 1.0, 1000, 681, 1},
        {WM_VSCROLL, SB_LINEDOWN, 0, 0, 0, 1.0, 1000, 721, 1},
        {WM_MBUTTONDOWN, 0, 0, -100, 250, 1.0, 1248, 771, 1},
        {WM_VSCROLL, SB_PAGEDOWN, 0, 0, 0, 1.0, 1248, 1332, 1},
        {WM_VSCROLL, SB_THUMBTRACK, 0, 0, 1000, 1.0, 1248, 1000, 1},
        {WM_VSCROLL, SB_THUMBPOSITION, 0, 0, 1200, 1.0, 1248, 1200, 1},
        {WM_KEYDOWN, VK_END, MK_CONTROL, 0, 0, 1.0, 1248, 1447, 1},
        // Canvas pixel (1448, 1547) stays under the pointer.
        {WM_MOUSEWHEEL, 120, MK_CONTROL, 200, 100, 1.189207, 1280, 1463, 0},
        {WM_MOUSEWHEEL, 120, 0, 10, 10, 1.189207, 1280, 1362, 0},
        // At zoom 2 the pixels move across the even width, not down the odd height.
        {WM_MOUSEWHEEL, 360, MK_CONTROL, 400, 300, 2.0, 1416, 1464, 0},
        {WM_KEYDOWN, VK_LEFT, 0, 0, 0, 2.0, 1396, 1464, 1},
        {WM_KEYDOWN, VK_UP, 0, 0, 0, 2.0, 1396, 1444, 0},
        {WM_KEYDOWN, '0', MK_CONTROL, 0, 0, 1.0, 1196, 1294, 0},
        {WM_MOUSEWHEEL, -480, MK_CONTROL, 0, 0, 0.5, 448, 846, 0},
        {WM_MOUSEWHEEL, 120, 0, 10, 10, 0.5, 448, 606, 1},
        // The pointer is off the client: the zoom keeps to the client's nearest point, (0, 600).
        {WM_MOUSEWHEEL, 120, MK_CONTROL, -300, 900, 0.594604, 448, 797, 0},
        {WM_MOUSEWHEEL, -120, MK_CONTROL, -300, 900, 0.5, 448, 606, 0},
        {WM_KEYDOWN, VK_HOME, MK_CONTROL, 0, 0, 0.5, 0, 0, 1},
    };
    StartTestWindow(800, 601);
    PaintNoise(g_canvas.background, 99u);
    PaintBusyInk();
    g_settings.backgroundEnabled = 1;
    PaintView(PaintForm::Immediate);
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "message " << row.message << " code " << row.code);
        g_scrolls = 0;
        if (row.message == WM_KEYDOWN) {
            SendKeyDown(row.code, static_cast<WORD>(row.keys));
        } else if (row.message == WM_MBUTTONDOWN) { // a drag from (400, 300) under a hand
            SendToMainWindow(WM_MBUTTONDOWN, MK_MBUTTON, PackPoint(400, 300));
            SendToMainWindow(WM_MOUSEMOVE, MK_MBUTTON, PackPoint(row.x, row.y));
            EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
            SendToMainWindow(WM_MBUTTONUP, 0, PackPoint(row.x, row.y));
            EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
        } else if (row.message == WM_HSCROLL || row.message == WM_VSCROLL) {
            // The thumb's place is in the bar's record while it is dragged, and in the message at
            // the drag's end and for "Scroll Here"; 999 is not its place.
            const bool inMessage = row.code == SB_THUMBPOSITION;
            g_trackPosition = inMessage ? 999 : row.y;
            SendToMainWindow(row.message, MAKEWPARAM(row.code, inMessage ? row.y : 999));
        } else {
            SendToMainWindow(row.message, MAKEWPARAM(row.keys, row.code),
                             PackScreenPoint(row.x, row.y));
        }
        EXPECT_NEAR(g_view.zoom, row.zoom, 1e-6);
        EXPECT_EQ(g_scrolls, row.scrolls);
        POINT first = {};
        EXPECT_EQ(CountPixelsUnlikeWholeRepaint(first), 0) << first.x << "," << first.y;
        EXPECT_EQ(g_view.originX, row.originX);
        EXPECT_EQ(g_view.originY, row.originY);
        const SCROLLINFO across = ReadScrollBar(SB_HORZ);
        const SCROLLINFO down = ReadScrollBar(SB_VERT);
        EXPECT_EQ(down.nMax, CANVAS_SIZE - 1);
        EXPECT_EQ(across.nPage, static_cast<UINT>(VisibleSpan(800, row.zoom)));
        EXPECT_EQ(down.nPage, static_cast<UINT>(VisibleSpan(601, row.zoom)));
        EXPECT_EQ(across.nPos, row.originX);
        EXPECT_EQ(down.nPos, row.originY);
    }
    // Ten small turns queued while the window was busy move it once, as far as a notch.
    g_scrolls = 0;
    for (int i = 0; i < 10; ++i) {
        PostMessageW(g_app.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -12), PackScreenPoint(10, 10));
    }
    PumpMessages();
    EXPECT_EQ(g_scrolls, 1);
    EXPECT_EQ(g_view.originY, 240);
    // A move of the view ends the stroke in progress, and is no edit: nothing to undo.
    StartHistory();
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(50, 60));
    SendKeyDown(VK_DOWN, 0);
    SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(90, 60));
    EXPECT_EQ(g_document.modified, 0);
    EXPECT_FALSE(UndoStep());
    StartTestWindow(800, 600);
}

// A client that grows mid-stroke (a window maximized, a tablet turned) may move the view: the
// stroke goes on from the canvas point it reached, never from where that point's client position
// now lies.
TEST_F(ViewTest, AStrokeGoesOnFromItsCanvasPointWhenTheClientGrows) {
    g_view = {1.0, 1248, 0, NO_POINT}; // the canvas's right edge at the client's
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(700, 100)); // canvas (1948, 100)
    SetWindowPos(g_app.hwnd, nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER);
    SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(710, 100));
    EXPECT_EQ(g_view.originX, 2048 - ReadClientSize().width);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 1850, 100), BLACK);
    SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(710, 100));
    StartTestWindow(800, 600);
}

// Without memory for the frame kept from frame to frame, a frame is still drawn whole, a row at a
// time at the next paint.
TEST_F(ViewTest, AFrameWithoutItsBufferShowsWhatARepaintOfTheWholeShows) {
    PaintNoise(g_canvas.background, 3u);
    g_settings.backgroundEnabled = 1;
    PaintView(PaintForm::Immediate);
    ReleaseView();
    {
        const ScopedImport failing("gdi32.dll", "CreateDIBSection", NO_DIB_SECTION);
        Stroke(100, 100, 300, 150);
        PumpMessages();
    }
    POINT first = {};
    EXPECT_EQ(CountPixelsUnlikeWholeRepaint(first), 0) << first.x << "," << first.y;
}

// At every zoom a pinch passes through, background on and off, on a client of no round size, a
// frame shows what the platform's stretches of the layers show.
TEST_F(ViewTest, AFrameAtEveryZoomShowsWhatThePlatformsStretchesShow) {
    StartTestWindow(803, 611);
    PaintBusyInk();
    PaintNoise(g_canvas.background, 17u);
    for (double zoom : {0.5, 0.71, 1.37, 2.0}) {
        for (int background : {0, 1}) {
            g_settings.backgroundEnabled = background;
            ShowView({zoom, 131, 77, NO_POINT});
            PaintView(PaintForm::Immediate);
            const std::vector<std::uint32_t> shown = ReadClientArea();
            const std::vector<std::uint32_t> stretched = ComposeViewWithGdi();
            int unlike = 0;
            for (size_t i = 0; i < shown.size(); ++i) {
                unlike += shown[i] != stretched[i];
            }
            EXPECT_EQ(unlike, 0) << "zoom " << zoom << ", background " << background;
        }
    }
    StartTestWindow(800, 600);
}

TEST_F(ViewTest, PaintingManyTimesLeaksNoGdiObjects) {
    PaintView(PaintForm::Immediate);
    const int before = CountFreeGdiHandles();
    ASSERT_GT(before, 1000);
    for (int i = 0; i < 60; ++i) {
        SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(10 + i, 10));
        SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(20 + i, 30));
        SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(30 + i, 40));
        InvalidateRect(g_app.hwnd, nullptr, FALSE);
        UpdateWindow(g_app.hwnd);
    }
    EXPECT_EQ(CountFreeGdiHandles(), before);
    ReleaseView(); // as the window goes: the back buffer's bitmap and context
    EXPECT_EQ(CountFreeGdiHandles(), before + 2);
}

} // namespace
