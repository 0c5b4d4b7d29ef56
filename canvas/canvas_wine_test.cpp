// The layers, the composite and quarter turns, on real GDI bitmaps under Wine.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "canvas/quarter_turn.h"
#include "records/document_state.h"
#include "view_pictures.h"
#include "wine_app.h"

namespace {

constexpr int LAST = CANVAS_SIZE - 1;

class CanvasTest : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow(800, 600);
        ResetInkLayer();
        ResetBackgroundLayer();
        g_document.modified = 0;
    }
};

TEST_F(CanvasTest, ResetLayersAreWhiteEverywhere) {
    FillBitmap(g_canvas.ink, RGB(10, 20, 30));
    ResetInkLayer();
    for (int p : {0, 1, 1023, 2046, 2047}) {
        EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, p, p), RGB(255, 255, 255));
        EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 2047 - p, p), RGB(255, 255, 255));
        EXPECT_EQ(ReadBitmapPixel(g_canvas.background, p, 2047 - p), RGB(255, 255, 255));
    }
}

TEST_F(CanvasTest, CompositeKeepsNearWhiteInkAndDropsPureWhite) {
    FillBitmap(g_canvas.background, RGB(0, 0, 200));
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, g_canvas.ink);
    SetPixel(memory, 10, 10, RGB(0xFF, 0xFF, 0xFE)); // 0xFEFFFF
    SetPixel(memory, 11, 10, RGB(200, 0, 0));
    SelectObject(memory, old);
    DeleteDC(memory);

    EXPECT_EQ(ComposeCanvas(), 1);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 10, 10), RGB(0xFF, 0xFF, 0xFE));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 11, 10), RGB(200, 0, 0));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 12, 10), RGB(0, 0, 200));
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 2047, 2047), RGB(0, 0, 200));
}

TEST_F(CanvasTest, ComposingFailsWhenTheInkCannotBeLaidOver) {
    FillBitmapRect(g_canvas.ink, 10, 10, 20, 20, RGB(200, 0, 0));
    int composed = 1;
    {
        const ScopedFailingTransparentBlt failing;
        composed = ComposeCanvas();
    }
    EXPECT_EQ(composed, 0);
    EXPECT_EQ(ComposeCanvas(), 1);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.composite, 15, 15), RGB(200, 0, 0));
}

TEST_F(CanvasTest, ComposingAgainReleasesThePreviousComposite) {
    ComposeCanvas();
    const int before = CountFreeGdiHandles();
    ASSERT_GT(before, 1000);
    for (int i = 0; i < 5; ++i) {
        ComposeCanvas();
    }
    EXPECT_EQ(CountFreeGdiHandles(), before);
}

TEST_F(CanvasTest, TheFreeHandleCountSeesALeakOfOneObject) {
    const int before = CountFreeGdiHandles();
    HPEN leaked = CreatePen(PS_SOLID, 1, 0);
    EXPECT_EQ(CountFreeGdiHandles(), before - 1);
    DeleteObject(leaked);
    EXPECT_EQ(CountFreeGdiHandles(), before);
}

TEST_F(CanvasTest, QuarterTurnsAreExactPermutations) {
    PaintNoise(g_canvas.ink, 2463534242u);
    const std::vector<std::uint32_t> before = ReadLayer(g_canvas.ink);

    RotateLayerQuarterTurn(g_canvas.ink, 0);
    EXPECT_EQ(g_document.modified, 1);
    const std::vector<std::uint32_t> counter = ReadLayer(g_canvas.ink);
    RotateLayerQuarterTurn(g_canvas.ink, -1);
    EXPECT_TRUE(ReadLayer(g_canvas.ink) == before) << "one turn each way";
    RotateLayerQuarterTurn(g_canvas.ink, -5);
    const std::vector<std::uint32_t> clockwise = ReadLayer(g_canvas.ink);
    RotateLayerQuarterTurn(g_canvas.ink, 7);
    EXPECT_TRUE(ReadLayer(g_canvas.ink) == before) << "-5 then 7";

    // Counter-clockwise: the top-right corner comes to the top-left; clockwise the reverse.
    int wrongCounter = 0;
    int wrongClockwise = 0;
    for (int y = 0; y < CANVAS_SIZE; ++y) {
        for (int x = 0; x < CANVAS_SIZE; ++x) {
            wrongCounter += counter[y * CANVAS_SIZE + x] != before[x * CANVAS_SIZE + (LAST - y)];
            wrongClockwise +=
                clockwise[y * CANVAS_SIZE + x] != before[(LAST - x) * CANVAS_SIZE + y];
        }
    }
    EXPECT_EQ(wrongCounter, 0);
    EXPECT_EQ(wrongClockwise, 0);
}

TEST_F(CanvasTest, FourTurnsOneWayRestoreTheLayer) {
    for (int angle : {45, -119}) {
        PaintNoise(g_canvas.background, 2463534242u);
        const std::vector<std::uint32_t> before = ReadLayer(g_canvas.background);
        for (int i = 0; i < 4; ++i) {
            RotateLayerQuarterTurn(g_canvas.background, angle);
            if (i < 3) {
                EXPECT_FALSE(ReadLayer(g_canvas.background) == before) << angle << " turn " << i;
            }
        }
        EXPECT_TRUE(ReadLayer(g_canvas.background) == before) << angle;
    }
}

TEST_F(CanvasTest, CounterClockwiseTurnBringsTheTopRightCornerToTheTopLeft) {
    FillBitmapRect(g_canvas.ink, LAST, 0, CANVAS_SIZE, 1, BLACK);
    RotateLayerQuarterTurn(g_canvas.ink, 0);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 0, 0), BLACK);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, LAST, 0), WHITE);
    RotateLayerQuarterTurn(g_canvas.ink, -1);
    RotateLayerQuarterTurn(g_canvas.ink, -1);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, LAST, LAST), BLACK);
}

} // namespace
