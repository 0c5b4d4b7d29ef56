// Quarter turns and the rotation preview, on the real layers and the real window under Wine.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/rotation.h"
#include "canvas/view.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/settings.h"
#include "view_pictures.h"
#include "wine_app.h"

namespace {

constexpr int LAST = CANVAS_SIZE - 1;

// The client area as it is shown, read back in one piece.
class ClientShot {
  public:
    ClientShot() : pixels_(ReadClientArea()) {
        RECT client;
        GetClientRect(g_app.hwnd, &client);
        width_ = client.right;
    }

    COLORREF At(int x, int y) const {
        const std::uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

  private:
    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
};

class RotationTest : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow(800, 600);
        ResetInkLayer();
        ResetBackgroundLayer();
        g_settings.backgroundEnabled = 0;
        g_view = {1.0, 0, 0, NO_POINT};
        g_document.modified = 0;
        EndRotationPreview();
    }
};

TEST_F(RotationTest, QuarterTurnsAreExactPermutations) {
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

TEST_F(RotationTest, FourTurnsOneWayRestoreTheLayer) {
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

TEST_F(RotationTest, CounterClockwiseTurnBringsTheTopRightCornerToTheTopLeft) {
    FillBitmapRect(g_canvas.ink, LAST, 0, CANVAS_SIZE, 1, BLACK);
    RotateLayerQuarterTurn(g_canvas.ink, 0);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, 0, 0), BLACK);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, LAST, 0), WHITE);
    RotateLayerQuarterTurn(g_canvas.ink, -1);
    RotateLayerQuarterTurn(g_canvas.ink, -1);
    EXPECT_EQ(ReadBitmapPixel(g_canvas.ink, LAST, LAST), BLACK);
}

// With the view centred on the canvas centre (client 400, 300), a bar to the right of the centre.
TEST_F(RotationTest, PreviewShowsTheInkTurnedAboutTheCanvasCentre) {
    FillBitmapRect(g_canvas.ink, 1024 + 200, 1024 - 20, 1024 + 300, 1024 + 20, BLACK);
    FillBitmap(g_canvas.background, RGB(0, 150, 0));
    g_settings.backgroundEnabled = 1;
    const std::vector<std::uint32_t> inkBefore = ReadLayer(g_canvas.ink);
    struct Case {
        int angle;
        double zoom;
        int originX, originY;
        int inkX, inkY;     // client point that must show the turned bar
        int emptyX, emptyY; // client point where the upright bar was
    } cases[] = {
        {0, 1.0, 624, 724, 650, 300, 400, 100},
        {90, 1.0, 624, 724, 400, 50, 650, 300},   // counter-clockwise: the bar points up
        {-45, 1.0, 624, 724, 577, 477, 650, 300}, // clockwise by 45
        {90, 2.0, 924, 674, 200, 200, 200, 500},  // through the zoomed view
    };
    for (const Case& c : cases) {
        g_view = {c.zoom, c.originX, c.originY, NO_POINT};
        PaintView(1);
        g_document.modified = 0;
        DrawRotationPreview(c.angle);
        const ClientShot shot;
        EXPECT_EQ(shot.At(c.inkX, c.inkY), BLACK) << "angle " << c.angle;
        // Only the ink layer: where there is no ink the preview is white, not the background.
        EXPECT_EQ(shot.At(c.emptyX, c.emptyY), WHITE) << "angle " << c.angle;
        EXPECT_EQ(shot.At(400, 500), WHITE) << "angle " << c.angle;
        EXPECT_EQ(g_document.modified, 1);
        EXPECT_EQ(g_view.originX, c.originX);
    }
    EXPECT_TRUE(ReadLayer(g_canvas.ink) == inkBefore);
}

TEST_F(RotationTest, PreviewOfAViewWiderThanTheCanvasShowsItWhereTheViewDoes) {
    StartTestWindow(1200, 700);
    g_view = {0.5, 0, 0, NO_POINT};
    PaintView(1);
    ASSERT_EQ(g_view.originX, -352); // canvas x 0 is at client x 176
    const COLORREF strip = ReadClientPixel(100, 100);
    ASSERT_NE(strip, WHITE);
    FillBitmapRect(g_canvas.ink, 0, 0, 40, 40, BLACK);
    DrawRotationPreview(0);
    EXPECT_EQ(ReadClientPixel(100, 100), strip);
    EXPECT_EQ(ReadClientPixel(170, 5), strip);
    EXPECT_EQ(ReadClientPixel(182, 5), BLACK);
    EXPECT_EQ(ReadClientPixel(300, 300), WHITE);
    StartTestWindow(800, 600);
}

// The preview is built at the client's size with the nearest pixel; at right angles it must show
// what the full-size picture showed.
TEST_F(RotationTest, PreviewAtRightAnglesShowsWhatTheFullSizePictureShowed) {
    PaintNoise(g_canvas.ink, 7u);
    for (double zoom : {1.0, 2.0}) {
        for (int angle : {0, 90}) {
            g_view = {zoom, 500, 700, NO_POINT};
            PaintView(1);
            DrawFullSizeRotationPreview(angle);
            const std::vector<std::uint32_t> reference = ReadClientArea();
            DrawRotationPreview(angle);
            const std::vector<std::uint32_t> preview = ReadClientArea();
            int unlike = 0;
            for (size_t i = 0; i < preview.size(); ++i) {
                unlike += preview[i] != reference[i];
            }
            EXPECT_EQ(unlike, 0) << "zoom " << zoom << ", " << angle << " degrees";
        }
    }
}

// Wine counts no GDI objects (GetGuiResources gives 0), but every leaked 2048 x 2048 bitmap or
// GDI+ copy takes 16 MB of this 32-bit process's address space.
ULONGLONG FreeAddressSpace() {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return status.ullAvailVirtual;
}

TEST_F(RotationTest, TurnsAndPreviewsReleaseWhatTheyMake) {
    DrawRotationPreview(10);
    RotateLayerQuarterTurn(g_canvas.ink, 1);
    const ULONGLONG before = FreeAddressSpace();
    for (int angle : {-100, 30}) {
        DrawRotationPreview(angle);
        RotateLayerQuarterTurn(g_canvas.ink, angle);
    }
    const ULONGLONG megabyte = 1024 * 1024;
    EXPECT_LT(
        static_cast<long long>(before - FreeAddressSpace()) / static_cast<long long>(megabyte), 16);
}

} // namespace
