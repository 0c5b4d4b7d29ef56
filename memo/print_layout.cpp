#include "memo/print_layout.h"

#include <algorithm>

#include "records/basics.h"

namespace {

constexpr double INCHES_PER_MM = 0.03937;

int MmToDots(int dpi, int mm) {
    return TruncToInt(dpi * (mm * INCHES_PER_MM));
}

} // namespace

PrintSquare ComputePrintSquare(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int side = std::min(width, height);
    return {(width - side) / 2, (height - side) / 2, side};
}

PrintSquare ComputeFallbackSquare(int widthMm, int heightMm, int dpiX, int dpiY) {
    const PrintSquare mm = ComputePrintSquare(widthMm, heightMm);
    return {MmToDots(dpiX, mm.x), MmToDots(dpiY, mm.y), MmToDots(dpiX, mm.side)};
}
