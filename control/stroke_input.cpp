#include "control/stroke_input.h"

#include <algorithm>

#include "canvas/ink.h"
#include "control/controller.h"
#include "control/stroke_path.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "view/view.h"

namespace {

// The system's record of the last positions, newest first, in client coordinates; 0 when it
// has none for this point (its buffer has moved on, or it keeps no history).
int ReadMoveHistory(PixelPoint current, PixelPoint* history) {
    POINT origin = {0, 0};
    ClientToScreen(g_app.hwnd, &origin);
    MOUSEMOVEPOINT wanted = {};
    // The history speaks 16-bit display points: a negative screen coordinate is asked for wrapped.
    wanted.x = (origin.x + current.x) & 0xFFFF;
    wanted.y = (origin.y + current.y) & 0xFFFF;
    MOUSEMOVEPOINT recorded[MOVE_HISTORY_CAPACITY];
    const int count = std::min(GetMouseMovePointsEx(sizeof(MOUSEMOVEPOINT), &wanted, recorded,
                                                    MOVE_HISTORY_CAPACITY, GMMP_USE_DISPLAY_POINTS),
                               MOVE_HISTORY_CAPACITY);
    for (int i = 0; i < count; ++i) {
        history[i] = {UnwrapHistoryCoordinate(recorded[i].x) - origin.x,
                      UnwrapHistoryCoordinate(recorded[i].y) - origin.y};
    }
    return std::max(count, 0);
}

// Draws the chain from the stroke's last point through `points` onto the ink layer, and shows
// what it changed.
void DrawStrokeThrough(const PixelPoint* points, int count) {
    PixelPoint canvas[MOVE_HISTORY_CAPACITY + 1];
    // Where the stroke left off, in the view it was drawn in: a client that grew since (a window
    // maximized, a tablet turned) may move the view, and the stroke goes on from the same canvas
    // point rather than jumping.
    canvas[0] = ClientToCanvas(g_view, g_view.lastPoint);
    const bool viewMoved = ClampViewToClient();
    for (int i = 0; i < count; ++i) {
        canvas[i + 1] = ClientToCanvas(g_view, points[i]);
    }
    const PixelRect changed = DrawInkChain(canvas, count, g_pen.color, g_pen.width);
    MarkModified();
    if (viewMoved) {
        PaintView(PaintForm::Immediate);
    } else {
        ShowCanvasRect(changed);
    }
    g_view.lastPoint = points[count - 1];
}

} // namespace

void OnStrokeStart(LPARAM point) {
    EndStroke(); // a release that never reached us
    g_view.lastPoint = UnpackPoint(static_cast<std::uint32_t>(point));
}

void OnStrokeMove(WPARAM buttons, LPARAM point) {
    if (!StrokeInProgress(g_view)) {
        return;
    }
    // A button released outside the window never reaches us: a move with the button up ends
    // the stroke instead of drawing ink the user never wrote.
    if ((buttons & MK_LBUTTON) == 0) {
        EndStroke();
        return;
    }
    const PixelPoint current = UnpackPoint(static_cast<std::uint32_t>(point));
    PixelPoint history[MOVE_HISTORY_CAPACITY];
    const int recorded = ReadMoveHistory(current, history);
    PixelPoint path[MOVE_HISTORY_CAPACITY];
    const int merged = PickMergedPoints(history, recorded, g_view.lastPoint, current, path);
    path[merged] = current;
    DrawStrokeThrough(path, merged + 1);
}

void OnStrokeEnd(LPARAM point) {
    if (!StrokeInProgress(g_view)) {
        return;
    }
    const PixelPoint last = UnpackPoint(static_cast<std::uint32_t>(point));
    DrawStrokeThrough(&last, 1);
    EndStroke();
}
