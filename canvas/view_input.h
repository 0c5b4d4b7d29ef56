// Moving the view with the wheel (and a touchpad's swipes and pinches), the keys, the scroll bars
// and a drag with the middle button. Each input moves it through MoveView.
#pragma once

#include <windows.h>

// WM_MOUSEWHEEL and WM_MOUSEHWHEEL. Turns that queued up behind this one move the view together.
void OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam);
// WM_KEYDOWN: the keys that move the view; any other key does nothing here.
void OnViewKey(WPARAM key);
// WM_HSCROLL (SB_HORZ) and WM_VSCROLL (SB_VERT).
void OnScrollBar(int bar, WPARAM request);
// The middle button's press, the pointer's moves and the release drag the canvas, under a hand.
void OnViewDragStart(LPARAM point);
// True while a drag is under way: the move was the drag's.
bool OnViewDragMove(LPARAM point);
void OnViewDragEnd();
// WM_CAPTURECHANGED: a drag that lost the pointer ends where it is.
void OnViewDragLost();
