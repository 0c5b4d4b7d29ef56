// Undo and redo on the real window: each row is a run of actions, and the layers at its end must
// be, pixel for pixel, the layers as they were after one of its actions.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/document.h"
#include "canvas/canvas.h"
#include "canvas/history.h"
#include "canvas/history_steps.h"
#include "control/controller.h"
#include "memo/memo_files.h"
#include "pen/pen_state.h"
#include "records/document_state.h"
#include "records/settings.h"
#include "res/resource.h"
#include "view/view_math.h"
#include "scoped_import.h"
#include "wine_app.h"

namespace {

struct Layers {
    std::vector<std::uint32_t> ink;
    std::vector<std::uint32_t> background;
};

Layers ReadLayers() {
    return {ReadLayer(g_canvas.ink), ReadLayer(g_canvas.background)};
}

// A stroke of handwriting, about a character's size, somewhere on the window.
void Stroke(int n, bool release = true) {
    const int x = 30 + n * 67 % 700;
    const int y = 30 + n * 41 % 500;
    SendToMainWindow(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(x, y));
    SendToMainWindow(WM_MOUSEMOVE, MK_LBUTTON, PackPoint(x + 40, y + 30));
    if (release) {
        SendToMainWindow(WM_LBUTTONUP, 0, PackPoint(x + 60, y));
    }
}

void* const NO_BLOCK_TRANSFER =
    reinterpret_cast<void*>(&Answer<BOOL, FALSE, HDC, int, int, int, int, HDC, int, int, DWORD>);
void* const NO_PIXELS_READ =
    reinterpret_cast<void*>(&Answer<int, 0, HDC, HBITMAP, UINT, UINT, void*, BITMAPINFO*, UINT>);
void* const NO_PIXELS_WRITTEN = reinterpret_cast<void*>(
    &Answer<int, 0, HDC, HBITMAP, UINT, UINT, const void*, const BITMAPINFO*, UINT>);

// Actions whose GDI calls fail, as on a device short of memory, and what they then try: B a
// stroke whose tiles cannot be copied, T a turn that can neither read the layers nor draw GDI+'s
// turn, Z an undo that cannot write the layers' pixels, U an undo that cannot start (no strip to
// copy the tiles through), L a picture that cannot be drawn.
const struct {
    char action, tried;
    std::vector<std::pair<const char*, void*>> failing;
} FAULTS[] = {
    {'B', 's', {{"BitBlt", NO_BLOCK_TRANSFER}}},
    {'T', 't', {{"GetDIBits", NO_PIXELS_READ}, {"CreateCompatibleDC", NO_CONTEXT}}},
    {'Z', 'u', {{"SetDIBits", NO_PIXELS_WRITTEN}}},
    {'U', 'u', {{"CreateDIBSection", NO_DIB_SECTION}}},
    {'L', 'l', {{"CreateCompatibleDC", NO_CONTEXT}}},
};

// s: a stroke, e: an eraser stroke, p: a stroke still pressed, W: a stroke over the whole
// canvas, t: a quarter turn, u: undo, r: redo, n: New, o: Open, b: a new background, l: a
// picture onto the ink layer that is refused.
void Act(char action, int n, const std::wstring& picture) {
    std::vector<std::unique_ptr<ScopedImport>> failing;
    for (const auto& fault : FAULTS) {
        if (fault.action == action) {
            for (const auto& call : fault.failing) {
                failing.push_back(
                    std::make_unique<ScopedImport>("gdi32.dll", call.first, call.second));
            }
            action = fault.tried;
            break;
        }
    }
    g_pen = {RGB(n * 40 % 256, 90, 200 - n * 30 % 200), 6, BLACK, 4, BLACK, 4};
    switch (action) {
    case 's': Stroke(n); break;
    case 'p': Stroke(n, false); break;
    case 'e': g_pen = {ERASER_COLOR, ERASER_WIDTH, BLACK, 4, BLACK, 4}, Stroke(n); break;
    case 'W': g_pen.width = 6000, Stroke(n); break;
    case 't': TurnCanvasQuarter(n % 2 == 0 ? -1 : 45); break;
    case 'u': SendToMainWindow(WM_COMMAND, IDM_UNDO); break;
    case 'r': SendToMainWindow(WM_COMMAND, IDM_REDO); break;
    case 'n': NewCanvas(); break;
    case 'o': EXPECT_EQ(OpenImageAsMemo(picture.c_str(), SaveQuestion::None), 1); break;
    case 'b': LoadImageIntoLayer(picture.c_str(), Layer::Background); break;
    case 'l': EXPECT_EQ(LoadImageIntoLayer(picture.c_str(), Layer::Ink), 0); break;
    }
}

TEST(HistoryTest, UndoAndRedoGiveBackTheLayersPixelForPixel) {
    StartTestWindow(800, 600);
    const std::wstring folder = MakeScratchFolder(L"inkwisp-history");
    const std::wstring picture = folder + L"\\picture.png";
    FillBitmap(g_canvas.ink, RGB(250, 200, 0));
    CopyText(g_document.folder, FOLDER_CAPACITY, folder.c_str());
    CopyText(g_document.name, NAME_CAPACITY, L"picture.png");
    ASSERT_EQ(SaveCompositePng(), 1);
    const struct {
        const char* name;
        std::string actions;
        int expected; // the layers after this many of the actions
    } rows[] = {
        {"strokes, the eraser and a turn undone", "setuuu", 0},
        {"and redone", "setuuurrr", 3},
        {"a turn back and forth", "stutr", 2},
        {"redo dropped by a new stroke", "ssusr", 4},
        {"undo does nothing during a stroke", "spu", 2},
        {"New begins a fresh history", "snu", 2},
        {"Open begins a fresh history", "sou", 2},
        {"a new background begins a fresh history", "sbu", 2},
        {"100 strokes of writing are kept", std::string(120, 's') + std::string(100, 'u'), 20},
        {"the cap drops the oldest steps, never the newest", "WWWuu", 2},
        {"the cap drops the redo steps a stroke discards first", "sWuWuu", 0},
        {"a stroke whose tiles could not be copied is no step, nor what came before", "sBu", 2},
        {"a turn that failed is no step", "sTu", 0},
        {"undo of a turn whose pixels cannot be written", "stZ", 1},
        {"an undo that cannot start keeps its step", "ssUu", 1},
        {"a picture that could not be drawn changes neither the ink nor the history", "sLu", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        NewCanvas();
        g_settings.backgroundEnabled = 1;
        Layers expected;
        for (size_t i = 0; i <= row.actions.size(); ++i) {
            if (static_cast<int>(i) == row.expected) {
                expected = ReadLayers();
            }
            if (i < row.actions.size()) {
                Act(row.actions[i], static_cast<int>(i), picture);
                EXPECT_LE(g_history.bytes + StepBytes(g_history.stroke), HISTORY_BYTE_LIMIT);
            }
        }
        const Layers shown = ReadLayers();
        g_view.lastPoint = NO_POINT;
        EXPECT_TRUE(shown.ink == expected.ink);
        EXPECT_TRUE(shown.background == expected.background);
    }
    g_settings.backgroundEnabled = 0;
    NewCanvas();
    RemoveTree(folder);
}

} // namespace
