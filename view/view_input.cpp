#include "view/view_input.h"

#include <windowsx.h>

#include <algorithm>

#include "records/app_window.h"
#include "view/view.h"
#include "view/view_step.h"

namespace {

// A drag with the middle button: the client point of its last move.
struct ViewDrag {
    bool active;
    PixelPoint last;
};

ViewDrag g_drag;

// The pointer's client position in a message that carries it signed: a captured pointer may be
// left of or above the client area.
PixelPoint SignedPoint(LPARAM point) {
    return {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
}

// The system's lines and characters per notch (or WHEEL_PAGESCROLL); 3 each, Windows' defaults,
// where it cannot say.
struct WheelSettings {
    UINT lines;
    UINT chars;
};

WheelSettings ReadWheelSettings() {
    WheelSettings settings = {3, 3};
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &settings.lines, 0);
    SystemParametersInfoW(SPI_GETWHEELSCROLLCHARS, 0, &settings.chars, 0);
    return settings;
}

// One message of a wheel or a touchpad's swipe or pinch. A wheel scrolls by the system's lines or
// pages for each notch, in proportion to the delta; Shift turns it sideways. With Ctrl it zooms
// about the pointer by a notch's factor.
void StepWheel(ViewState& view, const ClientExtent& client, const WheelSettings& settings,
               UINT message, WPARAM wParam, LPARAM lParam) {
    const double notches = static_cast<double>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
    const WORD keys = GET_KEYSTATE_WPARAM(wParam);
    const bool horizontal = message == WM_MOUSEHWHEEL;
    if ((keys & MK_CONTROL) != 0 && !horizontal) {
        POINT pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; // on the screen
        ScreenToClient(g_app.hwnd, &pointer);
        // The wheel may come to the focused window with the pointer elsewhere (Windows 7, or
        // "Scroll inactive windows" off): the zoom keeps to the client's nearest point.
        const PixelPoint about = {std::clamp<int>(pointer.x, 0, std::max(client.width - 1, 0)),
                                  std::clamp<int>(pointer.y, 0, std::max(client.height - 1, 0))};
        ZoomBy(view, client, ZoomNotchFactor(notches), about);
        return;
    }
    const Axis axis = horizontal || (keys & MK_SHIFT) != 0 ? Axis::X : Axis::Y;
    const UINT perNotch = axis == Axis::X ? settings.chars : settings.lines;
    // Turned away from the user the wheel scrolls up, or left with Shift; a tilt to the right
    // scrolls right.
    const double amount = horizontal ? notches : -notches;
    if (perNotch == WHEEL_PAGESCROLL) {
        ScrollByPages(view, client, axis, amount);
    } else {
        ScrollByLines(view, client, axis, amount * perNotch);
    }
}

// Takes the next message of the window's queue when it is a wheel's; any other stays, and so do
// the wheel messages behind it, which keeps the order of input.
bool TakeQueuedWheel(MSG& message) {
    return PeekMessageW(&message, g_app.hwnd, 0, 0, PM_NOREMOVE) != FALSE &&
           (message.message == WM_MOUSEWHEEL || message.message == WM_MOUSEHWHEEL) &&
           PeekMessageW(&message, g_app.hwnd, message.message, message.message, PM_REMOVE) != FALSE;
}

PixelPoint ClientCentre(const ClientExtent& client) {
    return {client.width / 2, client.height / 2};
}

// Ctrl+Home and Ctrl+End show the canvas's corners; Ctrl with + or - zooms by a notch and Ctrl+0
// to 1, about the client's centre.
bool StepControlKey(ViewState& view, const ClientExtent& client, WPARAM key) {
    switch (key) {
    case VK_OEM_PLUS:
    case VK_ADD: ZoomBy(view, client, ZoomNotchFactor(1.0), ClientCentre(client)); return true;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
        ZoomBy(view, client, ZoomNotchFactor(-1.0), ClientCentre(client));
        return true;
    case '0':
    case VK_NUMPAD0: ZoomBy(view, client, 1.0 / view.zoom, ClientCentre(client)); return true;
    case VK_HOME:
        ScrollToPosition(view, client, Axis::X, 0.0);
        ScrollToPosition(view, client, Axis::Y, 0.0);
        return true;
    case VK_END:
        ScrollToPosition(view, client, Axis::X, CANVAS_SIZE);
        ScrollToPosition(view, client, Axis::Y, CANVAS_SIZE);
        return true;
    }
    return false;
}

// The arrows scroll a line, Page Up and Page Down a page (sideways with Shift).
bool StepKey(ViewState& view, const ClientExtent& client, WPARAM key) {
    const Axis pageAxis = GetKeyState(VK_SHIFT) < 0 ? Axis::X : Axis::Y;
    switch (key) {
    case VK_LEFT: ScrollByLines(view, client, Axis::X, -1.0); return true;
    case VK_RIGHT: ScrollByLines(view, client, Axis::X, 1.0); return true;
    case VK_UP: ScrollByLines(view, client, Axis::Y, -1.0); return true;
    case VK_DOWN: ScrollByLines(view, client, Axis::Y, 1.0); return true;
    case VK_PRIOR: ScrollByPages(view, client, pageAxis, -1.0); return true;
    case VK_NEXT: ScrollByPages(view, client, pageAxis, 1.0); return true;
    }
    return GetKeyState(VK_CONTROL) < 0 && StepControlKey(view, client, key);
}

// The bar's arrows scroll a line, its track a page, its thumb puts the origin where it is.
bool StepScrollBar(ViewState& view, const ClientExtent& client, Axis axis, WORD request,
                   int thumb) {
    switch (request) {
    case SB_LINEUP: ScrollByLines(view, client, axis, -1.0); return true;
    case SB_LINEDOWN: ScrollByLines(view, client, axis, 1.0); return true;
    case SB_PAGEUP: ScrollByPages(view, client, axis, -1.0); return true;
    case SB_PAGEDOWN: ScrollByPages(view, client, axis, 1.0); return true;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: ScrollToPosition(view, client, axis, thumb); return true;
    case SB_TOP: ScrollToPosition(view, client, axis, 0.0); return true;
    case SB_BOTTOM: ScrollToPosition(view, client, axis, CANVAS_SIZE); return true;
    }
    return false;
}

void StopViewDrag() {
    if (g_drag.active) {
        g_drag.active = false;
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
}

// Where the thumb is: while it is dragged, the bar's own record has it in all 32 bits; at the end
// of a drag and for "Scroll Here", which comes without a drag, the message has it (the canvas's
// positions fit its 16 bits).
int ThumbPosition(int bar, WPARAM request) {
    if (LOWORD(request) == SB_THUMBPOSITION) {
        return HIWORD(request);
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(g_app.hwnd, bar, &info);
    return info.nTrackPos;
}

} // namespace

ViewState ViewAfterWheel(UINT message, WPARAM wParam, LPARAM lParam) {
    const ClientExtent client = ReadClientSize();
    const WheelSettings settings = ReadWheelSettings();
    ViewState view = g_view;
    StepWheel(view, client, settings, message, wParam, lParam);
    for (MSG queued; TakeQueuedWheel(queued);) {
        StepWheel(view, client, settings, queued.message, queued.wParam, queued.lParam);
    }
    return view;
}

std::optional<ViewState> ViewAfterKey(WPARAM key) {
    ViewState view = g_view;
    if (!StepKey(view, ReadClientSize(), key)) {
        return std::nullopt;
    }
    return view;
}

std::optional<ViewState> ViewAfterScrollBar(int bar, WPARAM request) {
    ViewState view = g_view;
    if (!StepScrollBar(view, ReadClientSize(), bar == SB_HORZ ? Axis::X : Axis::Y, LOWORD(request),
                       ThumbPosition(bar, request))) {
        return std::nullopt;
    }
    return view;
}

void StartViewDrag(LPARAM point) {
    g_drag = {true, SignedPoint(point)};
    SetCapture(g_app.hwnd);
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
}

std::optional<ViewState> ViewAfterDragMove(LPARAM point) {
    if (!g_drag.active) {
        return std::nullopt;
    }
    const PixelPoint current = SignedPoint(point);
    ViewState view = g_view;
    ShiftByClientPixels(view, ReadClientSize(), current.x - g_drag.last.x,
                        current.y - g_drag.last.y);
    g_drag.last = current;
    return view;
}

void EndViewDrag() {
    if (g_drag.active && GetCapture() == g_app.hwnd) {
        ReleaseCapture(); // WM_CAPTURECHANGED stops the drag
    }
    StopViewDrag();
}

void OnViewDragLost() {
    StopViewDrag();
}
