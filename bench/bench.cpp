// Performance figures of the stroke path, scrolling, saving, opening and turning, measured on the
// real main window under Wine. Prints one table; the figures are read by people, never asserted,
// but a run that could not do its work (no window, a file not written or read back, no snapshot)
// fails.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "canvas/history.h"
#include "canvas/history_steps.h"
#include "canvas/quarter_turn.h"
#include "control/controller.h"
#include "view/rotation_preview.h"
#include "view/view.h"
#include "memo/memo_files.h"
#include "memo/snapshot.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/settings.h"
#include "image_writers.h"
#include "scoped_import.h"
#include "view_pictures.h"
#include "wine_app.h"

namespace {

struct Options {
    int repetitions = 40;
    int strokeMoves = 10000;
    int saves = 100;
    int turns = 100;
    std::wstring folder; // where the bench writes its files
};

struct Figures {
    double median;
    double p95;
};

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

Figures Summarize(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const size_t p95 = std::min(times.size() - 1, (times.size() * 95 + 99) / 100 - 1);
    return {times[times.size() / 2], times[p95]};
}

template <typename Step> Figures Measure(int repetitions, Step step) {
    step(); // warm-up
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        const double start = NowMs();
        step();
        times.push_back(NowMs() - start);
    }
    return Summarize(times);
}

void PrintHeader() {
    std::printf("%-52s %10s %10s %9s %9s\n", "case", "median ms", "p95 ms", "x floor", "x blit");
}

void PrintRow(const std::string& name, Figures figures, double floor = 0, double blit = 0) {
    std::printf("%-52s %10.2f %10.2f", name.c_str(), figures.median, figures.p95);
    if (floor > 0) {
        std::printf(" %9.2f", figures.median / floor);
    }
    if (blit > 0) {
        std::printf(" %9.2f", figures.median / blit);
    }
    std::printf("\n");
    std::fflush(stdout);
}

// The frame's own GDI calls, bare: new back buffer, background stretch or white fill, the ink
// laid over with white transparent, and the copy to the window.
void PaintFloorFrame(int width, int height, bool background) {
    const int spanW = VisibleSpan(width, PixelsPerCanvasPixel(g_view));
    const int spanH = VisibleSpan(height, PixelsPerCanvasPixel(g_view));
    HDC window = GetDC(g_app.hwnd);
    HBITMAP backBitmap = CreateCompatibleBitmap(window, width, height);
    HDC back = CreateCompatibleDC(window);
    HGDIOBJ oldBack = SelectObject(back, backBitmap);
    HDC layer = CreateCompatibleDC(window);
    HGDIOBJ oldLayer = SelectObject(layer, g_canvas.background);
    if (background) {
        StretchBlt(back, 0, 0, width, height, layer, g_view.originX, g_view.originY, spanW, spanH,
                   SRCCOPY);
    }
    SelectObject(layer, g_canvas.ink);
    if (!background) {
        PatBlt(back, 0, 0, CANVAS_SIZE, CANVAS_SIZE, WHITENESS);
    }
    TransparentBlt(back, 0, 0, width, height, layer, g_view.originX, g_view.originY, spanW, spanH,
                   RGB(255, 255, 255));
    SelectObject(layer, oldLayer);
    DeleteDC(layer);
    BitBlt(window, 0, 0, width, height, back, 0, 0, SRCCOPY);
    SelectObject(back, oldBack);
    DeleteDC(back);
    DeleteObject(backBitmap);
    ReleaseDC(g_app.hwnd, window);
}

