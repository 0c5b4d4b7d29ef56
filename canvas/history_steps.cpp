#include "canvas/history_steps.h"

#include <algorithm>
#include <utility>

History g_history;

std::size_t StepBytes(const HistoryStep& step) {
    return (step.before.size() + step.after.size()) * sizeof(std::uint32_t) +
           step.tiles.size() * sizeof(int);
}

PixelRect TileRect(int tile) {
    const int left = tile % TILES_PER_ROW * TILE_SIDE;
    const int top = tile / TILES_PER_ROW * TILE_SIDE;
    return {left, top, left + TILE_SIDE, top + TILE_SIDE};
}

PixelRect StepBounds(const HistoryStep& step) {
    if (step.quarterTurn) {
        return {0, 0, CANVAS_SIZE, CANVAS_SIZE};
    }
    PixelRect bounds = EMPTY_RECT;
    for (int tile : step.tiles) {
        bounds = UniteRects(bounds, TileRect(tile));
    }
    return bounds;
}

void ClearHistory(History& history) {
    history.steps.clear();
    history.done = 0;
    history.bytes = 0;
    history.stroke = HistoryStep{};
    history.strokeTiles.clear();
}

int ClaimStrokeTiles(History& history, const PixelRect& rect) {
    const PixelRect cut = IntersectRects(rect, {0, 0, CANVAS_SIZE, CANVAS_SIZE});
    if (IsEmptyRect(cut)) {
        return 0;
    }
    history.strokeTiles.resize(TILE_COUNT);
    int claimed = 0;
    for (int row = cut.top / TILE_SIDE; row <= (cut.bottom - 1) / TILE_SIDE; ++row) {
        for (int column = cut.left / TILE_SIDE; column <= (cut.right - 1) / TILE_SIDE; ++column) {
            const int tile = row * TILES_PER_ROW + column;
            if (!history.strokeTiles[tile]) {
                history.strokeTiles[tile] = true;
                history.stroke.tiles.push_back(tile);
                ++claimed;
            }
        }
    }
    return claimed;
}

namespace {

void DropNewestStep(History& history) {
    history.bytes -= StepBytes(history.steps.back());
    history.steps.pop_back();
}

void DropOldestStep(History& history) {
    history.bytes -= StepBytes(history.steps.front());
    history.steps.erase(history.steps.begin());
    history.done = history.done > 0 ? history.done - 1 : 0;
}

} // namespace

void TrimHistory(History& history, std::size_t reserved) {
    // Bytes reserved for a stroke in progress make it the newest: then every step may go, and
    // what could be redone goes first, since the stroke will drop it anyway once it is a step.
    const std::size_t kept = reserved > 0 ? 0 : 1;
    while (history.steps.size() > kept && history.bytes + reserved > HISTORY_BYTE_LIMIT) {
        if (reserved > 0 && history.steps.size() > history.done) {
            DropNewestStep(history);
        } else {
            DropOldestStep(history);
        }
    }
}

void PushStep(History& history, HistoryStep&& step) {
    while (history.steps.size() > history.done) {
        DropNewestStep(history);
    }
    history.bytes += StepBytes(step);
    history.steps.push_back(std::move(step));
    history.done = history.steps.size();
    TrimHistory(history, 0);
}

void TurnPixelsQuarter(const std::uint32_t* pixels, std::uint32_t* turned, int side,
                       bool clockwise) {
    // Column by column within small blocks: the writes run along a row of `turned` and the reads
    // stay among a few cache lines. Clockwise the pixel at (column, row) goes to
    // (last - row, column), counter-clockwise to (row, last - column).
    constexpr int BLOCK = 32;
    const std::ptrdiff_t last = side - 1;
    const std::ptrdiff_t step = clockwise ? -1 : 1;
    for (int rowBlock = 0; rowBlock < side; rowBlock += BLOCK) {
        const int rowEnd = std::min(rowBlock + BLOCK, side);
        for (int columnBlock = 0; columnBlock < side; columnBlock += BLOCK) {
            const int columnEnd = std::min(columnBlock + BLOCK, side);
            for (int column = columnBlock; column < columnEnd; ++column) {
                const std::ptrdiff_t at = column;
                std::uint32_t* to = turned + (clockwise ? at * side + last : (last - at) * side);
                const std::uint32_t* from = pixels + column;
                for (int row = rowBlock; row < rowEnd; ++row) {
                    to[row * step] = from[static_cast<std::ptrdiff_t>(row) * side];
                }
            }
        }
    }
}
