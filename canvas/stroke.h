// Writing: the left button's press, moves and release draw a stroke onto the ink layer, and each
// move shows only what it changed.
#pragma once

#include <windows.h>

void OnStrokeStart(LPARAM point);
// Moves that arrived while the window was busy reach it merged into one; the stroke still passes
// through every position the system recorded in between.
void OnStrokeMove(WPARAM buttons, LPARAM point);
void OnStrokeEnd(LPARAM point);
// Ends a stroke in progress, if any: the moves that follow draw nothing until the next press, and
// the stroke is a whole step of the undo history. Every path that ends a stroke calls it: the
// release, a move without the button, a repaint, a gesture, a turn, a command that replaces the
// memo.
void EndStroke();