void BlitClientOnce(int width, int height) {
    HDC window = GetDC(g_app.hwnd);
    HDC memory = CreateCompatibleDC(window);
    static HBITMAP bitmap;
    static int bitmapW, bitmapH;
    if (bitmapW != width || bitmapH != height) {
        DeleteObject(bitmap);
        bitmap = CreateCompatibleBitmap(window, width, height);
        bitmapW = width;
        bitmapH = height;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(window, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(g_app.hwnd, window);
}

// One pointer move of a stroke as the window receives it: the segment from the previous point,
// drawn and shown.
void StrokeMove(int step) {
    // Around the client's centre, which shows canvas at every zoom.
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    const int x = client.right / 2 - 200 + (step * 7) % 400;
    const int y = client.bottom / 2 - 150 + (step * 3) % 300;
    g_view.lastPoint = {x, y};
    SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(x + 24, y + 8));
}

// The system's answer for a move that merged eight: the message's point, the eight recorded on
// the way, and the previous point, newest first, in screen coordinates.
int WINAPI AnswerEightMerged(UINT, LPMOUSEMOVEPOINT wanted, LPMOUSEMOVEPOINT history, int, DWORD) {
    POINT origin = {0, 0};
    ClientToScreen(g_app.hwnd, &origin);
    const PixelPoint from = g_view.lastPoint;
    const int dx = static_cast<int>(wanted->x) - origin.x - from.x;
    const int dy = static_cast<int>(wanted->y) - origin.y - from.y;
    for (int i = 0; i <= 9; ++i) {
        history[i] = {};
        history[i].x = origin.x + from.x + dx * (9 - i) / 9;
        history[i].y = origin.y + from.y + dy * (9 - i) / 9 + (i > 0 && i < 9 ? (i % 2) * 3 : 0);
    }
    return 10;
}

void DrawBusyCanvas() {
    std::mt19937 random(20261207);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, g_canvas.ink);
    for (int i = 0; i < 4000; ++i) {
        HPEN pen = CreatePen(PS_SOLID, 1 + static_cast<int>(random() % 16),
                             RGB(random() % 255, random() % 255, random() % 255));
        HGDIOBJ oldPen = SelectObject(memory, pen);
        int x = static_cast<int>(random() % CANVAS_SIZE);
        int y = static_cast<int>(random() % CANVAS_SIZE);
        MoveToEx(memory, x, y, nullptr);
        for (int k = 0; k < 6; ++k) {
            x = std::clamp(x + static_cast<int>(random() % 81) - 40, 0, CANVAS_SIZE - 1);
            y = std::clamp(y + static_cast<int>(random() % 81) - 40, 0, CANVAS_SIZE - 1);
            LineTo(memory, x, y);
        }
        SelectObject(memory, oldPen);
        DeleteObject(pen);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

// The composite as a 24-bit BMP, for the ImageMagick peer.
void WriteCompositeBmp(const std::wstring& path) {
    const std::vector<std::uint32_t> composite = ReadLayer(g_canvas.composite);
    WriteFileBytes(path, MakeBmp(CANVAS_SIZE, CANVAS_SIZE, [&](int x, int y) {
                       const std::uint32_t rgb =
                           composite[static_cast<size_t>(y) * CANVAS_SIZE + x];
                       return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
                   }));
}

// GetGuiResources and the private-bytes counter read 0 under Wine, so objects are counted by
// how many more fit (a leak shows as fewer), and memory by the committed page-file usage.
int CountFreeUserHandles() {
    std::vector<HMENU> menus;
    for (HMENU menu; menus.size() < 200000 && (menu = CreateMenu()) != nullptr;) {
        menus.push_back(menu);
    }
    for (HMENU menu : menus) {
        DestroyMenu(menu);
    }
    return static_cast<int>(menus.size());
}

struct Resources {
    int freeGdi;
    int freeUser;
    SIZE_T committed;
};

Resources ReadResources() {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    return {CountFreeGdiHandles(), CountFreeUserHandles(), memory.PagefileUsage};
}

// Settled: after the first tenth of a run, when caches and pools have grown to their size.
void PrintGrowth(const char* name, const Resources& before, const Resources& settled,
                 const Resources& after) {
    std::printf("%-34s GDI objects %+d   USER objects %+d   committed %6.1f, settled %6.1f, after "
                "%6.1f MiB\n",
                name, settled.freeGdi - after.freeGdi, settled.freeUser - after.freeUser,
                before.committed / 1048576.0, settled.committed / 1048576.0,
                after.committed / 1048576.0);
}

// Runs `step` count times and prints what the run left behind.
template <typename Step> void MeasureGrowth(const char* name, int count, Step step) {
    const Resources before = ReadResources();
    Resources settled = before;
    for (int i = 0; i < count; ++i) {
        step(i);
        if (i + 1 == std::max(1, count / 10)) {
            settled = ReadResources();
        }
    }
    PrintGrowth(name, before, settled, ReadResources());
}

void BenchStrokePath(const Options& options) {
    const int sizes[][2] = {{1280, 800}, {1920, 1080}};
    for (const auto& size : sizes) {
        StartTestWindow(size[0], size[1]);
        RECT client;
        GetClientRect(g_app.hwnd, &client);
        for (double zoom : {0.5, 0.73, 1.0, 1.37, 2.0}) {
            for (int background = 0; background <= 1; ++background) {
                g_settings.backgroundEnabled = background;
                g_view = {zoom, 200, 200, NO_POINT};
                ClampView(g_view, {client.right, client.bottom});
                const Figures blit = Measure(options.repetitions,
                                             [&] { BlitClientOnce(client.right, client.bottom); });
                const Figures floor = Measure(options.repetitions, [&] {
                    PaintFloorFrame(client.right, client.bottom, background != 0);
                });
                // The display server is still drawing the last full frames: let it settle, so
                // that their cost is not counted in the stroke's.
                GdiFlush();
                Sleep(300);
                int step = 0;
                const Figures stroke = Measure(options.repetitions, [&] { StrokeMove(step++); });
                char name[96];
                std::snprintf(name, sizeof(name), "stroke %ldx%ld zoom %.1f background %s",
                              client.right, client.bottom, zoom, background ? "on" : "off");
                PrintRow(name, stroke, floor.median, blit.median);
                if (zoom == 1.0) {
                    g_history.paused = true;
                    PrintRow("  the same with the undo history off",
                             Measure(options.repetitions, [&] { StrokeMove(step++); }),
                             floor.median, blit.median);
                    g_history.paused = false;
                    const ScopedImport merged("user32.dll", "GetMouseMovePointsEx",
                                              reinterpret_cast<void*>(&AnswerEightMerged));
                    PrintRow("  the same, a move that draws 8 merged points",
                             Measure(options.repetitions, [&] { StrokeMove(step++); }),
                             floor.median, blit.median);
                }
                PrintRow("  repaint of the whole client (PaintView)",
                         Measure(options.repetitions, [] { PaintView(PaintForm::Immediate); }),
                         floor.median, blit.median);
                // A pinch moves the zoom on every frame, so every frame is a whole repaint at a
                // zoom the frame before did not show.
                int pinch = 0;
                const double nudged = zoom < 1.0 ? zoom * 1.01 : zoom * 0.99;
                PrintRow("  a pinch frame (the zoom moves each frame)",
                         Measure(options.repetitions,
                                 [&] {
                                     ViewState target = g_view;
                                     target.zoom = pinch++ % 2 == 0 ? nudged : zoom;
                                     ShowView(target);
                                 }),
                         floor.median, blit.median);
                g_view.zoom = zoom;
                std::snprintf(name, sizeof(name), "  floor (bare GDI frame), client BitBlt");
                std::printf("%-52s %10.2f %10.2f %9s %9.2f\n", name, floor.median, floor.p95, "",
                            blit.median);
            }
        }
    }
    g_settings.backgroundEnabled = 0;
    g_view = {1.0, 0, 0, NO_POINT};
}

// Lets the scroll bars be drawn, as they are once the window has no input left.
void DrawIdleScrollBars() {
    Sleep(2 * USER_TIMER_MINIMUM);
    PumpMessages();
}

// One notch of the wheel, down and up by turns, in a 1920 x 1080 client with the background on;
// the scroll bar drawn afterwards; and a burst of ten turns of 12, all there before the window
// draws a frame, as a touchpad sends them while one is drawn.
void BenchScroll(const Options& options) {
    StartTestWindow(1920, 1080);
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    g_settings.backgroundEnabled = 1;
    for (double zoom : {1.0, 2.0}) {
        g_view = {zoom, 400, 400, NO_POINT};
        const Figures floor = Measure(options.repetitions,
                                      [&] { PaintFloorFrame(client.right, client.bottom, true); });
        PaintView(PaintForm::Immediate);
        ValidateRect(g_app.hwnd, nullptr);
        DrawIdleScrollBars();
        GdiFlush();
        Sleep(300);
        std::vector<double> notch, bar, burst;
        for (int i = 0; i <= options.repetitions; ++i) { // the first warms up
            const int down = i % 2 == 0 ? -1 : 1;
            double start = NowMs();
            SendToMainWindow(WM_MOUSEWHEEL, MAKEWPARAM(0, down * WHEEL_DELTA),
                             PackScreenPoint(960, 540));
            const double notchTime = NowMs() - start;
            PumpMessages(); // Wine hands the window's new pixels to the X server
            Sleep(2 * USER_TIMER_MINIMUM);
            start = NowMs();
            PumpMessages();
            const double barTime = NowMs() - start;
            // Nine turns wait in the queue while the window handles the tenth.
            for (int turn = 0; turn < 9; ++turn) {
                PostMessageW(g_app.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -down * 12),
                             PackScreenPoint(960, 540));
            }
            start = NowMs();
            SendToMainWindow(WM_MOUSEWHEEL, MAKEWPARAM(0, -down * 12), PackScreenPoint(960, 540));
            const double burstTime = NowMs() - start;
            DrawIdleScrollBars();
            if (i > 0) {
                notch.push_back(notchTime);
                bar.push_back(barTime);
                burst.push_back(burstTime);
            }
        }
        const Figures one = Summarize(notch);
        char name[96];
        std::snprintf(name, sizeof(name), "scroll %ldx%ld zoom %.1f by one notch", client.right,
                      client.bottom, zoom);
        PrintRow(name, one, floor.median);
        PrintRow("  then the scroll bar, drawn once the window is idle", Summarize(bar),
                 floor.median);
        PrintRow("  a burst of 10 queued turns of 12 (x one notch)", Summarize(burst), one.median);
    }
    g_settings.backgroundEnabled = 0;
    g_view = {1.0, 0, 0, NO_POINT};
}

// Tells the window that its screen is at `dpi` now, keeping the window where it is.
void MoveToScreenAt(int dpi) {
    RECT window;
    GetWindowRect(g_app.hwnd, &window);
    SendToMainWindow(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&window));
}

