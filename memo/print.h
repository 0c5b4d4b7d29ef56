#pragma once

#include <windows.h>

// Prints the composite as the largest centred square of one page.
void PrintCanvas();

// Copies the composite onto the started page of `printer`, centred in the printable area; when the
// device refuses the stretch copy, draws it with DrawCanvasFallback. True when the stretch copy was
// taken.
bool DrawCanvasOnPage(HDC printer, HDC screen);

// Draws the current composite with GDI+ into the square laid out from the printer's printable
// size in millimetres and the screen's resolution.
void DrawCanvasFallback(HDC printer, HDC screen);
