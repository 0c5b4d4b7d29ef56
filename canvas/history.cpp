#include "canvas/history.h"

#include <algorithm>
#include <memory>
#include <new>
#include <numeric>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/history_steps.h"
#include "canvas/quarter_turn.h"
#include "records/bitmap_info.h"
#include "records/scoped_gdi.h"

namespace {

enum class TileCopy { FromLayer, ToLayer };

// What a copy of tiles did: every tile whole, or not, and then whether the layer may have been
// written to: tiles read in part are not what the layer held, and a layer written in part is one
// that no step describes, while one not written to is as it was.
enum class TilesCopied { Whole, LayerUntouched, LayerWrittenInPart };

// Copies tiles between the layer selected into `layer` and `pixels` (TILE_PIXELS per tile, in
// the order of `tiles`), a row of tiles at a time through a strip of memory.
TilesCopied CopyTiles(HDC layer, const int* tiles, std::size_t count, std::uint32_t* pixels,
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
    void* bits = nullptr;
    ScopedGdiObject<HBITMAP> stripBitmap(CreateTopDownDib(stripWidth, TILE_SIDE, &bits));
    ScopedCreateDC stripDC(CreateCompatibleDC(nullptr));
    if (stripBitmap == nullptr || stripDC == nullptr) {
        return TilesCopied::LayerUntouched;
    }
    ScopedSelect selected(stripDC, stripBitmap);
    if (!selected.IsSelected()) {
        return TilesCopied::LayerUntouched;
    }
    auto* strip = static_cast<std::uint32_t*>(bits);
    // A write that failed may have written some of its pixels all the same.
    TilesCopied failed = TilesCopied::LayerUntouched;
    for (std::size_t first = 0, end = 0; first < count; first = end) {
        for (end = first + 1; end < count && row(end) == row(first); ++end) {
        }
        const int left = column(first) * TILE_SIDE;
        const int width = (column(end - 1) + 1) * TILE_SIDE - left;
        const int top = row(first) * TILE_SIDE;
        // Read whole, so that tiles of the run that are not the step's are written back as
        // they are.
        if (!BitBlt(stripDC, 0, 0, width, TILE_SIDE, layer, left, top, SRCCOPY) || !GdiFlush()) {
            return failed;
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
        if (copy == TileCopy::ToLayer) {
            failed = TilesCopied::LayerWrittenInPart;
            if (!BitBlt(layer, left, top, width, TILE_SIDE, stripDC, 0, 0, SRCCOPY)) {
                return failed;
            }
        }
    }
    return GdiFlush() != 0 ? TilesCopied::Whole : failed;
}

TilesCopied CopyInkTiles(const HistoryStep& step, std::uint32_t* pixels, TileCopy copy) {
    ScopedCreateDC layer(CreateCompatibleDC(nullptr));
    ScopedSelect selected(layer, g_canvas.ink);
    if (!selected.IsSelected()) {
        return TilesCopied::LayerUntouched;
    }
    return CopyTiles(layer, step.tiles.data(), step.tiles.size(), pixels, copy);
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

// Puts a step's layers as they were before it (Undo) or after it (Redo), and returns the canvas
// pixels it changed: none when it could not start, the step staying where it was. Tiles written in
// part, or layers turned apart, leave layers that no step describes, and the history goes.
PixelRect ApplyStep(HistoryStep& step, HistoryDirection direction) {
    const bool undo = direction == HistoryDirection::Undo;
    // Taken first: a history let go takes the step with it.
    const PixelRect bounds = StepBounds(step);
    bool whole = true;
    if (step.quarterTurn) {
        const TurnResult turn =
            TurnBothLayers(undo ? OppositeTurn(step.turnAngle) : step.turnAngle);
        if (turn == TurnResult::Unchanged) {
            return EMPTY_RECT;
        }
        whole = turn == TurnResult::Turned;
    } else {
        const TilesCopied copied =
            CopyInkTiles(step, undo ? step.before.data() : step.after.data(), TileCopy::ToLayer);
        if (copied == TilesCopied::LayerUntouched) {
            return EMPTY_RECT;
        }
        whole = copied == TilesCopied::Whole;
    }
    if (!whole) {
        StartHistory();
    }
    return bounds;
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
        if (CopyTiles(layer, stroke.tiles.data() + first, static_cast<std::size_t>(claimed),
                      stroke.before.data() + first * TILE_PIXELS,
                      TileCopy::FromLayer) != TilesCopied::Whole) {
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
            if (CopyInkTiles(stroke, stroke.after.data(), TileCopy::FromLayer) ==
                TilesCopied::Whole) {
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

void RecordQuarterTurn(int angle) {
    HistoryStep turn{};
    turn.quarterTurn = true;
    turn.turnAngle = angle;
    try {
        PushStep(g_history, std::move(turn));
    } catch (const std::bad_alloc&) {
        LoseHistory();
    }
}

PixelRect MoveThroughHistory(HistoryDirection direction) {
    const bool undo = direction == HistoryDirection::Undo;
    if (undo ? g_history.done == 0 : g_history.done == g_history.steps.size()) {
        return EMPTY_RECT;
    }
    PixelRect changed = EMPTY_RECT;
    try {
        changed = ApplyStep(g_history.steps[undo ? g_history.done - 1 : g_history.done], direction);
    } catch (const std::bad_alloc&) {
        return EMPTY_RECT; // nothing was written: the step stays where it was
    }
    // A history let go while the step was written has no place to move.
    if (!IsEmptyRect(changed) && !g_history.steps.empty()) {
        g_history.done = undo ? g_history.done - 1 : g_history.done + 1;
    }
    return changed;
}
