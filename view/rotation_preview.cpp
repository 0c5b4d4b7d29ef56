#include "view/rotation_preview.h"

#include "canvas/canvas.h"
#include "records/document_state.h"
#include "view/frame_pixels.h"
#include "view/view.h"

void DrawRotationPreview(int angle) {
    const ClientExtent client = ReadClientSize();
    const ViewBlit blit = ComputeViewBlit(g_view, client.width, client.height);
    const LayerPixels ink = ReadLayerPixels(Layer::Ink);
    if (ink == nullptr || blit.dstW <= 0 || blit.dstH <= 0) {
        return;
    }
    // Only the client's part that shows canvas is built: the strips beside the canvas keep what
    // the last paint showed there, and the corners the turned square leaves show white. The ink
    // is read in place: it does not change while the fingers turn.
    ShowCanvasPartFrame(
        blit, [&](const FrameTarget& target) { TurnInkPixels(ink, blit, angle, target); });
    MarkModified();
}
