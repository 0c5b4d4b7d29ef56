// How the program lays a bitmap's pixels out in memory: 32 bits a pixel, rows from the top.
#pragma once

#include <windows.h>

inline BITMAPINFO TopDownBitmapInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A DIB section laid out so, its pixels at `bits`; null when there is no memory for it.
inline HBITMAP CreateTopDownDib(int width, int height, void** bits) {
    const BITMAPINFO info = TopDownBitmapInfo(width, height);
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}
