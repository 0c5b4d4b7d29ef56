// Undo and redo. One step is a stroke from press to release, or a quarter turn of both layers;
// undo gives back the layers exactly as they were before it, redo as they were after it. The
// history records and applies pixels only: showing them and marking the memo is its caller's.
#pragma once

#include <windows.h>

#include "canvas/pixel_rect.h"

enum class HistoryDirection { Undo, Redo };

// A fresh history: nothing from before comes back (a layer replaced, by a new or opened memo or a
// new background; layers that no step describes).
void StartHistory();
// Called by a stroke before it draws over `canvas` on the ink layer, selected into `layer`: the
// pixels there that the stroke has not changed yet are kept as they are.
void KeepInkBefore(HDC layer, const PixelRect& canvas);
// Makes the stroke that has just ended a whole step; the next stroke is a step of its own.
void SettleStroke();
// Makes a quarter turn of both layers by `angle`, just made, a step.
void RecordQuarterTurn(int angle);
// Gives back the step before the history's place, or the one after it, and moves the place. The
// canvas pixels it changed: none when there is no step that way or it could not start, the step
// staying where it was. Pixels written only in part leave layers that no step describes: the
// history goes, and what may have changed is returned all the same.
PixelRect MoveThroughHistory(HistoryDirection direction);
