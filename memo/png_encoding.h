// Pictures as PNG files: the memo, the clipboard's PNG and the recovery snapshot.
#pragma once

#include <windows.h>

#include <vector>

// Index of the PNG encoder and its class id, or -1.
int FindPngEncoder(CLSID* clsid);
// A bitmap as the bytes of a PNG file; false when it could not be encoded.
bool EncodePng(HBITMAP bitmap, std::vector<unsigned char>& png);
