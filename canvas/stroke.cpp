#include "canvas/stroke.h"

#include <algorithm>

#include "canvas/canvas.h"
#include "canvas/history.h"
#include "canvas/stroke_path.h"
#include "canvas/view.h"
#include "pen/pen_state.h"
#include "records/app_window.h"
#include "records/document_state.h"
#include "records/scoped_gdi.h"

namespace {

// The system's record of the last positions, newest first, in client coordinates; 0 when it
// has none for this point (its buffer has moved on, or it keeps no history).
int ReadMoveHistory(ViewPoint current, ViewPoint* history) {
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

// Draws the chain through the canvas points `canvas[0]` to `canvas[count]` onto the ink layer
// with the pen in use. What it draws over, `changed`, is kept first, for undo.
void DrawOnInk(const ViewPoint* canvas, int count, const PixelRect& changed) {
    ScopedCreateDC layer(CreateCompatibleDC(nullptr));
    ScopedSelect inkSelected(layer, g_canvas.ink);
    KeepInkBefore(layer, changed);
    ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, g_pen.width, g_pen.color));
    ScopedSelect penSelected(layer, pen);
    MoveToEx(layer, canvas[0].x, canvas[0].y, nullptr);
    for (int i = 1; i <= count; ++i) {
        LineTo(layer, canvas[i].x, canvas[i].y);
    }
}

// Draws the chain from the stroke's last point through `points` onto the ink layer, and shows
// what it changed once the layer is out of its context.
void DrawStrokeThrough(const ViewPoint* points, int count) {
    const bool viewMoved = ClampViewToClient();
    ViewPoint canvas[MOVE_HISTORY_CAPACITY + 1];
    canvas[0] = ClientToCanvas(g_view, g_view.lastPoint);
    PixelRect changed = EMPTY_RECT;
    for (int i = 0; i < count; ++i) {
        canvas[i + 1] = ClientToCanvas(g_view, points[i]);
        changed = UniteRects(changed, SegmentBounds(canvas[i], canvas[i + 1], g_pen.width));
    }
    DrawOnInk(canvas, count, changed);
    MarkModified();
    if (viewMoved) {
        PaintView(1);
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
    const ViewPoint current = UnpackPoint(static_cast<std::uint32_t>(point));
    ViewPoint history[MOVE_HISTORY_CAPACITY];
    const int recorded = ReadMoveHistory(current, history);
    ViewPoint path[MOVE_HISTORY_CAPACITY];
    const int merged = PickMergedPoints(history, recorded, g_view.lastPoint, current, path);
    path[merged] = current;
    DrawStrokeThrough(path, merged + 1);
}

void OnStrokeEnd(LPARAM point) {
    if (!StrokeInProgress(g_view)) {
        return;
    }
    const ViewPoint last = UnpackPoint(static_cast<std::uint32_t>(point));
    DrawStrokeThrough(&last, 1);
    EndStroke();
}

void EndStroke() {
    g_view.lastPoint = NO_POINT;
    SettleStroke();
}
