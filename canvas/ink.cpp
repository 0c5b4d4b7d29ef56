#include "canvas/ink.h"

#include "canvas/canvas.h"
#include "canvas/history.h"
#include "records/scoped_gdi.h"

PixelRect DrawInkChain(const PixelPoint* points, int count, COLORREF color, int width) {
    PixelRect changed = EMPTY_RECT;
    for (int i = 0; i < count; ++i) {
        changed = UniteRects(changed, SegmentBounds(points[i], points[i + 1], width));
    }
    ScopedCreateDC layer(CreateCompatibleDC(nullptr));
    ScopedSelect inkSelected(layer, g_canvas.ink);
    KeepInkBefore(layer, changed);
    ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, width, color));
    ScopedSelect penSelected(layer, pen);
    MoveToEx(layer, points[0].x, points[0].y, nullptr);
    for (int i = 1; i <= count; ++i) {
        LineTo(layer, points[i].x, points[i].y);
    }
    return changed;
}