// The same 1920 x 1080 client on a 192-DPI screen (200 %), where zoom 1 shows a canvas pixel as
// 2 x 2: a whole repaint against the same client's at 96 DPI, and a stroke's move and a notch of
// the wheel against the bare GDI frame at the same scale, as the rows at 96 DPI.
void BenchAtScale(const Options& options) {
    g_settings.backgroundEnabled = 1;
    for (double zoom : {1.0, 2.0}) {
        Figures repaint[2];
        for (int dpi : {96, 192}) {
            MoveToScreenAt(dpi);
            StartTestWindow(1920, 1080);
            g_view.zoom = zoom;
            g_view.originX = g_view.originY = 400;
            repaint[dpi / 192] =
                Measure(options.repetitions, [] { PaintView(PaintForm::Immediate); });
        }
        const Figures floor =
            Measure(options.repetitions, [] { PaintFloorFrame(1920, 1080, true); });
        char name[96];
        std::snprintf(name, sizeof(name), "at 192 DPI, 1920x1080 zoom %.1f: a whole repaint", zoom);
        std::printf("%-52s %10.2f %10.2f %9.2f   (x the same at 96 DPI)\n", name, repaint[1].median,
                    repaint[1].p95, repaint[1].median / repaint[0].median);
        GdiFlush();
        Sleep(300);
        int step = 0;
        PrintRow("  a stroke's move", Measure(options.repetitions, [&] { StrokeMove(step++); }),
                 floor.median);
        SendToMainWindow(WM_LBUTTONUP, 0, 0);
        int notch = 0;
        PrintRow("  one notch of the wheel",
                 Measure(options.repetitions,
                         [&] {
                             const int down = notch++ % 2 == 0 ? -1 : 1;
                             SendToMainWindow(WM_MOUSEWHEEL, MAKEWPARAM(0, down * WHEEL_DELTA),
                                              PackScreenPoint(960, 540));
                         }),
                 floor.median);
        std::printf("%-52s %10.2f %10.2f\n", "  floor (bare GDI frame)", floor.median, floor.p95);
        DrawIdleScrollBars();
    }
    MoveToScreenAt(96);
    g_settings.backgroundEnabled = 0;
    g_view = {1.0, 0, 0, NO_POINT};
}

