// Image files of the formats that only the platform writes: pixels through its encoder, pictures
// through its metafile recorder.
#pragma once

#include <windows.h>

#include <cstdint>

#include "image_writers.h"

ImageBytes MakeJpeg(int width, int height, const PixelPattern& pattern);
// A placeable metafile (the form GDI+ opens) framing `width` × `height` units of 1/96 inch.
ImageBytes MakeWmf(std::uint16_t width, std::uint16_t height);
// An enhanced metafile whose frame is `width` × `height` in 0.01 mm.
ImageBytes MakeEmf(LONG width, LONG height);
