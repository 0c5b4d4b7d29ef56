#include "image_writers.h"

#include <algorithm>

namespace {

constexpr std::uint32_t WHITE_PIXEL = 0x00FFFFFFu;
// PNG's colour type of 8-bit red, green and blue samples.
constexpr int PNG_RGB = 2;

unsigned char Red(std::uint32_t color) {
    return static_cast<unsigned char>(color);
}

unsigned char Green(std::uint32_t color) {
    return static_cast<unsigned char>(color >> 8);
}

unsigned char Blue(std::uint32_t color) {
    return static_cast<unsigned char>(color >> 16);
}

// A zlib stream of stored deflate blocks, which every decoder reads without our own compressor.
ImageBytes StoreInZlib(const ImageBytes& raw) {
    ImageBytes zlib = {0x78, 0x01};
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t size = std::min<std::size_t>(65535, raw.size() - at);
        zlib.push_back(at + size >= raw.size() ? 1 : 0);
        zlib.insert(zlib.end(),
                    {static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                     static_cast<unsigned char>(~size), static_cast<unsigned char>(~size >> 8)});
        zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + size);
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(zlib, (b << 16) | a);
    return zlib;
}

} // namespace

std::uint32_t Crc32(const unsigned char* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void PutBigEndian(ImageBytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

void PutLittleEndian(ImageBytes& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

void PutPngChunk(ImageBytes& png, const char* type, const ImageBytes& body) {
    PutBigEndian(png, static_cast<std::uint32_t>(body.size()));
    ImageBytes typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    png.insert(png.end(), typed.begin(), typed.end());
    PutBigEndian(png, Crc32(typed.data(), typed.size()));
}

ImageBytes MakePngOfRows(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
                         const ImageBytes& rows, int dpi) {
    ImageBytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ImageBytes header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    // deflate, no filter variants, no interlace
    header.insert(header.end(), {static_cast<unsigned char>(bitDepth),
                                 static_cast<unsigned char>(colourType), 0, 0, 0});
    PutPngChunk(png, "IHDR", header);
    if (dpi != 0) {
        ImageBytes resolution;
        const auto perMetre = static_cast<std::uint32_t>(dpi / 0.0254 + 0.5);
        PutBigEndian(resolution, perMetre);
        PutBigEndian(resolution, perMetre);
        resolution.push_back(1);
        PutPngChunk(png, "pHYs", resolution);
    }
    PutPngChunk(png, "IDAT", StoreInZlib(rows));
    PutPngChunk(png, "IEND", {});
    return png;
}

ImageBytes MakePng(int width, int height, const PixelPattern& pattern, int dpi) {
    ImageBytes rows;
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = pattern(x, y);
            rows.insert(rows.end(), {Red(c), Green(c), Blue(c)});
        }
    }
    return MakePngOfRows(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 8,
                         PNG_RGB, rows, dpi);
}

ImageBytes ReheaderPng(ImageBytes png, std::uint32_t width, std::uint32_t height) {
    ImageBytes header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    std::copy(header.begin(), header.end(), png.begin() + 16);
    const std::uint32_t crc = Crc32(png.data() + 12, 17);
    png.erase(png.begin() + 29, png.begin() + 33);
    ImageBytes crcBytes;
    PutBigEndian(crcBytes, crc);
    png.insert(png.begin() + 29, crcBytes.begin(), crcBytes.end());
    return png;
}

ImageBytes WithPngImageData(const ImageBytes& png, const ImageBytes& zlib) {
    ImageBytes out(png.begin(), png.begin() + 33);
    PutPngChunk(out, "IDAT", zlib);
    PutPngChunk(out, "IEND", {});
    return out;
}

ImageBytes MakeBmp(int width, int height, const PixelPattern& pattern) {
    const int stride = (width * 3 + 3) & ~3;
    ImageBytes bmp = {'B', 'M'};
    PutLittleEndian(bmp, 54 + stride * height, 4);
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, 54, 4);
    PutLittleEndian(bmp, 40, 4);
    PutLittleEndian(bmp, static_cast<std::uint32_t>(width), 4);
    PutLittleEndian(bmp, static_cast<std::uint32_t>(height), 4);
    PutLittleEndian(bmp, 1, 2);
    PutLittleEndian(bmp, 24, 2);
    PutLittleEndian(bmp, 0, 24);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = pattern(x, y);
            bmp.insert(bmp.end(), {Blue(c), Green(c), Red(c)});
        }
        bmp.resize(bmp.size() + stride - width * 3);
    }
    return bmp;
}

