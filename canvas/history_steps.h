// The undo history's bookkeeping: the tiles of the ink layer that a stroke saved, the steps that
// can be undone and redone, and the memory they hold. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "canvas/pixel_rect.h"
#include "records/basics.h"

// A stroke keeps the ink it changed in tiles of 32 x 32 pixels, as they were before its first
// segment reached them and as it left them.
constexpr int TILE_SIDE = 32;
constexpr int TILES_PER_ROW = CANVAS_SIZE / TILE_SIDE;
constexpr int TILE_COUNT = TILES_PER_ROW * TILES_PER_ROW;
constexpr std::size_t TILE_PIXELS = static_cast<std::size_t>(TILE_SIDE) * TILE_SIDE;
// The oldest steps go first once the history would hold more; the newest always stays.
constexpr std::size_t HISTORY_BYTE_LIMIT = std::size_t{64} << 20;

struct HistoryStep {
    bool quarterTurn; // both layers turned with `turnAngle`; otherwise a stroke
    int turnAngle;
    std::vector<int> tiles;
    std::vector<std::uint32_t> before; // TILE_PIXELS per tile, in the order of `tiles`
    std::vector<std::uint32_t> after;
};

struct History {
    std::vector<HistoryStep> steps;
    std::size_t done;  // steps[0, done) can be undone, steps[done, end) redone
    std::size_t bytes; // held by `steps`
    // The last stroke, until the next step or stroke makes it a step of its own.
    HistoryStep stroke;
    std::vector<bool> strokeTiles; // the tiles `stroke` holds, TILE_COUNT of them once it has any
    // Strokes keep no steps: the bench compares a move with and without the history.
    bool paused;
};

extern History g_history;

std::size_t StepBytes(const HistoryStep& step);
// The pixels of a tile, in canvas coordinates.
PixelRect TileRect(int tile);
// The canvas pixels a step changed.
PixelRect StepBounds(const HistoryStep& step);

// Forgets every step and the last stroke.
void ClearHistory(History& history);
// Adds the tiles under `rect` that the stroke does not hold yet to its tiles; returns how many.
int ClaimStrokeTiles(History& history, const PixelRect& rect);
// Drops steps until `reserved` more bytes (a stroke in progress) fit under the limit: for a
// stroke in progress the steps it would discard as redo first, then the oldest; without one the
// oldest, and the last step stays.
void TrimHistory(History& history, std::size_t reserved);
// Makes `step` the newest: what could be redone is dropped, then the history is trimmed.
void PushStep(History& history, HistoryStep&& step);

// A square of `side` x `side` pixels, rows from the top, turned by a quarter into `turned`:
// clockwise, or counter-clockwise.
void TurnPixelsQuarter(const std::uint32_t* pixels, std::uint32_t* turned, int side,
                       bool clockwise);
