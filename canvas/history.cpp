#include "canvas/history.h"

#include <algorithm>
#include <memory>
#include <new>
#include <numeric>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/history_steps.h"
#include "canvas/rotation.h"
#include "canvas/view.h"
#include "records/app_window.h"
#include "records/bitmap_info.h"
#include "records/document_state.h"
#include "records/scoped_gdi.h"

namespace {

// Copies tiles between the layer selected into `layer` and `pixels` (TILE_PIXELS per tile, in
// the order of `tiles`), a row of tiles at a time through a strip of memory.
void CopyTiles(HDC layer, const int* tiles, std::size_t count, std::uint32_t* pixels,
               bool toLayer) {
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [tiles](std::size_t a, std::size_t b) { return tiles[a] < tiles[b]; });
    const auto row = [&](std::size_t i) { return tiles[order[i]] / TILES_PER_ROW; };
    const auto column = [&](std::size_t i) { return tiles[order[i]] % TILES_PER_ROW; };
    // The strip is as wide as the widest run of a row: a stroke's move adds a tile or two.
    int stripWidth = 0;
    for (std::size_t first = 0, end = 0; first < count; first = end) {
        for (end = first + 1; end < count && row(end) == row(first); ++end) {
        }
        stripWidth = std::max(stripWidth, (column(end - 1) - column(first) + 1) * TILE_SIDE);
    }
    BITMAPINFO info = TopDownBitmapInfo(stripWidth, TILE_SIDE);
    void* bits = nullptr;
    ScopedGdiObject<HBITMAP> stripBitmap(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (stripBitmap == nullptr) {
        throw std::bad_alloc();
    }
    auto* strip = static_cast<std::uint32_t*>(bits);
    ScopedCreateDC stripDC(CreateCompatibleDC(nullptr));
    ScopedSelect selected(stripDC, stripBitmap);
    for (std::size_t first = 0, end = 0; first < count; first = end) {
        for (end = first + 1; end < count && row(end) == row(first); ++end) {
        }
        const int left = column(first) * TILE_SIDE;
        const int width = (column(end - 1) + 1) * TILE_SIDE - left;
        const int top = row(first) * TILE_SIDE;
        BitBlt(stripDC, 0, 0, width, TILE_SIDE, layer, left, top, SRCCOPY);
        GdiFlush();
        for (std::size_t i = first; i < end; ++i) {
            std::uint32_t* tile = pixels + order[i] * TILE_PIXELS;
            std::uint32_t* inStrip = strip + (column(i) * TILE_SIDE - left);
            for (int y = 0; y < TILE_SIDE; ++y) {
                std::uint32_t* line = inStrip + static_cast<std::size_t>(y) * stripWidth;
                std::uint32_t* tileLine = tile + static_cast<std::size_t>(y) * TILE_SIDE;
                if (toLayer) {
                    std::copy(tileLine, tileLine + TILE_SIDE, line);
                } else {
                    std::copy(line, line + TILE_SIDE, tileLine);
                }
            }
        }
        if (toLayer) {
            BitBlt(layer, left, top, width, TILE_SIDE, stripDC, 0, 0, SRCCOPY);
        }
    }
}

void CopyInkTiles(const HistoryStep& step, std::uint32_t* pixels, bool toLayer) {
    ScopedCreateDC layer(CreateCompatibleDC(nullptr));
    ScopedSelect selected(layer, g_canvas.ink);
    CopyTiles(layer, step.tiles.data(), step.tiles.size(), pixels, toLayer);
}

// What a stroke will hold once it is a step: its tiles before and after.
std::size_t StrokeBytesWhenDone(const HistoryStep& stroke) {
    return stroke.tiles.size() * (2 * TILE_PIXELS * sizeof(std::uint32_t) + sizeof(int));
}

// Without memory for the history the writing goes on and keeps no steps: everything kept is
// let go, and the rest of the stroke in progress keeps nothing either.
void LoseHistory() {
    const bool strokeInProgress = !g_history.strokeTiles.empty();
    ClearHistory(g_history);
    if (strokeInProgress) {
        g_history.strokeTiles.assign(TILE_COUNT, true);
    }
}

// Turns a layer by a quarter through its pixels in memory (`pixels` and `turned` hold a layer
// each): exact as the GDI+ turn, and fast enough that undo turns both layers back within the time
// GDI+ takes for one. False, the layer unchanged, if its pixels cannot be read.
bool TurnLayerPixels(HBITMAP layer, int angle, std::uint32_t* pixels, std::uint32_t* turned) {
    BITMAPINFO info = TopDownBitmapInfo(CANVAS_SIZE, CANVAS_SIZE);
    ScopedGetDC screen(nullptr);
    const bool read =
        GetDIBits(screen, layer, 0, CANVAS_SIZE, pixels, &info, DIB_RGB_COLORS) == CANVAS_SIZE;
    if (read) {
        TurnPixelsQuarter(pixels, turned, CANVAS_SIZE, angle < 0);
        SetDIBits(screen, layer, 0, CANVAS_SIZE, turned, &info, DIB_RGB_COLORS);
    }
    return read;
}

void TurnBothLayers(int angle) {
    EndRotationPreview(); // its copy shows the ink before the turn
    constexpr std::size_t LAYER_PIXELS = static_cast<std::size_t>(CANVAS_SIZE) * CANVAS_SIZE;
    // Not zeroed: every pixel is read into them before it is used.
    std::unique_ptr<std::uint32_t[]> pixels(new (std::nothrow) std::uint32_t[LAYER_PIXELS]);
    std::unique_ptr<std::uint32_t[]> turned(new (std::nothrow) std::uint32_t[LAYER_PIXELS]);
    for (HBITMAP layer : {g_canvas.ink, g_canvas.background}) {
        if (pixels == nullptr || turned == nullptr ||
            !TurnLayerPixels(layer, angle, pixels.get(), turned.get())) {
            RotateLayerQuarterTurn(layer, angle);
        }
    }
    MarkBackgroundChanged();
}

// Puts a step's layers as they were before it (`undo`) or after it, and shows them.
void ApplyStep(HistoryStep& step, bool undo) {
    if (step.quarterTurn) {
        // The opposite of a counter-clockwise turn (any angle of 0 or more) is a clockwise one.
        TurnBothLayers(undo == (step.turnAngle >= 0) ? -1 : 0);
        InvalidateRect(g_app.hwnd, nullptr, FALSE); // as the gesture's turn is shown
    } else {
        CopyInkTiles(step, undo ? step.before.data() : step.after.data(), true);
        ShowCanvasRect(StepBounds(step));
    }
    MarkModified();
}

// Undoes the step before the history's place, or redoes the one after it, and moves the place.
bool MoveThroughHistory(bool undo) {
    if (StrokeInProgress(g_view)) {
        return false;
    }
    SettleStroke();
    if (undo ? g_history.done == 0 : g_history.done == g_history.steps.size()) {
        return false;
    }
    try {
        ApplyStep(g_history.steps[undo ? g_history.done - 1 : g_history.done], undo);
    } catch (const std::bad_alloc&) {
        return false; // nothing was written: the step stays where it was
    }
    g_history.done = undo ? g_history.done - 1 : g_history.done + 1;
    return true;
}

} // namespace