ImageBytes MakeGif(int width, int height, const PixelPattern& pattern, std::uint32_t transparent) {
    std::vector<std::uint32_t> palette;
    std::vector<int> codes = {4};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = pattern(x, y);
            auto found = std::find(palette.begin(), palette.end(), c);
            if (found == palette.end()) {
                palette.push_back(c);
                found = palette.end() - 1;
            }
            codes.push_back(static_cast<int>(found - palette.begin()));
            if ((y * width + x) % 2 == 1) {
                codes.push_back(4);
            }
        }
    }
    codes.push_back(5);
    palette.resize(4, WHITE_PIXEL);

    ImageBytes packed;
    std::uint32_t bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= static_cast<std::uint32_t>(code) << count;
        count += 3;
        while (count >= 8) {
            packed.push_back(static_cast<unsigned char>(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) {
        packed.push_back(static_cast<unsigned char>(bits));
    }

    ImageBytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    PutLittleEndian(gif, static_cast<std::uint32_t>(width), 2);
    PutLittleEndian(gif, static_cast<std::uint32_t>(height), 2);
    gif.insert(gif.end(), {0x91, 0, 0});
    for (std::uint32_t c : palette) {
        gif.insert(gif.end(), {Red(c), Green(c), Blue(c)});
    }
    const auto clear = std::find(palette.begin(), palette.end(), transparent);
    if (clear != palette.end()) {
        gif.insert(gif.end(), {0x21, 0xF9, 4, 1, 0, 0});
        gif.push_back(static_cast<unsigned char>(clear - palette.begin()));
        gif.push_back(0);
    }
    gif.push_back(0x2C);
    PutLittleEndian(gif, 0, 4);
    PutLittleEndian(gif, static_cast<std::uint32_t>(width), 2);
    PutLittleEndian(gif, static_cast<std::uint32_t>(height), 2);
    gif.insert(gif.end(), {0, 2});
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        const std::size_t size = std::min<std::size_t>(255, packed.size() - at);
        gif.push_back(static_cast<unsigned char>(size));
        gif.insert(gif.end(), packed.begin() + at, packed.begin() + at + size);
    }
    gif.insert(gif.end(), {0, 0x3B});
    return gif;
}

ImageBytes MakeTiff(std::uint32_t width, std::uint32_t height) {
    ImageBytes row;
    for (std::uint32_t left = width; left > 0;) {
        const std::uint32_t run = std::min<std::uint32_t>(left, 128);
        row.insert(row.end(), {static_cast<unsigned char>(257 - run), 0x80});
        left -= run;
    }
    const std::uint32_t pixels = 8 + 2 + 10 * 12 + 4;
    const auto strip = static_cast<std::uint32_t>(row.size()) * height;
    const struct {
        std::uint16_t tag, type;
        std::uint32_t value;
    } entries[] = {
        {256, 4, width},  {257, 4, height}, {258, 3, 8},      {259, 3, 32773}, {262, 3, 1},
        {273, 4, pixels}, {277, 3, 1},      {278, 4, height}, {279, 4, strip}, {284, 3, 1},
    };
    ImageBytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 10, 0}; // one directory of 10 entries, at 8
    for (const auto& entry : entries) {
        PutLittleEndian(tiff, entry.tag, 2);
        PutLittleEndian(tiff, entry.type, 2);
        PutLittleEndian(tiff, 1, 4);
        PutLittleEndian(tiff, entry.value, 4);
    }
    PutLittleEndian(tiff, 0, 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        tiff.insert(tiff.end(), row.begin(), row.end());
    }
    return tiff;
}
