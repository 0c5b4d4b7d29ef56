#include "control/stroke_path.h"

#include <cstdlib>

int UnwrapHistoryCoordinate(int coordinate) {
    return coordinate > 32767 ? coordinate - 65536 : coordinate;
}

namespace {

bool IsNear(PixelPoint a, PixelPoint b) {
    return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1;
}

} // namespace

int PickMergedPoints(const PixelPoint* history, int count, PixelPoint previous, PixelPoint current,
                     PixelPoint* merged) {
    if (count <= 0 || !IsNear(history[0], current)) {
        return 0;
    }
    // The newest entry near the previous point is where the last message left the stroke.
    for (int older = 1; older < count; ++older) {
        if (IsNear(history[older], previous)) {
            for (int i = older - 1; i >= 1; --i) {
                merged[older - 1 - i] = history[i];
            }
            return older - 1;
        }
    }
    return 0;
}
