// Undo and redo. One step is a stroke from press to release, or a quarter turn of both layers;
// undo gives back the layers exactly as they were before it, redo as they were after it.
#pragma once

#include <windows.h>

#include "canvas/view_math.h"

// A fresh history: nothing from before comes back (a layer replaced, by a new or opened memo or a
// new background; layers that no step describes).
void StartHistory();
// Called by a stroke before it draws over `canvas` on the ink layer, selected into `layer`: the
// pixels there that the stroke has not changed yet are kept as they are.
void KeepInkBefore(HDC layer, const PixelRect& canvas);
// Makes the stroke that has just ended a whole step (EndStroke calls it); the next stroke is a
// step of its own.
void SettleStroke();
// Ends a stroke in progress, then turns both layers by a quarter turn (clockwise for a negative
// angle) as one step; a turn that fails changes nothing and is no step.
void TurnCanvasQuarter(int angle);
// Each gives back one step and repaints; false when there is none, or a stroke is in progress.
bool UndoStep();
bool RedoStep();
