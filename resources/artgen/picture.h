// The background picture QUORVANE, painted from the layout that the dialog template must match.
#ifndef QUORVANE_ARTGEN_PICTURE_H
#define QUORVANE_ARTGEN_PICTURE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "image.h"
#include "lettering.h"
#include "palette.h"
#include "picture_layout.h"

// The art generator is one program: its pieces share one unnamed namespace.
namespace {

// ---------------------------------------------------------------------------------------------
// The background picture: a night sky over a dark plain, a banded planet rising behind far
// mountains, the title in chrome lettering, and beside each menu button the name of its action.

constexpr int kPictureW = 640, kPictureH = 480;
constexpr double kHorizon = 250;

Rgb SkyColour(double x, double y) {
    const std::vector<Rgb> stops = {Hex(0x05041A), Hex(0x0B0A2E), Hex(0x1A1246), Hex(0x34195E),
                                    Hex(0x6A2670), Hex(0xB8456E), Hex(0xF08A62)};
    double t = Clamp01(y / kHorizon);
    t = std::pow(t, 1.7);
    // The glow of the hidden sun sits behind the planet, right of centre.
    const double glow = std::exp(-std::pow((x - 470) / 260, 2)) * 0.12;
    return Ramp(stops, t + glow * t);
}

double RidgeHeight(double x, double base, double amplitude, double wavelength, uint32_t seed) {
    return base - amplitude * Fractal(x / wavelength, 0.5, seed, 4);
}

void PaintSky(Canvas& c) {
    for (int y = 0; y < kPictureH; ++y)
        for (int x = 0; x < kPictureW; ++x) c.At(x, y) = SkyColour(x + 0.5, y + 0.5);
    // A faint band of nebula across the upper sky.
    for (int y = 0; y < int(kHorizon); ++y) {
        for (int x = 0; x < kPictureW; ++x) {
            const double band = std::exp(-std::pow((y - (40 + x * 0.22)) / 55.0, 2));
            const double n = Fractal(x / 90.0, y / 60.0, 7, 5);
            const double v = Clamp01((n - 0.45) * 2.2) * band * 0.55;
            c.Add(x, y, Hex(0x4A2E8A), v * 0.55);
            c.Add(x, y, Hex(0x1E4E9A), v * 0.25 * Fractal(x / 40.0, y / 40.0, 19, 3));
        }
    }
}

// Stars stay away from the labels and from the buttons right of them in every layout, where a
// bright point could pass for part of a label or a button's edge.
constexpr double kStarFreeMargin = 28;   // above, below and left of a label
constexpr double kStarFreeReach = 100;   // right of a label: its button, however wide the font
bool NearLabelOrButton(double x, double y) {
    for (const MenuLabel& m : kMenuLabels) {
        const PictureBox& b = m.box;
        if (y > b.top - kStarFreeMargin && y < b.bottom + kStarFreeMargin && x > b.left - kStarFreeMargin &&
            x < b.right + kStarFreeReach)
            return true;
    }
    return false;
}

void PaintStars(Canvas& c) {
    Lcg rng(0x51A7);
    for (int i = 0; i < 420; ++i) {
        const double x = rng.Unit() * kPictureW;
        const double y = std::pow(rng.Unit(), 1.4) * (kHorizon - 20);
        const double bright = std::pow(rng.Unit(), 3.0);
        const double tint = rng.Unit();
        if (NearLabelOrButton(x, y)) continue;
        const double fade = 1 - SmoothStep(kHorizon - 120, kHorizon - 20, y);
        const Rgb colour = tint < 0.3 ? Hex(0xFFE8C8) : (tint < 0.6 ? Hex(0xC8DCFF) : Hex(0xFFFFFF));
        const double a = (0.35 + 0.65 * bright) * fade;
        const int px = int(x), py = int(y);
        c.Blend(px, py, colour, a);
        c.Calm(px, py, 1);
        if (bright > 0.55) {
            // The brightest few get a small cross of light.
            const double arm = a * 0.45;
            c.Blend(px - 1, py, colour, arm);
            c.Blend(px + 1, py, colour, arm);
            c.Blend(px, py - 1, colour, arm);
            c.Blend(px, py + 1, colour, arm);
            if (bright > 0.8) {
                c.Blend(px - 2, py, colour, arm * 0.4);
                c.Blend(px + 2, py, colour, arm * 0.4);
                c.Blend(px, py - 2, colour, arm * 0.4);
                c.Blend(px, py + 2, colour, arm * 0.4);
            }
        }
    }
}

constexpr double kPlanetX = 515, kPlanetY = 318, kPlanetR = 185;

void PaintPlanet(Canvas& c) {
    // Atmosphere: a soft halo around the disc.
    constexpr double kReach = 110;
    ForBox(c, kPlanetX - kPlanetR - kReach, kPlanetY - kPlanetR - kReach, kPlanetX + kPlanetR + kReach, kHorizon, [&](int x, int y) {
        const double d = std::hypot(x + 0.5 - kPlanetX, y + 0.5 - kPlanetY) - kPlanetR;
        if (d < 0) return;
        const double halo = (std::exp(-d / 14.0) * 0.85 + std::exp(-d / 45.0) * 0.25) * (1 - SmoothStep(0, kReach, d));
        c.Add(x, y, Hex(0x5AB8E8), halo * 0.55);
    });
    const std::vector<Rgb> body = {Hex(0x061026), Hex(0x0E2A52), Hex(0x1C5A84), Hex(0x3C96B0),
                                   Hex(0x8AD2D2), Hex(0xE4F6EC)};
    ForBox(c, kPlanetX - kPlanetR - 1, kPlanetY - kPlanetR - 1, kPlanetX + kPlanetR + 1, kHorizon, [&](int x, int y) {
        const double dx = (x + 0.5 - kPlanetX) / kPlanetR, dy = (y + 0.5 - kPlanetY) / kPlanetR;
        const double r2 = dx * dx + dy * dy;
        const double edge = Clamp01((1 - std::sqrt(r2)) * kPlanetR + 0.5);
        if (edge <= 0) return;
        const double dz = std::sqrt(std::max(0.0, 1 - r2));
        // Light from the upper left and a little from the front.
        const double lx = -0.55, ly = -0.62, lz = 0.56;
        const double lambert = Clamp01(dx * lx + dy * ly + dz * lz);
        // Latitude bands, gently warped.
        const double lat = dy + 0.06 * std::sin(dx * 7.0 + dy * 3.0);
        const double bands = 0.5 + 0.5 * std::sin(lat * 26.0) * 0.6 + 0.25 * (Fractal(dx * 3, lat * 18, 31, 3) - 0.5);
        double shade = 0.08 + 0.82 * std::pow(lambert, 0.9);
        shade *= 0.86 + 0.22 * bands;
        Rgb colour = Ramp(body, shade);
        // Rim light from the glow behind.
        const double rim = std::pow(1 - dz, 3.0);
        colour = colour + Hex(0x7ACCF0) * (rim * 0.55);
        c.Blend(x, y, colour, edge);
    });
}

void PaintMountains(Canvas& c) {
    struct Layer {
        double base, amplitude, wavelength;
        uint32_t seed;
        Rgb colour;
        Rgb rim;
    };
    const Layer layers[] = {
        {kHorizon + 2, 34, 70, 3, Hex(0x2A1A44), Hex(0x9A5A9A)},
        {kHorizon + 6, 22, 46, 11, Hex(0x160E2A), Hex(0x5A3A72)},
    };
    for (const Layer& layer : layers) {
        for (int x = 0; x < kPictureW; ++x) {
            double ridge = RidgeHeight(x + 0.5, layer.base, layer.amplitude, layer.wavelength, layer.seed);
            // The ridges stay low below the button column and in front of the planet.
            const double low = std::max(SmoothStep(140, 240, x) * (1 - SmoothStep(360, 420, x)), 0.0);
            ridge = ridge + (layer.base - ridge) * (0.75 * low);
            if (x > 360) ridge = ridge + (layer.base - ridge) * 0.35 * SmoothStep(360, 460, x);
            for (int y = int(ridge) - 1; y < kPictureH; ++y) {
                const double cover = Clamp01(y + 1 - ridge);
                if (cover <= 0) continue;
                const double rimLight = std::exp(-(y - ridge) / 2.5) * 0.6;
                c.Blend(x, y, Mix(layer.colour, layer.rim, rimLight), cover);
                if (y < ridge + 3) c.Calm(x, y, 1);
            }
        }
    }
}

void PaintPlain(Canvas& c) {
    // The plain below the mountains: dark and even, slightly lighter towards the horizon.
    for (int y = int(kHorizon) + 6; y < kPictureH; ++y) {
        const double t = Clamp01((y - kHorizon - 6) / (kPictureH - kHorizon - 6));
        const Rgb ground = Mix(Hex(0x150C28), Hex(0x07050F), std::pow(t, 0.7));
        for (int x = 0; x < kPictureW; ++x) {
            const double blend = SmoothStep(kHorizon + 6, kHorizon + 16, y);
            c.Blend(x, y, ground, blend);
        }
    }
    // The planet's light on the plain just below the mountains, fading quickly.
    for (int y = int(kHorizon) + 8; y < int(kHorizon) + 40; ++y) {
        for (int x = 0; x < kPictureW; ++x) {
            const double a = std::exp(-(y - kHorizon - 8) / 7.0) * std::exp(-std::pow((x - kPlanetX) / 190.0, 2));
            c.Add(x, y, Hex(0x2A4A6A), a * 0.5);
        }
    }
}

// A thin crescent moon in the upper left, away from the labels.
void PaintMoon(Canvas& c) {
    const double mx = 70, my = 78, mr = 24;
    ForBox(c, mx - mr - 30, my - mr - 30, mx + mr + 30, my + mr + 30, [&](int x, int y) {
        const double d = std::hypot(x + 0.5 - mx, y + 0.5 - my);
        c.Add(x, y, Hex(0x6A6AA0), std::exp(-std::max(0.0, d - mr) / 10.0) * 0.18);
        const double inDisc = Clamp01(mr + 0.5 - d);
        const double shadow = Clamp01(mr + 0.5 - std::hypot(x + 0.5 - (mx + 11), y + 0.5 - (my - 6)));
        const double lit = inDisc * (1 - shadow);
        if (inDisc > 0) c.Blend(x, y, Hex(0x120E30), inDisc * 0.85);
        if (lit > 0) {
            const double n = Fractal(x / 6.0, y / 6.0, 41, 3);
            c.Blend(x, y, Mix(Hex(0xC8C0D8), Hex(0xFFF4E0), n), lit);
            c.Calm(x, y, lit);
        }
    });
}

// The title in chrome: a light sky in the upper half of each letter, a hot horizon line, dark
// metal below warming to gold; a dark outline and a soft glow behind.
void PaintTitle(Canvas& c) {
    const double scale = 3.5, stretch = 1.3, baseline = 96, spacing = 1.05;
    const Lettering title = Layout("QUORVANE", 374, baseline, scale, spacing, 0.1, false, stretch);
    const double height = 10 * scale * stretch, top = baseline - height;
    PaintLettering(c, title, 4.5, 0, 0, 14, 0.6, [](int, int) { return Hex(0x4A206A); });
    PaintLettering(c, title, 5.0, 2, 3, 0, 0.9, [](int, int) { return Hex(0x05030C); });
    PaintLettering(c, title, 4.6, 0, 0, 0, 1.0, [](int, int) { return Hex(0x1A0C20); });
    constexpr double kChromeHorizon = 0.54;
    PaintLettering(c, title, 3.3, 0, 0, 0, 1.0, [&](int, int y) {
        const double t = Clamp01((y + 0.5 - top) / height);
        if (std::fabs(t - kChromeHorizon) < 0.022) return Hex(0xFFF4D0);
        if (t < kChromeHorizon) return Ramp({Hex(0xFFFFFF), Hex(0xCDE6FF), Hex(0x6A9AD8), Hex(0x2A3A80)}, t / kChromeHorizon);
        return Ramp({Hex(0x3A1A20), Hex(0x9A4A1A), Hex(0xF0A030), Hex(0xFFE8A0)}, (t - kChromeHorizon) / (1 - kChromeHorizon));
    });
    // A small sparkle where light catches the Q.
    const double sx = title.left + 4, sy = top + 5;
    for (int i = -8; i <= 8; ++i) {
        const double a = 1 - std::fabs(i) / 8.5;
        c.Blend(int(sx + i), int(sy), Hex(0xFFFFFF), a);
        c.Blend(int(sx), int(sy + i), Hex(0xFFFFFF), a);
        c.Calm(int(sx + i), int(sy), 1);
        c.Calm(int(sx), int(sy + i), 1);
    }
    // The word under the title.
    const Lettering sub = Layout("SETUP", title.right, baseline + 24, 1.4, 4.0, 0, true);
    PaintLettering(c, sub, 1.8, 1, 1, 0, 0.8, [](int, int) { return Hex(0x05030C); });
    PaintLettering(c, sub, 1.05, 0, 0, 0, 1.0, [](int, int) { return Hex(0xE8D8FF); });
}

// A cluster of glowing crystals in the lower left, the one busy corner of the plain.
void PaintCrystals(Canvas& c) {
    struct Crystal {
        double x, base, height, width, lean;  // lean in degrees, positive to the right
    };
    const Crystal crystals[] = {
        {52, 392, 44, 7, -24}, {150, 388, 36, 6, 20}, {118, 394, 58, 8, 9},
        {74, 396, 72, 10, -6}, {98, 398, 50, 8, 2},   {30, 398, 26, 6, -38}, {172, 396, 22, 5, 34},
    };
    // Their light on the ground.
    ForBox(c, 0, 340, 240, 420, [&](int x, int y) {
        const double d = std::hypot((x + 0.5 - 96) / 95, (y + 0.5 - 396) / 16);
        c.Add(x, y, Hex(0x2A6AA0), std::exp(-d * d * 2.2) * 0.45);
    });
    constexpr int kOver = 4;
    for (const Crystal& k : crystals) {
        const double a = k.lean * kPi / 180, ca = std::cos(a), sa = std::sin(a);
        const double tip = k.width * 1.5;
        ForBox(c, k.x - k.height - 12, k.base - k.height - 12, k.x + k.height + 12, k.base + 4, [&](int x, int y) {
            double cover = 0;
            Rgb sum;
            for (int oy = 0; oy < kOver; ++oy)
                for (int ox = 0; ox < kOver; ++ox) {
                    const double px = x + (ox + 0.5) / kOver - k.x, py = k.base - (y + (oy + 0.5) / kOver);
                    const double across = px * ca - py * sa, along = px * sa + py * ca;
                    const double limit = k.height - std::fabs(across) * tip / k.width;
                    if (std::fabs(across) >= k.width || along <= 0 || along >= limit) continue;
                    const double up = along / k.height;
                    const bool litFace = across < -k.width * 0.15;
                    const bool shadeFace = across > k.width * 0.35;
                    Rgb face = litFace ? Ramp({Hex(0x2A3A8A), Hex(0x4AA8E0), Hex(0xC8F4FF)}, up)
                                       : (shadeFace ? Ramp({Hex(0x120A3A), Hex(0x2A2A7A), Hex(0x5A7AD0)}, up)
                                                    : Ramp({Hex(0x1E2A6A), Hex(0x3A70C0), Hex(0x9AE0FF)}, up));
                    const double edge = std::min(k.width - std::fabs(across), limit - along);
                    if (edge < 0.9) face = Mix(face, Hex(0xB8F0FF), 0.6);
                    sum = sum + face;
                    cover += 1;
                }
            if (cover == 0) return;
            c.Blend(x, y, sum * (1 / cover), cover / (kOver * kOver));
            c.Calm(x, y, 1);
        });
        // A faint glow around each.
        ForBox(c, k.x - 40, k.base - k.height - 30, k.x + 40, k.base + 6, [&](int x, int y) {
            const double px = x + 0.5 - k.x, py = k.base - (y + 0.5);
            const double across = px * ca - py * sa, along = px * sa + py * ca;
            const double d = std::hypot(std::max(0.0, std::fabs(across) - k.width), std::max({0.0, -along, along - k.height}));
            c.Add(x, y, Hex(0x3A7AC0), std::exp(-d / 7.0) * 0.12);
        });
    }
}

// Each label in its box: the lettering right-aligned before a small pointer at the box's right
// edge, aimed at the button, both centred on the box's middle row. False when a label's ink would
// leave its box, where the tests no longer hold it against the buttons.
constexpr double kLabelScale = 1.35;
constexpr double kPointerWidth = 7, kPointerGap = 4;
constexpr double kLabelInkReach = 1.45 + 1;  // the dark outline's radius and its offset
bool PaintMenuLabels(Canvas& c) {
    const double scale = kLabelScale;
    bool fits = true;
    for (const MenuLabel& m : kMenuLabels) {
        const PictureBox& box = m.box;
        const double centre = (box.top + box.bottom) / 2.0;
        const double pointerRight = box.right;
        const double textRight = pointerRight - kPointerWidth - kPointerGap;
        const double baseline = std::round(centre + 5 * scale);
        const Lettering text = Layout(m.text, textRight, baseline, scale, 1.1, 0, true);
        if (text.left - kLabelInkReach < box.left || text.top - kLabelInkReach < box.top ||
            text.bottom + kLabelInkReach > box.bottom) {
            std::fprintf(stderr, "artgen: label %s needs %.1f,%.1f-%.1f,%.1f\n", m.text, text.left - kLabelInkReach,
                         text.top - kLabelInkReach, pointerRight, text.bottom + kLabelInkReach);
            fits = false;
        }
        // A quiet dark plate behind the label so it reads on any part of the sky.
        const double plateLeft = text.left - 14, plateRight = pointerRight + 4;
        ForBox(c, plateLeft - 16, centre - 20, plateRight, centre + 20, [&](int x, int y) {
            const double fx = SmoothStep(plateLeft - 16, plateLeft + 10, x + 0.5) *
                              (1 - SmoothStep(pointerRight - 2, plateRight, x + 0.5));
            const double fy = 1 - SmoothStep(6, 19, std::fabs(y + 0.5 - centre));
            c.Blend(x, y, Hex(0x06040E), 0.55 * fx * fy);
            c.Calm(x, y, fx * fy);
        });
        // A fine rule under the text, fading out to the left.
        const int rule = box.bottom - 1;
        ForBox(c, text.left - 10, rule, pointerRight, rule, [&](int x, int y) {
            const double a = SmoothStep(text.left - 10, pointerRight - 10, x + 0.5);
            c.Blend(x, y, Hex(0xE0A040), 0.55 * a);
        });
        PaintLettering(c, text, 1.45, 1, 1, 0, 0.9, [](int, int) { return Hex(0x000000); });
        PaintLettering(c, text, 1.05, 0, 0, 0, 1.0, [&](int, int y) {
            const double t = Clamp01((y + 0.5 - (baseline - 10 * scale)) / (10 * scale));
            return Mix(Hex(0xFFFFFF), Hex(0xFFD890), t);
        });
        // The pointer: a small solid triangle aimed at the button.
        ForBox(c, pointerRight - kPointerWidth, centre - 6, pointerRight - 1, centre + 6, [&](int x, int y) {
            const double px = x + 0.5, py = y + 0.5;
            const double half = (pointerRight - px) * 0.75;
            const double inside = Clamp01(half - std::fabs(py - centre) + 0.5) *
                                  Clamp01(px - (pointerRight - kPointerWidth) + 0.5);
            c.Blend(x, y, Hex(0xF0B040), inside);
            c.Calm(x, y, inside);
        });
    }
    return fits;
}

Indexed PaintBackground() {
    Canvas c(kPictureW, kPictureH);
    PaintSky(c);
    PaintStars(c);
    PaintMoon(c);
    PaintPlanet(c);
    PaintMountains(c);
    PaintPlain(c);
    PaintCrystals(c);
    PaintTitle(c);
    if (!PaintMenuLabels(c)) return {};
    std::vector<Rgb8> low, high;
    for (uint32_t v : kStaticLow) low.push_back(Rgb8Of(v));
    for (uint32_t v : kStaticHigh) high.push_back(Rgb8Of(v));
    Indexed img;
    // Black and white take part in the mapping; the other static colours only sit in the palette.
    if (!Reduce(c, low, high, {0, 255}, 98, 10.0, &img)) std::fprintf(stderr, "artgen: background palette\n");
    return img;
}

}  // namespace

#endif
