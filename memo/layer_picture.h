// An image drawn as a layer, before it takes the layer's place.
#pragma once

#include <windows.h>

#include "canvas/canvas.h"
#include "imaging/imaging.h"
#include "records/scoped_gdi.h"

// The layer that a decoded image makes, not yet in its place (ReplaceLayer): the image at the
// top-left corner, one image pixel on one layer pixel, over white for the ink and over the present
// background for the background. Null for no image, an empty one, or one that could not be drawn
// whole.
ScopedGdiObject<HBITMAP> MakeLayerPicture(ImagingImage image, Layer layer);