// Undo and redo of one step, alternately, each against one quarter turn of a layer.
void MeasureUndoAndRedo(const Options& options, const char* name, double turn) {
    std::vector<double> undo, redo;
    for (int i = 0; i < std::max(1, options.repetitions / 2); ++i) {
        const double start = NowMs();
        UndoStep();
        const double undone = NowMs();
        RedoStep();
        undo.push_back(undone - start);
        redo.push_back(NowMs() - undone);
    }
    PrintRow(std::string("  undo of ") + name, Summarize(undo), turn);
    PrintRow(std::string("  redo of ") + name, Summarize(redo), turn);
}

void BenchUndo(const Options& options, double turn) {
    StartHistory();
    const PenState pen = g_pen;
    g_pen.width = 6000;
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(100, 100));
    SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(110, 100));
    g_pen = pen;
    MeasureUndoAndRedo(options, "a stroke over the whole canvas", turn);
    TurnCanvasQuarter(1);
    MeasureUndoAndRedo(options, "a quarter turn of both layers", turn);
    StartHistory();
}

void BenchFiles(const Options& options) {
    StartTestWindow(1280, 800);
    ResetInkLayer();
    DrawBusyCanvas();
    CopyText(g_document.folder, FOLDER_CAPACITY, options.folder.c_str());
    CopyText(g_document.name, NAME_CAPACITY, L"bench-busy.png");
    PrintRow(
        "ComposeCanvas + SaveCompositePng (busy canvas)",
        Measure(std::max(3, options.repetitions / 4), [] { EXPECT_TRUE(SaveCompositePng()); }));
    WriteCompositeBmp(options.folder + L"\\bench-busy.bmp");

    const std::wstring saved = options.folder + L"\\bench-busy.png";
    PrintRow("LoadImageIntoLayer (2048 x 2048 PNG)",
             Measure(std::max(3, options.repetitions / 4),
                     [&] { EXPECT_TRUE(LoadImageIntoLayer(saved.c_str(), Layer::Ink)); }));
    const Figures turn =
        Measure(options.repetitions, [] { RotateLayerQuarterTurn(g_canvas.ink, 1); });
    PrintRow("RotateLayerQuarterTurn (ink layer)", turn);
    BenchUndo(options, turn.median);
    // The preview's floor is the full-size preview it replaced, timed here as the reference.
    const Figures fullSize =
        Measure(std::max(3, options.repetitions / 8), [] { DrawFullSizeRotationPreview(30); });
    const Figures blit = Measure(options.repetitions, [] { BlitClientOnce(1280, 800); });
    const Figures frame = Measure(options.repetitions, [] { DrawRotationPreview(30); });
    // A gesture's first frame makes the frame buffer that the later ones reuse.
    const Figures firstFrame = Measure(std::max(3, options.repetitions / 8), [] {
        ReleaseView();
        DrawRotationPreview(30);
    });
    PrintRow("DrawRotationPreview (30 degrees), a gesture's frame", frame, fullSize.median,
             blit.median);
    PrintRow("  its first frame (x a later frame)", firstFrame, frame.median);
    PrintRow("  reference: the full-size preview it replaced", fullSize);
}

