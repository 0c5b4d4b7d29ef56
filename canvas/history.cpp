#include "canvas/history.h"

#include <algorithm>
#include <memory>
#include <new>
#include <numeric>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/history_steps.h"
#include "canvas/rotation.h"
#include "canvas/stroke.h"
#include "canvas/view.h"
#include "records/app_window.h"
#include "records/bitmap_info.h"
#include "records/document_state.h"
#include "records/scoped_gdi.h"

namespace {

enum class TileCopy { FromLayer, ToLayer };

// Copies tiles between the layer selected into `layer` and `pixels` (TILE_PIXELS per tile, in
// the order of `tiles`), a row of tiles at a time through a strip of memory. False when a tile may
// not have been copied whole (its strip, its context or a block transfer failed): tiles read so
// are not what the layer held, and tiles written so leave a layer that no step describes.
bool CopyTiles(HDC layer, const int* tiles, std::size_t count, std::uint32_t* pixels,
               TileCopy copy) {
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
    ScopedCreateDC stripDC(CreateCompatibleDC(nullptr));
    if (stripBitmap == nullptr || stripDC == nullptr) {
        return false;
    }
    ScopedSelect selected(stripDC, stripBitmap);
    if (!selected.IsSelected()) {
        return false;
    }
    auto* strip = static_cast<std::uint32_t*>(bits);
    for (std::size_t first = 0, end = 0; first < count; first = end) {
        for (end = first + 1; end < count && row(end) == row(first); ++end) {
        }
        const int left = column(first) * TILE_SIDE;
        const int width = (column(end - 1) + 1) * TILE_SIDE - left;
        const int top = row(first) * TILE_SIDE;
        // Read whole, so that tiles of the run that are not the step's are written back as
        // they are.
        if (!BitBlt(stripDC, 0, 0, width, TILE_SIDE, layer, left, top, SRCCOPY) || !GdiFlush()) {
            return false;
        }
        for (std::size_t i = first; i < end; ++i) {
            std::uint32_t* tile = pixels + order[i] * TILE_PIXELS;
            std::uint32_t* inStrip = strip + (column(i) * TILE_SIDE - left);
            for (int y = 0; y < TILE_SIDE; ++y) {
                std::uint32_t* line = inStrip + static_cast<std::size_t>(y) * stripWidth;
                std::uint32_t* tileLine = tile + static_cast<std::size_t>(y) * TILE_SIDE;
                if (copy == TileCopy::ToLayer) {
                    std::copy(tileLine, tileLine + TILE_SIDE, line);
                } else {
                    std::copy(line, line + TILE_SIDE, tileLine);
                }
            }
        }
        if (copy == TileCopy::ToLayer &&
            !BitBlt(layer, left, top, width, TILE_SIDE, stripDC, 0, 0, SRCCOPY)) {
            return false;
        }
    }
    return GdiFlush() != 0;
}

bool CopyInkTiles(const HistoryStep& step, std::uint32_t* pixels, TileCopy copy) {
    ScopedCreateDC layer(CreateCompatibleDC(nullptr));
    ScopedSelect selected(layer, g_canvas.ink);
    return selected.IsSelected() &&
           CopyTiles(layer, step.tiles.data(), step.tiles.size(), pixels, copy);
}

// What a stroke will hold once it is a step: its tiles before and after.
std::size_t StrokeBytesWhenDone(const HistoryStep& stroke) {
    return stroke.tiles.size() * (2 * TILE_PIXELS * sizeof(std::uint32_t) + sizeof(int));
}

// Without memory for the history, or with tiles that could not be copied whole, the writing goes
// on and keeps no steps: a step that is not kept leaves the steps before it undoing over pixels
// they never saw, so everything kept is let go, and the rest of the stroke in progress keeps
// nothing either.
void LoseHistory() {
    const bool strokeInProgress = !g_history.strokeTiles.empty();
    ClearHistory(g_history);
    if (strokeInProgress) {
        g_history.strokeTiles.assign(TILE_COUNT, true);
    }
}

// Turns a layer by a quarter through its pixels in memory (`pixels` and `turned` hold a layer
// each): exact as the GDI+ turn, and fast enough that undo turns both layers back within the time
// GDI+ takes for one. False, the layer unchanged, if its pixels cannot be read or written (a
// write that fails copies no line).
bool TurnLayerPixels(HBITMAP layer, int angle, std::uint32_t* pixels, std::uint32_t* turned) {
    BITMAPINFO info = TopDownBitmapInfo(CANVAS_SIZE, CANVAS_SIZE);
    ScopedGetDC screen(nullptr);
    if (GetDIBits(screen, layer, 0, CANVAS_SIZE, pixels, &info, DIB_RGB_COLORS) != CANVAS_SIZE) {
        return false;
    }
    TurnPixelsQuarter(pixels, turned, CANVAS_SIZE, angle < 0);
    return SetDIBits(screen, layer, 0, CANVAS_SIZE, turned, &info, DIB_RGB_COLORS) == CANVAS_SIZE;
}

// Through the pixels when there is memory for them, else through GDI+; false, the layer
// unchanged, when neither could.
bool TurnLayer(HBITMAP layer, int angle, std::uint32_t* pixels, std::uint32_t* turned) {
    return (pixels != nullptr && turned != nullptr &&
            TurnLayerPixels(layer, angle, pixels, turned)) ||
           RotateLayerQuarterTurn(layer, angle);
}

// The turn that takes back a turn by `angle` (clockwise for a negative angle).
int OppositeTurn(int angle) {
    return angle >= 0 ? -1 : 0;
}

// Turns both layers by a quarter, or neither: false when they could not be turned.
bool TurnBothLayers(int angle) {
    EndRotationPreview(); // its copy shows the ink before the turn
    constexpr std::size_t LAYER_PIXELS = static_cast<std::size_t>(CANVAS_SIZE) * CANVAS_SIZE;
    // Not zeroed: every pixel is read into them before it is used.
    std::unique_ptr<std::uint32_t[]> pixels(new (std::nothrow) std::uint32_t[LAYER_PIXELS]);
    std::unique_ptr<std::uint32_t[]> turned(new (std::nothrow) std::uint32_t[LAYER_PIXELS]);
    if (!TurnLayer(g_canvas.ink, angle, pixels.get(), turned.get())) {
        return false;
    }
    if (TurnLayer(g_canvas.background, angle, pixels.get(), turned.get())) {
        MarkBackgroundChanged();
        return true;
    }
    // The background stayed: the ink goes back. Failing that, the layers are turned apart, which
    // no step describes, and nothing may be undone over them.
    if (!TurnLayer(g_canvas.ink, OppositeTurn(angle), pixels.get(), turned.get())) {
        StartHistory();
        MarkModified();
    }
    return false;
}

// Puts a step's layers as they were before it (`undo`) or after it, and shows them. False when
// it could not: a turn leaves the layers as they were; tiles written in part leave layers that no
// step describes, and the history goes.
bool ApplyStep(HistoryStep& step, bool undo) {
    if (step.quarterTurn) {
        if (!TurnBothLayers(undo ? OppositeTurn(step.turnAngle) : step.turnAngle)) {
            return false;
        }
        InvalidateRect(g_app.hwnd, nullptr, FALSE); // as the gesture's turn is shown
    } else {
        const bool copied =
            CopyInkTiles(step, undo ? step.before.data() : step.after.data(), TileCopy::ToLayer);
        ShowCanvasRect(StepBounds(step));
        if (!copied) {
            StartHistory();
            MarkModified();
            return false;
        }
    }
    MarkModified();
    return true;
}

// Undoes the step before the history's place, or redoes the one after it, and moves the place.
bool MoveThroughHistory(bool undo) {
    if (StrokeInProgress(g_view) ||
        (undo ? g_history.done == 0 : g_history.done == g_history.steps.size())) {
        return false;
    }
    try {
        if (!ApplyStep(g_history.steps[undo ? g_history.done - 1 : g_history.done], undo)) {
            return false;
        }
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
        if (!CopyTiles(layer, stroke.tiles.data() + first, static_cast<std::size_t>(claimed),
                       stroke.before.data() + first * TILE_PIXELS, TileCopy::FromLayer)) {
            LoseHistory();
        }
    } catch (const std::bad_alloc&) {
        LoseHistory();
    }
}

void SettleStroke() {
    HistoryStep& stroke = g_history.stroke;
    if (!stroke.tiles.empty()) {
        try {
            stroke.after.resize(stroke.before.size());
            if (CopyInkTiles(stroke, stroke.after.data(), TileCopy::FromLayer)) {
                PushStep(g_history, std::move(stroke));
            } else {
                LoseHistory();
            }
        } catch (const std::bad_alloc&) {
            LoseHistory();
        }
    }
    g_history.stroke = HistoryStep{};
    g_history.strokeTiles.clear();
}

void TurnCanvasQuarter(int angle) {
    EndStroke(); // the rest of a stroke would go on over the turned canvas
    // A turn that did not happen is no step: undo would turn the canvas the other way.
    if (!TurnBothLayers(angle)) {
        return;
    }
    MarkModified();
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
