#pragma once

#include <windows.h>

// form 0 paints inside WM_PAINT; any other form draws at once through GetDC.
void PaintView(int form, LPARAM point);

void OnStrokeStart(LPARAM point);
void OnStrokeMove(WPARAM buttons, LPARAM point);
void OnStrokeEnd(LPARAM point);
