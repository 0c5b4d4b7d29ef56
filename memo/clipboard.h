// The memo's picture on the clipboard and back: as PNG, which keeps every pixel, and as a DIB,
// which every program reads.
#pragma once

#include <windows.h>

#include "records/scoped_gdi.h"

// Puts the composite that Save would write on the clipboard, as PNG and as a DIB; 1 when it is
// there. A composite that cannot be composed puts nothing there.
int CopyMemoToClipboard();
// The clipboard's picture (PNG before a DIB) drawn as an opened file is drawn onto the ink layer,
// not yet in its place (ReplaceLayer), so that nothing is asked for a picture that cannot be
// opened; null when there is none, or one an opened file would be refused as.
ScopedGdiObject<HBITMAP> MakeClipboardInk();