// The recovery snapshot of the busy canvas: what the window's thread spends before the worker
// takes over, and the whole snapshot until its file is in place.
void BenchSnapshot(const Options& options) {
    g_document.modified = 1;
    std::vector<double> share, whole;
    for (int i = 0; i <= std::max(3, options.repetitions / 4); ++i) {
        const double start = NowMs();
        const bool started = TakeSnapshot();
        const double handedOver = NowMs();
        WaitForSnapshot();
        if (started && i > 0) { // the first allocates the copies
            share.push_back(handedOver - start);
            whole.push_back(NowMs() - start);
        }
    }
    if (share.empty()) {
        ADD_FAILURE() << "snapshot: no snapshot could be taken";
        return;
    }
    PrintRow("snapshot: the window thread's share", Summarize(share));
    PrintRow("snapshot: whole (copy, compose, PNG, rename)", Summarize(whole));
    RemoveSnapshot();
    g_document.modified = 0;
}

void BenchGrowth(const Options& options) {
    // Small client: the long runs look for leaks, not for speed.
    StartTestWindow(640, 480);
    g_view = {1.0, 0, 0, NO_POINT};
    // The first count of free objects grows Wine's handle tables: done once here, so that the
    // first run is not charged for it.
    ReadResources();
    for (int i = 0; i < 50; ++i) {
        StrokeMove(i);
    }
    MeasureGrowth("stroke moves", options.strokeMoves, [](int i) {
        StrokeMove(i);
        if (i % 500 == 0) {
            PumpMessages();
        }
    });

    CopyText(g_document.name, NAME_CAPACITY, L"bench-growth.png");
    SaveCompositePng();
    MeasureGrowth("saves", options.saves, [](int) { SaveCompositePng(); });

    RotateLayerQuarterTurn(g_canvas.ink, 1);
    MeasureGrowth("quarter turns", options.turns, [](int i) {
        RotateLayerQuarterTurn(g_canvas.ink, i % 2 == 0 ? 1 : -1);
        RotateLayerQuarterTurn(g_canvas.background, 1);
    });
}

