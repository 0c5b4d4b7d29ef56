#include "canvas/view_input.h"

#include <windowsx.h>

#include "canvas/view.h"
#include "canvas/view_step.h"
#include "records/app_window.h"

static_assert(WHEEL_NOTCH == WHEEL_DELTA && WHEEL_SCROLLS_PAGES == WHEEL_PAGESCROLL,
              "the wheel's units must be the platform's");
static_assert(KEY_CODE_PAGE_UP == VK_PRIOR && KEY_CODE_PAGE_DOWN == VK_NEXT &&
                  KEY_CODE_END == VK_END && KEY_CODE_HOME == VK_HOME && KEY_CODE_LEFT == VK_LEFT &&
                  KEY_CODE_UP == VK_UP && KEY_CODE_RIGHT == VK_RIGHT && KEY_CODE_DOWN == VK_DOWN &&
                  KEY_CODE_NUMPAD_0 == VK_NUMPAD0 && KEY_CODE_ADD == VK_ADD &&
                  KEY_CODE_SUBTRACT == VK_SUBTRACT && KEY_CODE_OEM_PLUS == VK_OEM_PLUS &&
                  KEY_CODE_OEM_MINUS == VK_OEM_MINUS,
              "key codes must be the platform's");
static_assert(BAR_LINE_UP == SB_LINEUP && BAR_LINE_DOWN == SB_LINEDOWN &&
                  BAR_PAGE_UP == SB_PAGEUP && BAR_PAGE_DOWN == SB_PAGEDOWN &&
                  BAR_THUMB_POSITION == SB_THUMBPOSITION && BAR_THUMB_TRACK == SB_THUMBTRACK &&
                  BAR_TOP == SB_TOP && BAR_BOTTOM == SB_BOTTOM,
              "scroll-bar requests must be the platform's");

namespace {

// A drag with the middle button: the client point of its last move.
struct ViewDrag {
    bool active;
    ViewPoint last;
};

ViewDrag g_drag;

// The pointer's client position in a message that carries it signed: a captured pointer may be
// left of or above the client area.
ViewPoint SignedPoint(LPARAM point) {
    return {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
}

// The system's lines and characters per notch; 3 each, Windows' defaults, where it cannot say.
WheelSettings ReadWheelSettings() {
    UINT lines = 3;
    UINT chars = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    SystemParametersInfoW(SPI_GETWHEELSCROLLCHARS, 0, &chars, 0);
    return {lines, chars};
}

WheelTurn DecodeWheel(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; // on the screen
    ScreenToClient(g_app.hwnd, &pointer);
    const WORD keys = GET_KEYSTATE_WPARAM(wParam);
    return {GET_WHEEL_DELTA_WPARAM(wParam),
            message == WM_MOUSEHWHEEL,
            (keys & MK_CONTROL) != 0,
            (keys & MK_SHIFT) != 0,
            {pointer.x, pointer.y}};
}

// Takes the next message of the window's queue when it is a wheel's; any other stays, and so do
// the wheel messages behind it, which keeps the order of input.
bool TakeQueuedWheel(MSG& message) {
    return PeekMessageW(&message, g_app.hwnd, 0, 0, PM_NOREMOVE) != FALSE &&
           (message.message == WM_MOUSEWHEEL || message.message == WM_MOUSEHWHEEL) &&
           PeekMessageW(&message, g_app.hwnd, message.message, message.message, PM_REMOVE) != FALSE;
}

void StopViewDrag() {
    if (g_drag.active) {
        g_drag.active = false;
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
}

} // namespace

void OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam) {
    const ClientExtent client = ReadClientSize();
    const WheelSettings settings = ReadWheelSettings();
    ViewState next = g_view;
    StepWheel(g_scrollCarry, next, client, DecodeWheel(message, wParam, lParam), settings);
    for (MSG queued; TakeQueuedWheel(queued);) {
        StepWheel(g_scrollCarry, next, client,
                  DecodeWheel(queued.message, queued.wParam, queued.lParam), settings);
    }
    MoveView(next);
}

void OnViewKey(WPARAM key) {
    const KeyPress press = {static_cast<unsigned>(key), GetKeyState(VK_CONTROL) < 0,
                            GetKeyState(VK_SHIFT) < 0};
    ViewState next = g_view;
    if (StepViewKey(g_scrollCarry, next, ReadClientSize(), press)) {
        MoveView(next);
    }
}

void OnScrollBar(int bar, WPARAM request) {
    // The thumb's position in the message has 16 bits; the bar's own record has all 32.
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(g_app.hwnd, bar, &info);
    ViewState next = g_view;
    if (StepScrollBar(g_scrollCarry, next, ReadClientSize(),
                      {bar == SB_HORZ, LOWORD(request), info.nTrackPos})) {
        MoveView(next);
    }
}

void OnViewDragStart(LPARAM point) {
    g_drag = {true, SignedPoint(point)};
    SetCapture(g_app.hwnd);
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
}

bool OnViewDragMove(LPARAM point) {
    if (!g_drag.active) {
        return false;
    }
    const ViewPoint current = SignedPoint(point);
    ViewState next = g_view;
    StepDrag(g_scrollCarry, next, ReadClientSize(), g_drag.last, current);
    g_drag.last = current;
    MoveView(next);
    return true;
}

void OnViewDragEnd() {
    if (g_drag.active && GetCapture() == g_app.hwnd) {
        ReleaseCapture(); // WM_CAPTURECHANGED stops the drag
    }
    StopViewDrag();
}

void OnViewDragLost() {
    StopViewDrag();
}
