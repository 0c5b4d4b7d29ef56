// Image files built byte by byte, independently of the code under test, for the host tests and
// the wine tests alike. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

using ImageBytes = std::vector<unsigned char>;
// A pixel's colour as a COLORREF holds it: red in the low byte, then green, then blue.
using PixelPattern = std::function<std::uint32_t(int x, int y)>;

// No palette entry of a GIF is transparent.
constexpr std::uint32_t NO_TRANSPARENCY = 0xFFFFFFFFu;

// PNG's CRC-32.
std::uint32_t Crc32(const unsigned char* data, std::size_t size);
void PutBigEndian(ImageBytes& out, std::uint32_t value);
void PutLittleEndian(ImageBytes& out, std::uint32_t value, int size);

// A PNG chunk: its length, type, body and checksum.
void PutPngChunk(ImageBytes& png, const char* type, const ImageBytes& body);
// A PNG of the given bit depth and colour type whose rows, each after its filter byte, are kept
// in stored (uncompressed) deflate blocks; `dpi` 0 writes no resolution.
ImageBytes MakePngOfRows(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
                         const ImageBytes& rows, int dpi = 0);
// An 8-bit RGB PNG.
ImageBytes MakePng(int width, int height, const PixelPattern& pattern, int dpi = 0);
// A PNG's header rewritten to claim another size, its pixel data left as it was.
ImageBytes ReheaderPng(ImageBytes png, std::uint32_t width, std::uint32_t height);
// A PNG's header followed by other compressed data, with good checksums.
ImageBytes WithPngImageData(const ImageBytes& png, const ImageBytes& zlib);

// A 24-bit bottom-up BMP.
ImageBytes MakeBmp(int width, int height, const PixelPattern& pattern);
// A GIF of up to four colours. Its LZW codes stay three bits wide: a clear code after every two
// pixels keeps the code table from growing. Pixels of `transparent` get a transparent palette
// entry.
ImageBytes MakeGif(int width, int height, const PixelPattern& pattern,
                   std::uint32_t transparent = NO_TRANSPARENCY);
// An 8-bit grey TIFF of one strip, its rows packed (PackBits): a large picture in a small file.
ImageBytes MakeTiff(std::uint32_t width, std::uint32_t height);
