#include "memo/png_encoding.h"

#include "imaging/imaging.h"

int FindPngEncoder(CLSID* clsid) {
    return FindEncoder(L"image/png", clsid);
}

bool EncodePng(HBITMAP bitmap, std::vector<unsigned char>& png) {
    ImagingImage image = CreateImageFromBitmap(bitmap);
    CLSID encoder;
    const bool encoded =
        image != nullptr && FindPngEncoder(&encoder) >= 0 && EncodeImage(image, &encoder, png);
    DisposeImage(image);
    return encoded;
}