void StartHistory() {
    ClearHistory(g_history);
}

void KeepInkBefore(HDC layer, const PixelRect& canvas) {
    if (g_history.paused) {
        return;
    }
    try {
        HistoryStep& stroke = g_history.stroke;
        const std::size_t first = stroke.tiles.size();
        const int claimed = ClaimStrokeTiles(g_history, canvas);
        if (claimed == 0) {
            return;
        }
        TrimHistory(g_history, StrokeBytesWhenDone(stroke));
        stroke.before.resize(stroke.tiles.size() * TILE_PIXELS);
        CopyTiles(layer, stroke.tiles.data() + first, static_cast<std::size_t>(claimed),
                  stroke.before.data() + first * TILE_PIXELS, false);
    } catch (const std::bad_alloc&) {
        LoseHistory();
    }
}

void SettleStroke() {
    HistoryStep& stroke = g_history.stroke;
    if (!stroke.tiles.empty()) {
        try {
            stroke.after.resize(stroke.before.size());
            CopyInkTiles(stroke, stroke.after.data(), false);
            PushStep(g_history, std::move(stroke));
        } catch (const std::bad_alloc&) {
            LoseHistory();
        }
    }
    g_history.stroke = HistoryStep{};
    g_history.strokeTiles.clear();
}

void TurnCanvasQuarter(int angle) {
    SettleStroke();
    RotateLayerQuarterTurn(g_canvas.ink, angle);
    RotateLayerQuarterTurn(g_canvas.background, angle);
    HistoryStep turn{};
    turn.quarterTurn = true;
    turn.turnAngle = angle;
    try {
        PushStep(g_history, std::move(turn));
    } catch (const std::bad_alloc&) {
        LoseHistory();
    }
}

bool UndoStep() {
    return MoveThroughHistory(true);
}

bool RedoStep() {
    return MoveThroughHistory(false);
}
