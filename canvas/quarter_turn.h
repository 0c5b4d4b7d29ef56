// Quarter turns of the layers: exact permutations of pixels, so four turns one way, or one each
// way, give a layer back as it was.
#pragma once

#include <windows.h>

// Turns a layer by a quarter turn through GDI+: clockwise for a negative angle, counter-clockwise
// otherwise. False, the layer as it was, when the copy could not be made, turned or drawn.
bool RotateLayerQuarterTurn(HBITMAP layer, int angle);

enum class TurnResult {
    Turned,
    Unchanged,
    // The ink turned, the background could not, and the ink could not be turned back: the layers
    // are turned apart, which no step of the history describes.
    TurnedApart,
};

// Turns both layers by a quarter (clockwise for a negative angle), or neither.
TurnResult TurnBothLayers(int angle);
// The turn that takes back a turn by `angle`.
int OppositeTurn(int angle);
