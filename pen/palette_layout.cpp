#include "pen/palette_layout.h"

#include "records/dpi_scale.h"

PenDialogLayout ComputePenDialogLayout(int width, int height, int dpi) {
    return {width, height, 2 * width / 3, height / WIDTH_SAMPLE_COUNT, dpi};
}

bool IsWidthPick(const PenDialogLayout& layout, int x) {
    return x > layout.paletteWidth;
}

int CountWidthDoublings(const PenDialogLayout& layout, int y) {
    // Past the five bands every row gives 64; the cap also keeps the doubling from overflowing.
    if (layout.bandHeight <= 0 || y / layout.bandHeight >= WIDTH_SAMPLE_COUNT) {
        return WIDTH_SAMPLE_COUNT;
    }
    return y / layout.bandHeight;
}

SampleStroke ComputeSampleStroke(const PenDialogLayout& layout, int k) {
    const int margin = UnitsToPixels(64, layout.dpi);
    return {layout.paletteWidth + margin, layout.height * (4 * k + 1) / 20, layout.width - margin,
            layout.height * (4 * k + 3) / 20, UnitsToPixels(2 << k, layout.dpi)};
}