Options ReadOptions(int argc, char** argv) {
    Options options;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    options.folder = std::wstring(temp) + L"inkwisp-bench";
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--repetitions") == 0) {
            options.repetitions = std::max(1, value);
        } else if (std::strcmp(argv[i], "--moves") == 0) {
            options.strokeMoves = value;
        } else if (std::strcmp(argv[i], "--saves") == 0) {
            options.saves = value;
        } else if (std::strcmp(argv[i], "--turns") == 0) {
            options.turns = value;
        }
    }
    if (!options.folder.empty() && options.folder.back() == L'\\') {
        options.folder.pop_back();
    }
    CreateDirectoryW(options.folder.c_str(), nullptr);
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = ReadOptions(argc, argv);
    if (StartTestWindow(1280, 800) == nullptr) {
        std::fprintf(stderr, "the main window could not be created (is there a display?)\n");
        return 1;
    }
    g_pen.color = RGB(20, 40, 160);
    g_pen.width = 4;
    FillBitmap(g_canvas.background, RGB(230, 240, 255));
    std::printf("Inkwisp benchmark: %d repetitions per figure\n", options.repetitions);
    PrintHeader();
    BenchStrokePath(options);
    BenchScroll(options);
    BenchAtScale(options);
    BenchFiles(options);
    BenchSnapshot(options);
    BenchGrowth(options);
    char folder[MAX_PATH * 3];
    WideCharToMultiByte(CP_UTF8, 0, options.folder.c_str(), -1, folder, sizeof(folder), nullptr,
                        nullptr);
    std::printf("files: %s\n", folder);
    g_document.modified = 0;
    DestroyWindow(g_app.hwnd);
    // The checks the shared test code makes along the way (a layer read back whole, say).
    return testing::UnitTest::GetInstance()->ad_hoc_test_result().Failed() ? 1 : 0;
}
