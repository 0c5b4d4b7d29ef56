// The one place that orders each operation on the canvas and its view, for the input handlers,
// the gestures and the commands alike: end the stroke, change the pixels or the view, record the
// step, mark the memo, show the change.
#pragma once

#include <windows.h>

#include "view/view_math.h"

// Ends a stroke in progress, if any: the moves that follow draw nothing until the next press, and
// the stroke is a whole step of the undo history. Every path that ends a stroke calls it: the
// release, a move without the button, a repaint, a move of the view, a turn, a command that
// replaces the memo.
void EndStroke();
// Ends the stroke in progress and shows `target`, the view that an input asked for. Neither the
// canvas, nor the memo, nor its history are touched.
void MoveView(const ViewState& target);
// Ends the stroke in progress, then turns both layers by a quarter turn (clockwise for a negative
// angle) as one step, and shows them at the next paint; a turn that fails changes nothing and is
// no step.
void TurnCanvasQuarter(int angle);
// Each gives back one step and shows it; false when there is none, or a stroke is in progress.
bool UndoStep();
bool RedoStep();
// One WM_GESTURE: the view, the turn, the preview and the eraser as the gesture asks, then the
// handle closed.
void HandleGesture(HGESTUREINFO handle);
// WM_DPICHANGED: the window went to a screen of another scale, or the scale was changed. Ends the
// stroke in progress, takes the window rectangle that the system suggests, keeps the canvas point
// at the client's centre where it was, and repaints once, with frame buffers made anew.
void ChangeWindowDpi(int dpi, const RECT& suggested);
