// How the wheel, the keys, the scroll bars and a drag with the middle button move the view: the
// decoded input and the view in, the view to show out, clamped as every view is. Platform-free.
#pragma once

#include "canvas/view_math.h"

// One notch of a wheel (WHEEL_DELTA): a notch's share of a line setting, or of a zoom step.
constexpr int WHEEL_NOTCH = 120;
// A line of scrolling in client pixels: an arrow key, a scroll-bar arrow, one of the wheel's lines.
constexpr int SCROLL_LINE = 40;
// The system's wheel setting that asks for a page per notch (WHEEL_PAGESCROLL).
constexpr unsigned WHEEL_SCROLLS_PAGES = 0xFFFFFFFFu;

// Keys as the platform numbers them (virtual-key codes).
constexpr unsigned KEY_CODE_PAGE_UP = 0x21;
constexpr unsigned KEY_CODE_PAGE_DOWN = 0x22;
constexpr unsigned KEY_CODE_END = 0x23;
constexpr unsigned KEY_CODE_HOME = 0x24;
constexpr unsigned KEY_CODE_LEFT = 0x25;
constexpr unsigned KEY_CODE_UP = 0x26;
constexpr unsigned KEY_CODE_RIGHT = 0x27;
constexpr unsigned KEY_CODE_DOWN = 0x28;
constexpr unsigned KEY_CODE_0 = 0x30;
constexpr unsigned KEY_CODE_NUMPAD_0 = 0x60;
constexpr unsigned KEY_CODE_ADD = 0x6B;
constexpr unsigned KEY_CODE_SUBTRACT = 0x6D;
constexpr unsigned KEY_CODE_OEM_PLUS = 0xBB;
constexpr unsigned KEY_CODE_OEM_MINUS = 0xBD;

// Scroll-bar requests as the platform numbers them (SB_LINEUP to SB_BOTTOM).
constexpr int BAR_LINE_UP = 0;
constexpr int BAR_LINE_DOWN = 1;
constexpr int BAR_PAGE_UP = 2;
constexpr int BAR_PAGE_DOWN = 3;
constexpr int BAR_THUMB_POSITION = 4;
constexpr int BAR_THUMB_TRACK = 5;
constexpr int BAR_TOP = 6;
constexpr int BAR_BOTTOM = 7;

// The part of a canvas pixel that inputs moved the view by and the whole-pixel origin could not
// take yet. It counts only while the view is still the one it was left with: a gesture or a clamp
// that moved the view since drops it.
struct ScrollCarry {
    double x;
    double y;
    ViewState view;
};

extern ScrollCarry g_scrollCarry;

// One message of a wheel or a touchpad's swipe or pinch.
struct WheelTurn {
    int delta;       // WHEEL_NOTCH per notch: away from the user, or to the right when horizontal
    bool horizontal; // a tilted wheel or a sideways swipe
    bool control;
    bool shift;
    ViewPoint pointer; // client point
};

// Lines (vertical) and characters (horizontal) per notch, or WHEEL_SCROLLS_PAGES.
struct WheelSettings {
    unsigned lines;
    unsigned chars;
};

struct KeyPress {
    unsigned key;
    bool control;
    bool shift;
};

struct ScrollBarRequest {
    bool horizontal;
    int request;
    int trackPosition; // where the thumb is being dragged, in canvas pixels
};

// A wheel scrolls by the system's lines (40 client pixels each) or pages for each notch, in
// proportion to the delta; Shift turns it sideways. With Ctrl it zooms about the pointer by
// 2^(1/4) a notch, the canvas point under the pointer staying under it.
void StepWheel(ScrollCarry& carry, ViewState& view, const ClientExtent& client,
               const WheelTurn& turn, const WheelSettings& settings);
// The arrows scroll a line, PageUp and PageDown a page (sideways with Shift); Ctrl+Home and
// Ctrl+End show the canvas's corners; Ctrl with + or - zooms by a notch and Ctrl+0 to 1.0, about
// the client's centre. False for every other key.
bool StepViewKey(ScrollCarry& carry, ViewState& view, const ClientExtent& client,
                 const KeyPress& press);
// The bar's arrows scroll a line, its track a page, its thumb puts the origin where it is.
// False for requests that move nothing.
bool StepScrollBar(ScrollCarry& carry, ViewState& view, const ClientExtent& client,
                   const ScrollBarRequest& request);
// A drag of the canvas by the pointer from `from` to `to`, in client points.
void StepDrag(ScrollCarry& carry, ViewState& view, const ClientExtent& client, ViewPoint from,
              ViewPoint to);
