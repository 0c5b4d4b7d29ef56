#include "view/frame_pixels.h"

#include <algorithm>
#include <cmath>

#include "records/basics.h"

namespace {

constexpr std::uint32_t COLOUR_BITS = 0xFFFFFF;
constexpr int RUN_MARKER_BITS = 24;

// The ink rows [top, bottom] ANDed into `merged` over the canvas columns [left, right]; the row
// itself when the run is one row.
const std::uint32_t* MergeRows(LayerPixels ink, int top, int bottom, int left, int right,
                               std::uint32_t* merged) {
    const std::uint32_t* first = ink + static_cast<std::size_t>(top) * CANVAS_SIZE;
    if (bottom == top) {
        return first;
    }
    std::copy(first + left, first + right + 1, merged + left);
    for (int y = top + 1; y <= bottom; ++y) {
        const std::uint32_t* row = ink + static_cast<std::size_t>(y) * CANVAS_SIZE;
        for (int x = left; x <= right; ++x) {
            merged[x] &= row[x];
        }
    }
    return merged;
}

// The ink shown under client pixel i of a row: the AND of its run of columns of `inkRow`.
std::uint32_t MergedInk(const std::uint32_t* inkRow, const StretchRuns& across, int i) {
    std::uint32_t ink = inkRow[across.first[i]];
    for (int x = across.first[i] + 1; x <= across.last[i]; ++x) {
        ink &= inkRow[x];
    }
    return ink & COLOUR_BITS;
}

// Empty ink shows what lies under it: the background's kept pixel, or white.
std::uint32_t InkOver(std::uint32_t ink, const std::uint32_t* backgroundRow, int column) {
    return ink != COLOUR_BITS || backgroundRow == nullptr ? ink
                                                          : backgroundRow[column] & COLOUR_BITS;
}

// One client row of the canvas part, client pixels [from, to) of it counted from the blit's
// first column, with `merged`, a row of the canvas, to AND rows in.
void ComposeCanvasRow(const FrameSource& source, int down, int from, int to, std::uint32_t* out,
                      std::uint32_t* merged) {
    const StretchRuns& across = *source.across;
    const std::uint32_t* inkRow =
        MergeRows(source.ink, source.down->first[down], source.down->last[down], across.first[from],
                  across.last[to - 1], merged);
    const std::uint32_t* backgroundRow =
        source.background == nullptr
            ? nullptr
            : source.background + static_cast<std::size_t>(source.down->kept[down]) * CANVAS_SIZE;
    const int* kept = across.kept.data();
    if (!across.merges) { // the common case of a zoom of 1 or more: one pixel each
        for (int i = from; i < to; ++i) {
            *out++ = InkOver(inkRow[kept[i]] & COLOUR_BITS, backgroundRow, kept[i]);
        }
        return;
    }
    for (int i = from; i < to; ++i) {
        *out++ = InkOver(MergedInk(inkRow, across, i), backgroundRow, kept[i]);
    }
}

void FillPixels(std::uint32_t* out, int count, std::uint32_t colour) {
    std::fill(out, out + std::max(count, 0), colour);
}

// The cosine and sine of a whole number of degrees, exact at the right angles, so that a quarter
// turn lands every pixel on a pixel.
void TurnOf(int angle, double& cosine, double& sine) {
    const int degrees = ((angle % 360) + 360) % 360;
    switch (degrees) {
    case 0: cosine = 1.0, sine = 0.0; return;
    case 90: cosine = 0.0, sine = 1.0; return;
    case 180: cosine = -1.0, sine = 0.0; return;
    case 270: cosine = 0.0, sine = -1.0; return;
    default: {
        const double radians = degrees * 3.14159265358979323846 / 180.0;
        cosine = std::cos(radians);
        sine = std::sin(radians);
    }
    }
}

// Canvas coordinates in 16.16 fixed point, moved by BIAS canvas pixels so that they stay positive
// within reach of the canvas and a shift takes their floor.
constexpr int FRACTION_BITS = 16;
constexpr double ONE = 1 << FRACTION_BITS;
constexpr int BIAS = 2 * CANVAS_SIZE;
constexpr int TURN_BLOCK = 64;

std::int32_t ToFixed(double coordinate) {
    return static_cast<std::int32_t>(std::lround((coordinate + BIAS) * ONE));
}

std::int32_t ToFixedStep(double step) {
    return static_cast<std::int32_t>(std::lround(step * ONE));
}

// Client pixel i of a line of the preview shows canvas point (x + i * stepX, y + i * stepY), in
// biased fixed point.
struct TurnedLine {
    std::int32_t x, y, stepX, stepY;
};

constexpr std::int64_t CANVAS_FIRST = static_cast<std::int64_t>(BIAS) << FRACTION_BITS;
constexpr std::int64_t CANVAS_END = static_cast<std::int64_t>(BIAS + CANVAS_SIZE) << FRACTION_BITS;

std::int64_t FloorDivide(std::int64_t a, std::int64_t b) { // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Narrows [from, to) to the i whose start + i * step lies in [CANVAS_FIRST, CANVAS_END).
void KeepOnCanvas(std::int64_t start, std::int64_t step, std::int64_t& from, std::int64_t& to) {
    if (step == 0) {
        if (start < CANVAS_FIRST || start >= CANVAS_END) {
            to = from;
        }
        return;
    }
    if (step > 0) {
        from = std::max(from, -FloorDivide(start - CANVAS_FIRST, step));
        to = std::min(to, -FloorDivide(start - CANVAS_END, step));
    } else {
        from = std::max(from, FloorDivide(start - CANVAS_END, -step) + 1);
        to = std::min(to, FloorDivide(start - CANVAS_FIRST, -step) + 1);
    }
}

// Client pixels [left, right) of a line: white where the turned point is off the canvas, the ink
// pixel under it elsewhere. The part on the canvas is found first, so its pixels need no checks.
void TurnLine(LayerPixels ink, const TurnedLine& line, int left, int right, std::uint32_t* out) {
    std::int64_t from = left;
    std::int64_t to = right;
    KeepOnCanvas(line.x, line.stepX, from, to);
    KeepOnCanvas(line.y, line.stepY, from, to);
    to = std::max(from, to);
    for (int i = left; i < from; ++i) {
        out[i] = WHITE_PIXEL;
    }
    std::int32_t x = line.x + static_cast<std::int32_t>(from) * line.stepX;
    std::int32_t y = line.y + static_cast<std::int32_t>(from) * line.stepY;
    for (auto i = static_cast<int>(from); i < to; ++i, x += line.stepX, y += line.stepY) {
        const int column = (x >> FRACTION_BITS) - BIAS;
        const int row = (y >> FRACTION_BITS) - BIAS;
        out[i] =
            ink[static_cast<std::size_t>(row) * CANVAS_SIZE + static_cast<std::size_t>(column)];
    }
    for (auto i = static_cast<int>(to); i < right; ++i) {
        out[i] = WHITE_PIXEL;
    }
}

} // namespace

std::uint32_t RunMarker(int j) {
    return ~(1u << (j % RUN_MARKER_BITS)) & COLOUR_BITS;
}

StretchRuns RunsFromStretches(const std::vector<int>& kept,
                              const std::vector<std::uint32_t>& merged, int start, int length) {
    StretchRuns runs;
    const std::size_t count = std::min(kept.size(), merged.size());
    runs.first.resize(count);
    runs.last.resize(count);
    runs.kept.resize(count);
    const int end = start + std::max(length, 1) - 1;
    const auto inRun = [](std::uint32_t marks, int j) {
        return (marks & (1u << (j % RUN_MARKER_BITS))) == 0;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const int k = std::min(std::max(kept[i], start), end);
        int first = k;
        int last = k;
        while (first > start && k - first < RUN_MARKER_BITS - 1 && inRun(merged[i], first - 1)) {
            --first;
        }
        while (last < end && last - first < RUN_MARKER_BITS - 1 && inRun(merged[i], last + 1)) {
            ++last;
        }
        runs.first[i] = first;
        runs.last[i] = last;
        runs.kept[i] = k;
        runs.merges = runs.merges || last > first;
    }
    return runs;
}

void ComposeViewPixels(const FrameSource& source, const PixelRect& area,
                       const FrameTarget& target) {
    const ViewBlit& blit = source.blit;
    const int width = area.right - area.left;
    // The canvas part of each row, as client columns counted from the blit's first, cut to the
    // area and to the runs there are.
    const int from = std::max(area.left, blit.dstX) - blit.dstX;
    const int to = std::min({area.right, blit.dstX + blit.dstW,
                             blit.dstX + static_cast<int>(source.across->last.size())}) -
                   blit.dstX;
    const int downRuns = static_cast<int>(source.down->last.size());
    std::vector<std::uint32_t> merged(source.down->merges ? CANVAS_SIZE : 0);
    for (int y = area.top; y < area.bottom; ++y) {
        std::uint32_t* out = target.pixels + static_cast<std::size_t>(y - area.top) * target.stride;
        const int down = y - blit.dstY;
        if (source.ink == nullptr || down < 0 || down >= std::min(blit.dstH, downRuns) ||
            to <= from) {
            FillPixels(out, width, source.desk);
            continue;
        }
        const int leftOfCanvas = blit.dstX + from - area.left;
        FillPixels(out, leftOfCanvas, source.desk);
        ComposeCanvasRow(source, down, from, to, out + leftOfCanvas, merged.data());
        const int composed = leftOfCanvas + (to - from);
        FillPixels(out + composed, width - composed, source.desk);
    }
}

void TurnInkPixels(LayerPixels ink, const ViewBlit& blit, int angle, const FrameTarget& target) {
    if (blit.srcW <= 0 || blit.srcH <= 0) {
        return;
    }
    double cosine = 1.0;
    double sine = 0.0;
    TurnOf(angle, cosine, sine);
    const double centre = CANVAS_SIZE / 2.0;
    const double acrossStep = static_cast<double>(blit.srcW) / blit.dstW;
    const double downStep = static_cast<double>(blit.srcH) / blit.dstH;
    // As GDI+ draws a turned picture with its nearest pixel: a pixel's centre lies at its whole
    // coordinates, and client pixel i shows the view's canvas point (i + 1/2) / scale - 1/2 from
    // its first canvas pixel. That point, taken about the canvas centre and turned back, is nearest
    // the ink pixel that the turned ink shows there; the half pixel added makes the floor of the
    // fixed point its nearest.
    const std::int32_t stepX = ToFixedStep(cosine * acrossStep);
    const std::int32_t stepY = ToFixedStep(sine * acrossStep);
    const double u = 0.5 * acrossStep - 0.5 + blit.srcX - centre;
    std::vector<std::int32_t> rowX(static_cast<std::size_t>(blit.dstH));
    std::vector<std::int32_t> rowY(rowX.size());
    for (int j = 0; j < blit.dstH; ++j) {
        const double v = (j + 0.5) * downStep - 0.5 + blit.srcY - centre;
        rowX[static_cast<std::size_t>(j)] = ToFixed(u * cosine - v * sine + centre + 0.5);
        rowY[static_cast<std::size_t>(j)] = ToFixed(u * sine + v * cosine + centre + 0.5);
    }
    // Built in blocks: a turned line crosses many rows of the ink, and a block's lines read the
    // few that its neighbours have just brought into the cache.
    for (int top = 0; top < blit.dstH; top += TURN_BLOCK) {
        for (int left = 0; left < blit.dstW; left += TURN_BLOCK) {
            const int bottom = std::min(top + TURN_BLOCK, blit.dstH);
            const int right = std::min(left + TURN_BLOCK, blit.dstW);
            for (int j = top; j < bottom; ++j) {
                const TurnedLine line = {rowX[static_cast<std::size_t>(j)],
                                         rowY[static_cast<std::size_t>(j)], stepX, stepY};
                TurnLine(ink, line, left, right,
                         target.pixels + static_cast<std::size_t>(j) * target.stride);
            }
        }
    }
}
