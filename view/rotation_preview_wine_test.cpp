// The rotation preview, on the real layers and the real window under Wine.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/layer_replacement.h"
#include "canvas/quarter_turn.h"
#include "view/rotation_preview.h"
#include "view/view.h"
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

class RotationPreviewTest : public testing::Test {
  protected:
    void SetUp() override {
        StartTestWindow(800, 600);
        ResetInkLayer();
        ResetBackgroundLayer();
        g_settings.backgroundEnabled = 0;
        g_view = {1.0, 0, 0, NO_POINT};
        g_document.modified = 0;
    }
};

// With the view centred on the canvas centre (client 400, 300), a bar to the right of the centre.
TEST_F(RotationPreviewTest, PreviewShowsTheInkTurnedAboutTheCanvasCentre) {
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
        PaintView(PaintForm::Immediate);
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

TEST_F(RotationPreviewTest, PreviewOfAViewWiderThanTheCanvasShowsItWhereTheViewDoes) {
    StartTestWindow(1200, 700);
    g_view = {0.5, 0, 0, NO_POINT};
    PaintView(PaintForm::Immediate);
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
TEST_F(RotationPreviewTest, PreviewAtRightAnglesShowsWhatTheFullSizePictureShowed) {
    PaintNoise(g_canvas.ink, 7u);
    for (double zoom : {1.0, 2.0}) {
        for (int angle : {0, 90}) {
            g_view = {zoom, 500, 700, NO_POINT};
            PaintView(PaintForm::Immediate);
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

// At any angle, on a client of no round size and through a zoom between the steps, each pixel of
// the canvas part shows an ink pixel within one canvas pixel of the turned point under its centre
// (reckoned as GDI+ does, a pixel's centre at its whole coordinates), or white where that point is
// off the canvas; a background changes nothing.
TEST_F(RotationPreviewTest, PreviewShowsTheInkPixelUnderEachTurnedClientPixel) {
    StartTestWindow(803, 611);
    PaintNoise(g_canvas.ink, 9u);
    const std::vector<std::uint32_t> ink = ReadLayer(g_canvas.ink);
    RECT client;
    GetClientRect(g_app.hwnd, &client);
    for (int angle : {0, 30, 90, 200}) {
        for (int background : {0, 1}) {
            g_settings.backgroundEnabled = background;
            g_view = {1.37, 300, 200, NO_POINT};
            PaintView(PaintForm::Immediate);
            DrawRotationPreview(angle);
            const std::vector<std::uint32_t> shown = ReadClientArea();
            const ViewBlit b = ComputeViewBlit(g_view, client.right, client.bottom);
            const double turn = angle * 3.14159265358979 / 180;
            int missed = 0;
            for (int y = b.dstY; y < b.dstY + b.dstH; ++y) {
                for (int x = b.dstX; x < b.dstX + b.dstW; ++x) {
                    const double u = (x - b.dstX + 0.5) * b.srcW / b.dstW - 0.5 + b.srcX - 1024;
                    const double v = (y - b.dstY + 0.5) * b.srcH / b.dstH - 0.5 + b.srcY - 1024;
                    const int px =
                        static_cast<int>(std::floor(u * cos(turn) - v * sin(turn) + 0.5)) + 1024;
                    const int py =
                        static_cast<int>(std::floor(u * sin(turn) + v * cos(turn) + 0.5)) + 1024;
                    const std::uint32_t pixel = shown[static_cast<size_t>(y) * client.right + x];
                    bool nearby = false;
                    for (int q = 0; q < 9; ++q) {
                        const int cx = px + q % 3 - 1;
                        const int cy = py + q / 3 - 1;
                        const bool on = cx >= 0 && cx <= LAST && cy >= 0 && cy <= LAST;
                        nearby |= pixel == (on ? ink[static_cast<size_t>(cy) * CANVAS_SIZE + cx]
                                               : 0xFFFFFFu);
                    }
                    missed += !nearby;
                }
            }
            EXPECT_EQ(missed, 0) << angle << " degrees, background " << background;
        }
    }
    StartTestWindow(800, 600);
}

// Wine counts no GDI objects (GetGuiResources gives 0), but every leaked 2048 x 2048 bitmap or
// GDI+ copy takes 16 MB of this 32-bit process's address space.
ULONGLONG FreeAddressSpace() {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return status.ullAvailVirtual;
}

TEST_F(RotationPreviewTest, TurnsAndPreviewsReleaseWhatTheyMake) {
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
