// The program's only door to GDI+ (the flat interface). Every object made here is released by
// its matching call; the GDI+ types stay inside imaging.cpp.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

typedef struct ImagingGraphicsObject* ImagingGraphics;
typedef struct ImagingImageObject* ImagingImage;
typedef struct ImagingMatrixObject* ImagingMatrix;

// GDI+ quarter turns (RotateFlipType): 90 degrees clockwise, and 270 clockwise.
constexpr int ROTATE_CLOCKWISE = 1;
constexpr int ROTATE_COUNTER_CLOCKWISE = 3;

ULONG_PTR StartImaging();
void StopImaging(ULONG_PTR token);

ImagingGraphics CreateGraphicsOnDC(HDC dc);
void DeleteGraphics(ImagingGraphics graphics);

// A GDI+ bitmap holding a copy of a GDI bitmap's pixels.
ImagingImage CreateImageFromBitmap(HBITMAP bitmap);
// Decodes a file; null when it cannot be read, holds more bytes than a picture may take, or its
// header, whatever the format, claims more pixels than a memo can use (image_header.h): such a
// picture is refused before its pixels are decoded. A palette picture comes as 32-bit ARGB, its
// transparency kept for any target. The file may stay open until DisposeImage.
ImagingImage LoadImageFile(const wchar_t* path);
// Decodes the bytes of a picture file held in memory (the clipboard's), refused as LoadImageFile
// refuses a file: more bytes than a picture file may hold are not even copied.
ImagingImage LoadImageBytes(const void* bytes, std::size_t size);
// Decodes a packed DIB (header, colours, pixels: the clipboard's CF_DIB) as the BMP file it would
// be, refused by the size its header claims as a file is; null for a header no DIB has.
ImagingImage LoadDib(const void* dib, std::size_t size);
void DisposeImage(ImagingImage image);
UINT GetImageWidth(ImagingImage image);
UINT GetImageHeight(ImagingImage image);

// Draws an image with its top-left corner at (x, y), one image pixel on one target pixel
// whatever resolution the file states (a 300-dpi scan must not come out shrunk). True when GDI+
// drew it.
bool DrawImageAt(ImagingGraphics graphics, ImagingImage image, int x, int y);
void DrawImageRect(ImagingGraphics graphics, ImagingImage image, int x, int y, int width,
                   int height);
// Transformed drawing samples the nearest image pixel: fast, for pictures that live a moment.
void UseNearestPixel(ImagingGraphics graphics);
// False when there is no image or GDI+ could not turn it.
bool RotateFlipImage(ImagingImage image, int rotateFlipType);

ImagingMatrix CreateMatrix();
void DeleteMatrix(ImagingMatrix matrix);
// Each step is prepended: it applies to a point before the steps already in the matrix.
void TranslateMatrix(ImagingMatrix matrix, float dx, float dy);
void RotateMatrix(ImagingMatrix matrix, float degrees);
void ScaleMatrix(ImagingMatrix matrix, float sx, float sy);
void SetWorldTransform(ImagingGraphics graphics, ImagingMatrix matrix);
void ResetWorldTransform(ImagingGraphics graphics);

// Index of the first encoder whose MIME type is exactly `mimeType` and its class id, or -1.
int FindEncoder(const wchar_t* mimeType, CLSID* clsid);
// The file an encoder makes of an image with its defaults, in memory, so that nothing is written
// before the whole file is there; false when GDI+ or the memory fails.
bool EncodeImage(ImagingImage image, const CLSID* encoder, std::vector<unsigned char>& bytes);
