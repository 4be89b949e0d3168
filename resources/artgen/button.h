// The button face VEXELBUTTON.
#ifndef QUORVANE_ARTGEN_BUTTON_H
#define QUORVANE_ARTGEN_BUTTON_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "image.h"
#include "palette.h"

// The art generator is one program: its pieces share one unnamed namespace.
namespace {

// ---------------------------------------------------------------------------------------------
// The button face: a round cut gem set in a bevelled dark plate, painted at eight times the size
// and averaged down.

// Windows draws a disabled bitmap button as one flat shape made of every pixel that is not
// white. A crisp one-pixel white rim around the setting and a white glint on the gem keep the
// round gem recognisable when the button is greyed out.
constexpr double kRimInner = 0.80, kRimOuter = 0.885;
bool WhiteAt(double u, double v) {
    const double r = std::hypot(u, v);
    const double glint = std::hypot(u + 0.27, v + 0.29);
    return (r >= kRimInner && r < kRimOuter) || glint < 0.085;
}

Rgb GemFace(double u, double v) {  // u, v in [-1, 1] over the face
    const Rgb plateLight = Hex(0x5A6A9A), plateDark = Hex(0x0A0C20), plate = Hex(0x1E2448);
    const double bevel = 0.16;
    const double ax = std::fabs(u), ay = std::fabs(v);
    Rgb colour = plate;
    // Bevel: light on the top and left, shade on the bottom and right.
    if (ax > 1 - bevel || ay > 1 - bevel) {
        const bool lit = (ax > ay) ? u < 0 : v < 0;
        colour = lit ? plateLight : plateDark;
    }
    const double r = std::hypot(u, v);
    const double ringOuter = 0.80, ringInner = 0.64;
    if (r < kRimOuter && r >= ringOuter) colour = Mix(colour, Hex(0x000000), 0.6);  // shadow of the setting
    if (r < ringOuter) {
        // Gold setting, lit from the upper left.
        const double light = Clamp01(0.5 - 0.5 * (u + v) / std::max(r, 1e-6) * 0.9);
        colour = Ramp({Hex(0x5A3A10), Hex(0xB07A20), Hex(0xF0C860), Hex(0xFFF0C0)}, light);
    }
    if (r < ringInner) {
        // The gem: facets as eight wedges, each lit a little differently, deep violet to cyan.
        const double angle = std::atan2(v, u);
        const int facet = int(std::floor((angle + kPi) / (2 * kPi) * 8)) % 8;
        const double facetLight[8] = {0.35, 0.25, 0.45, 0.7, 0.9, 0.8, 0.6, 0.5};
        const double table = 0.30;  // the flat top of the cut
        double shade = r < table ? 0.75 - 0.3 * (u + v) : facetLight[facet] * (0.6 + 0.4 * (1 - r / ringInner));
        colour = Ramp({Hex(0x140A40), Hex(0x3A1A8A), Hex(0x2A6AD0), Hex(0x40C8F0), Hex(0xD0FFFF)}, Clamp01(shade));
        // Soft light around the glint at the upper left.
        const double spec = std::exp(-(std::pow(u + 0.27, 2) + std::pow(v + 0.29, 2)) / 0.03);
        colour = Mix(colour, Hex(0xE8FFFF), Clamp01(spec * 0.8));
    }
    return colour;
}

Indexed PaintButton() {
    constexpr int kSize = 32, kOver = 8;
    Canvas c(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Rgb sum;
            int white = 0;
            for (int sy = 0; sy < kOver; ++sy)
                for (int sx = 0; sx < kOver; ++sx) {
                    const double u = ((x + (sx + 0.5) / kOver) / kSize) * 2 - 1;
                    const double v = ((y + (sy + 0.5) / kOver) / kSize) * 2 - 1;
                    if (WhiteAt(u, v)) ++white;
                    else sum = sum + GemFace(u, v);
                }
            // White pixels stay exactly white, and their neighbours take no tint of them.
            c.At(x, y) = white * 2 >= kOver * kOver ? Hex(0xFFFFFF) : sum * (1.0 / (kOver * kOver - white));
            c.Dither(x, y) = 0;
        }
    }
    std::vector<Rgb8> low, high;
    for (uint32_t v : kVgaLow) low.push_back(Rgb8Of(v));
    for (uint32_t v : kVgaHigh) high.push_back(Rgb8Of(v));
    Indexed img;
    if (!Reduce(c, low, high, {0, 255}, 61, 0.0, &img)) std::fprintf(stderr, "artgen: button palette\n");
    return img;
}

}  // namespace

#endif
