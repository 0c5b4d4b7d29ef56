// The pen's eraser end (the pen turned over, or its eraser button held) erases for one stroke.
// Platform-free: the window decides which end touches and when the stroke is over.
#pragma once

#include "pen/pen_state.h"

// The pen in use, kept aside while the eraser end writes. The menu's eraser and the pen it
// returns to are not involved: the stroke only borrows the eraser.
struct EraserEndStroke {
    bool active;
    PenColor color;
    int width;
};

extern EraserEndStroke g_eraserEnd;

// A pen touches, before its stroke begins: a swap that a lost lift left behind ends first, then
// the eraser end takes the eraser for this stroke. A pen that already erases keeps its width.
void BeginPenContact(PenState& pen, EraserEndStroke& stroke, bool eraserEnd);

// The stroke is over: the kept pen returns exactly as it was.
void EndEraserEndStroke(PenState& pen, EraserEndStroke& stroke);

// The pen has left the surface. While its stroke is still in progress the button-up message that
// follows draws the last segment and ends it; otherwise the pen returns now.
void LiftPen(PenState& pen, EraserEndStroke& stroke, bool strokeInProgress);
