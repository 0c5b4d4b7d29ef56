// Which of the pointer positions that the system recorded belong between two mouse moves of a
// stroke. Platform-free.
#pragma once

#include "canvas/pixel_rect.h"

// The system keeps the last 64 positions of the mouse or pen.
constexpr int MOVE_HISTORY_CAPACITY = 64;

// A coordinate of the move history as the system reports it in display points: 16 bits, so a
// second monitor left of or above the first gives 65536 plus its negative coordinate.
int UnwrapHistoryCoordinate(int coordinate);

// `history` holds client positions, newest first. When its newest entry is the message's own
// point and an older one is the stroke's previous point (each give or take a pixel of rounding),
// writes the positions recorded between them into `merged`, oldest first, and returns how many;
// otherwise 0: the stroke then goes straight from the previous point to the message's.
int PickMergedPoints(const PixelPoint* history, int count, PixelPoint previous, PixelPoint current,
                     PixelPoint* merged);
