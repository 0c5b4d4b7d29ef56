// Every flat function of gdiplus.dll that the program calls, each named once: the table of
// imaging.cpp takes its slots and the names it looks up from this list, and a test checks that
// the system's gdiplus.dll exports each name.
#pragma once

#define INKWISP_GDIPLUS_FUNCTIONS(X)                                                               \
    X(GdiplusStartup)                                                                              \
    X(GdiplusShutdown)                                                                             \
    X(GdipCreateFromHDC)                                                                           \
    X(GdipDeleteGraphics)                                                                          \
    X(GdipCreateBitmapFromHBITMAP)                                                                 \
    X(GdipLoadImageFromFile)                                                                       \
    X(GdipLoadImageFromStream)                                                                     \
    X(GdipDisposeImage)                                                                            \
    X(GdipGetImageWidth)                                                                           \
    X(GdipGetImageHeight)                                                                          \
    X(GdipGetImagePixelFormat)                                                                     \
    X(GdipCloneBitmapAreaI)                                                                        \
    X(GdipDrawImageRectI)                                                                          \
    X(GdipImageRotateFlip)                                                                         \
    X(GdipCreateMatrix)                                                                            \
    X(GdipDeleteMatrix)                                                                            \
    X(GdipTranslateMatrix)                                                                         \
    X(GdipRotateMatrix)                                                                            \
    X(GdipScaleMatrix)                                                                             \
    X(GdipSetWorldTransform)                                                                       \
    X(GdipResetWorldTransform)                                                                     \
    X(GdipSetInterpolationMode)                                                                    \
    X(GdipGetImageEncodersSize)                                                                    \
    X(GdipGetImageEncoders)                                                                        \
    X(GdipSaveImageToStream)
