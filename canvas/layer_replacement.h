// A layer that gets new content as a whole: a new, opened or pasted memo, a new background.
#pragma once

#include <windows.h>

#include "canvas/canvas.h"
#include "records/scoped_gdi.h"

// Puts `replacement`, a bitmap of the canvas's size, in place of a layer and releases the old one.
// The one way a layer gets new content as a whole, so a fresh history begins here: undo cannot take
// back what was there before.
void ReplaceLayer(Layer layer, ScopedGdiObject<HBITMAP> replacement);
// A white layer in place of the old one.
void ResetInkLayer();
void ResetBackgroundLayer();
