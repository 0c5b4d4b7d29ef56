// The wheel (and a touchpad's swipes and pinches), the keys, the scroll bars and a drag with the
// middle button, decoded into the view's own commands. Each gives the view it asks for; moving
// there is the caller's.
#pragma once

#include <windows.h>

#include <optional>

#include "view/view_math.h"

// WM_MOUSEWHEEL and WM_MOUSEHWHEEL, with the turns of the wheel that queued up behind this one:
// they move the view together.
ViewState ViewAfterWheel(UINT message, WPARAM wParam, LPARAM lParam);
// WM_KEYDOWN: the keys that move the view; nothing for any other key.
std::optional<ViewState> ViewAfterKey(WPARAM key);
// WM_HSCROLL (SB_HORZ) and WM_VSCROLL (SB_VERT); nothing for requests that move nothing.
std::optional<ViewState> ViewAfterScrollBar(int bar, WPARAM request);
// The middle button's press starts a drag of the canvas under a hand; the pointer's moves then
// drag it until the release, or until the window loses the pointer.
void StartViewDrag(LPARAM point);
// Nothing while no drag is under way: the move is not the drag's.
std::optional<ViewState> ViewAfterDragMove(LPARAM point);
void EndViewDrag();
// WM_CAPTURECHANGED: a drag that lost the pointer ends where it is.
void OnViewDragLost();
