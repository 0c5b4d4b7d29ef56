// Writing: the left button's press, moves and release draw a stroke onto the ink layer, and each
// move shows only what it changed.
#pragma once

#include <windows.h>

void OnStrokeStart(LPARAM point);
// Moves that arrived while the window was busy reach it merged into one; the stroke still passes
// through every position the system recorded in between.
void OnStrokeMove(WPARAM buttons, LPARAM point);
void OnStrokeEnd(LPARAM point);
