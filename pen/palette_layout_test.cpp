#include "pen/palette_layout.h"

#include <gtest/gtest.h>

namespace {

int PickedWidth(const PenDialogLayout& layout, int y) {
    int width = 2;
    for (int i = CountWidthDoublings(layout, y); i > 0; --i) {
        width *= 2;
    }
    return width;
}

TEST(PenDialogLayout, WorkedExampleOf432By336) {
    const PenDialogLayout layout = ComputePenDialogLayout(432, 336, 96);
    EXPECT_EQ(layout.paletteWidth, 288);
    EXPECT_EQ(layout.bandHeight, 67);

    const int tops[] = {16, 84, 151, 218, 285};
    const int bottoms[] = {50, 117, 184, 252, 319};
    for (int k = 0; k < WIDTH_SAMPLE_COUNT; ++k) {
        const SampleStroke sample = ComputeSampleStroke(layout, k);
        EXPECT_EQ(sample.x0, 352) << k;
        EXPECT_EQ(sample.x1, 368) << k;
        EXPECT_EQ(sample.y0, tops[k]) << k;
        EXPECT_EQ(sample.y1, bottoms[k]) << k;
        EXPECT_EQ(sample.width, 2 << k) << k;
        // Each sample lies in the band whose click picks its width.
        EXPECT_EQ(PickedWidth(layout, sample.y0), sample.width) << k;
        EXPECT_EQ(PickedWidth(layout, sample.y1), sample.width) << k;
    }

    EXPECT_FALSE(IsWidthPick(layout, 0));
    EXPECT_FALSE(IsWidthPick(layout, 287));
    EXPECT_FALSE(IsWidthPick(layout, 288)); // x = P belongs to the palette side
    EXPECT_TRUE(IsWidthPick(layout, 289));
    EXPECT_TRUE(IsWidthPick(layout, 431));

    struct Band {
        int first, last, width;
    } bands[] = {{0, 66, 2},     {67, 133, 4},   {134, 200, 8},
                 {201, 267, 16}, {268, 334, 32}, {335, 335, 64}};
    for (const Band& band : bands) {
        for (int y = band.first; y <= band.last; ++y) {
            EXPECT_EQ(PickedWidth(layout, y), band.width) << "y " << y;
        }
    }
}

TEST(PenDialogLayout, TopBandDoesNotDoubleAndOthersDoubleOncePerBand) {
    const PenDialogLayout layout = ComputePenDialogLayout(432, 336, 96);
    EXPECT_EQ(CountWidthDoublings(layout, 0), 0);
    EXPECT_EQ(CountWidthDoublings(layout, 66), 0);
    EXPECT_EQ(CountWidthDoublings(layout, 67), 1);
    EXPECT_EQ(CountWidthDoublings(layout, 334), 4);
    EXPECT_EQ(CountWidthDoublings(layout, 335), 5);
}

TEST(PenDialogLayout, PointsBelowTheBandsGive64WithoutOverflow) {
    // A client area of a multiple of 5 rows has no extra rows; points beyond it (the pointer
    // word goes to 65535) and a client too low for any band still give 64, never more.
    const PenDialogLayout exact = ComputePenDialogLayout(300, 335, 96);
    EXPECT_EQ(exact.bandHeight, 67);
    EXPECT_EQ(PickedWidth(exact, 334), 32);
    EXPECT_EQ(PickedWidth(exact, 65535), 64);

    const PenDialogLayout low = ComputePenDialogLayout(30, 9, 96);
    EXPECT_EQ(PickedWidth(low, 4), 32);
    EXPECT_EQ(PickedWidth(low, 5), 64);
    EXPECT_EQ(PickedWidth(low, 8), 64);

    const PenDialogLayout none = ComputePenDialogLayout(30, 4, 96);
    EXPECT_EQ(none.bandHeight, 0);
    EXPECT_EQ(PickedWidth(none, 0), 64);
}

TEST(PenDialogLayout, TruncatesEveryDivision) {
    const PenDialogLayout layout = ComputePenDialogLayout(433, 339, 96);
    EXPECT_EQ(layout.paletteWidth, 288); // 866 / 3
    EXPECT_EQ(layout.bandHeight, 67);
    const SampleStroke last = ComputeSampleStroke(layout, 4);
    EXPECT_EQ(last.y0, 288); // 339 × 17 / 20 = 288.15
    EXPECT_EQ(last.y1, 322); // 339 × 19 / 20 = 322.05
    EXPECT_EQ(last.x0, 352);
    EXPECT_EQ(last.x1, 369);
}

} // namespace
