// The memo's picture on the clipboard and back: as PNG, which keeps every pixel, and as a DIB,
// which every program reads.
#pragma once

#include "imaging/imaging.h"

// Puts the composite that Save would write on the clipboard, as PNG and as a DIB; 1 when it is
// there. A composite that cannot be composed puts nothing there.
int CopyMemoToClipboard();
// The clipboard's picture, PNG before a DIB, refused as an opened file is; null when there is
// none. The caller disposes of it.
ImagingImage ReadClipboardImage();
