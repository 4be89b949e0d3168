// Writes an 8-bit device-independent bitmap file.
#ifndef QUORVANE_ARTGEN_BITMAP_FILE_H
#define QUORVANE_ARTGEN_BITMAP_FILE_H

#include <cstdint>

#include "image.h"
#include "palette.h"

// The art generator is one program: its pieces share one unnamed namespace.
namespace {

// ---------------------------------------------------------------------------------------------
// Bitmap files

void PutInfoHeader(Bytes& b, int w, int h, int bits, uint32_t imageSize, uint32_t ppm, uint32_t used) {
    Put32(b, 40);
    Put32(b, uint32_t(w));
    Put32(b, uint32_t(h));
    Put16(b, 1);
    Put16(b, uint32_t(bits));
    Put32(b, 0);  // BI_RGB
    Put32(b, imageSize);
    Put32(b, ppm);
    Put32(b, ppm);
    Put32(b, used);
    Put32(b, used);
}
void PutPalette(Bytes& b, const Rgb8* palette, int count) {
    for (int i = 0; i < count; ++i) {
        b.push_back(palette[i].b);
        b.push_back(palette[i].g);
        b.push_back(palette[i].r);
        b.push_back(0);
    }
}

// A bitmap file: the file header that the resource compiler strips, then the resource itself.
Bytes BitmapFile(const Indexed& img, int w, int h, uint32_t imageSize, uint32_t ppm, uint32_t used, int trailing) {
    Bytes dib;
    PutInfoHeader(dib, w, h, 8, imageSize, ppm, used);
    PutPalette(dib, img.palette.data(), 256);
    for (int y = h - 1; y >= 0; --y) dib.insert(dib.end(), img.pixels.begin() + size_t(y) * w, img.pixels.begin() + size_t(y + 1) * w);
    dib.resize(dib.size() + trailing, 0);
    Bytes file = {'B', 'M'};
    Put32(file, uint32_t(14 + dib.size()));
    Put32(file, 0);
    Put32(file, 14 + 40 + 256 * 4);
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

}  // namespace

#endif
