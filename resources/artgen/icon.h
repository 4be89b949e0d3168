// The program file's icon SETUP_ICON, seven images of the game's mark.
#ifndef QUORVANE_ARTGEN_ICON_H
#define QUORVANE_ARTGEN_ICON_H

#include <algorithm>
#include <cmath>
#include <vector>

#include "image.h"
#include "lettering.h"
#include "palette.h"

// The art generator is one program: its pieces share one unnamed namespace.
namespace {

// ---------------------------------------------------------------------------------------------
// The icon: the game's mark, a ring-shaped Q cut like a gem with a gold tail.

struct IconPixel {
    Rgb colour;
    double alpha;
};

IconPixel MarkAt(double u, double v) {  // u, v in [0, 1], y down
    const double cx = 0.47, cy = 0.46;
    const double dx = u - cx, dy = v - cy;
    const double r = std::hypot(dx, dy);
    const double outer = 0.42, inner = 0.22;
    IconPixel p{{0, 0, 0}, 0};
    // Tail: a thick gold bar from inside the ring to the lower right.
    const Segment tail{{0.58, 0.60}, {0.92, 0.94}};
    const double td = SegmentDistance({u, v}, tail);
    if (r < outer && r > inner) {
        const double light = Clamp01(0.55 - 0.9 * (dx + dy));
        p.colour = Ramp({Hex(0x18086A), Hex(0x3A3AD0), Hex(0x30B8F0), Hex(0xC8FFFF)}, light);
        p.alpha = 1;
        if (r > outer - 0.05 || r < inner + 0.04) p.colour = Mix(p.colour, Hex(0x0A0430), 0.65);
    }
    if (td < 0.1) {
        const double light = Clamp01(0.8 - 1.2 * (u - 0.58));
        p.colour = td > 0.07 ? Hex(0x3A1A08) : Ramp({Hex(0x8A4A10), Hex(0xF0B030), Hex(0xFFF0A0)}, light);
        p.alpha = 1;
    }
    return p;
}

struct IconImage {
    int size, bits;
    std::vector<uint8_t> index;  // top row first
    std::vector<uint8_t> opaque;
    std::array<Rgb8, 256> palette{};
};

IconImage PaintIcon(int size, int bits) {
    IconImage img;
    img.size = size;
    img.bits = bits;
    const int over = 8;
    Canvas c(size, size);
    img.opaque.assign(size_t(size) * size, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Rgb sum;
            double alpha = 0;
            for (int sy = 0; sy < over; ++sy)
                for (int sx = 0; sx < over; ++sx) {
                    const IconPixel p = MarkAt((x + (sx + 0.5) / over) / size, (y + (sy + 0.5) / over) / size);
                    sum = sum + p.colour * p.alpha;
                    alpha += p.alpha;
                }
            alpha /= over * over;
            img.opaque[size_t(y) * size + x] = alpha >= 0.5;
            // Edge pixels blend towards a mid-dark tone, which sits well on light and dark desktops.
            const Rgb colour = alpha > 0 ? sum * (1.0 / (alpha * over * over)) : Rgb{};
            c.At(x, y) = alpha >= 0.5 ? Mix(Hex(0x202040), colour, Clamp01(alpha * 1.2)) : Rgb{};
            c.Dither(x, y) = 0;
        }
    }
    Indexed out;
    std::vector<int> candidates;
    if (bits == 4) {
        const uint32_t vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                  0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        for (int i = 0; i < 16; ++i) out.palette[i] = Rgb8Of(vga[i]);
        // The mark keeps to the blues and the golds of the sixteen; greys and greens would muddy it.
        candidates = {0, 3, 4, 6, 11, 12, 14, 15};
        MapPixels(c, out, candidates, 0);
    } else {
        const std::vector<ColourCount> histogram = Histogram(c);
        const std::vector<Rgb8> chosen = ChooseColours(histogram, std::min<int>(255, int(histogram.size())));
        out.palette[0] = {0, 0, 0};
        candidates.push_back(0);
        for (size_t i = 0; i < chosen.size(); ++i) { out.palette[i + 1] = chosen[i]; candidates.push_back(int(i + 1)); }
        MapPixels(c, out, candidates, 0);
    }
    img.palette = out.palette;
    img.index = out.pixels;
    // Transparent pixels: black in the colour bits, set in the mask, so the desktop shows through.
    for (size_t i = 0; i < img.index.size(); ++i)
        if (!img.opaque[i]) img.index[i] = 0;
    return img;
}

Bytes IconImageBytes(const IconImage& img) {
    const int s = img.size, colours = 1 << img.bits;
    const int xorStride = ((s * img.bits + 31) / 32) * 4, andStride = ((s + 31) / 32) * 4;
    Bytes b;
    PutInfoHeader(b, s, s * 2, img.bits, uint32_t((xorStride + andStride) * s), 0, 0);
    PutPalette(b, img.palette.data(), colours);
    for (int y = s - 1; y >= 0; --y) {
        Bytes row(xorStride, 0);
        for (int x = 0; x < s; ++x) {
            const uint8_t v = img.index[size_t(y) * s + x];
            if (img.bits == 8) row[x] = v;
            else row[x / 2] |= (x % 2 == 0) ? uint8_t(v << 4) : v;
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = s - 1; y >= 0; --y) {
        Bytes row(andStride, 0);
        for (int x = 0; x < s; ++x)
            if (!img.opaque[size_t(y) * s + x]) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes IconFile() {
    const int sizes[7][2] = {{16, 4}, {16, 8}, {32, 4}, {32, 8}, {48, 4}, {48, 8}, {64, 8}};
    std::vector<Bytes> images;
    for (const auto& s : sizes) images.push_back(IconImageBytes(PaintIcon(s[0], s[1])));
    Bytes f;
    Put16(f, 0);
    Put16(f, 1);
    Put16(f, 7);
    uint32_t offset = 6 + 16 * 7;
    for (int i = 0; i < 7; ++i) {
        f.push_back(uint8_t(sizes[i][0]));
        f.push_back(uint8_t(sizes[i][0]));
        f.push_back(sizes[i][1] == 4 ? 16 : 0);
        f.push_back(0);
        Put16(f, 1);
        Put16(f, uint32_t(sizes[i][1]));
        Put32(f, uint32_t(images[i].size()));
        Put32(f, offset);
        offset += uint32_t(images[i].size());
    }
    for (const Bytes& b : images) f.insert(f.end(), b.begin(), b.end());
    return f;
}

}  // namespace

#endif
