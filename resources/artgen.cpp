// artgen: paints the setup program's pictures, composes its two sounds and draws its icon, all from
// code, so the repository holds no binary art. Run as `artgen <outdir>`; it writes quorvane.bmp,
// vexelbutton.bmp, setup.wav, run.wav and setup.ico. The output depends on this source alone (no
// clock, no seeds from outside), so two builds give the same bytes.
//
// Pictures are painted in floating-point colour and then reduced to an 8-bit palette. How many
// palette entries each picture uses is part of its resource format, so the reduction settles on
// exactly that many.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "picture_layout.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------------------------
// Bytes and files

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) { b.push_back(v & 0xFF); b.push_back((v >> 8) & 0xFF); }
void Put32(Bytes& b, uint32_t v) { Put16(b, v & 0xFFFF); Put16(b, v >> 16); }
void PutTag(Bytes& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

bool Save(const std::string& path, const Bytes& b) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && written;
}

// A small fixed-seed generator: the same stars and the same noise on every build.
class Lcg {
  public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t Next() { state_ = state_ * 1664525u + 1013904223u; return state_ >> 8; }
    double Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); }  // [0, 1)
  private:
    uint32_t state_;
};

// ---------------------------------------------------------------------------------------------
// Colour

struct Rgb {
    double r = 0, g = 0, b = 0;
};
Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb operator*(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }
Rgb Hex(uint32_t v) { return {double((v >> 16) & 0xFF), double((v >> 8) & 0xFF), double(v & 0xFF)}; }
Rgb Mix(Rgb a, Rgb b, double t) { return a * (1 - t) + b * t; }
double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }
double Clamp01(double v) { return Clamp(v, 0, 1); }
double SmoothStep(double e0, double e1, double x) {
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
double Luma(Rgb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

// A colour ramp through evenly spaced stops.
Rgb Ramp(const std::vector<Rgb>& stops, double t) {
    t = Clamp01(t) * (stops.size() - 1);
    const size_t i = std::min(size_t(t), stops.size() - 2);
    return Mix(stops[i], stops[i + 1], t - i);
}

struct Rgb8 {
    uint8_t r, g, b;
    bool operator==(const Rgb8& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator<(const Rgb8& o) const {
        return r != o.r ? r < o.r : (g != o.g ? g < o.g : b < o.b);
    }
};
Rgb8 ToRgb8(Rgb c) {
    auto q = [](double v) { return uint8_t(Clamp(std::lround(v), 0, 255)); };
    return {q(c.r), q(c.g), q(c.b)};
}

// The twenty colours that Windows keeps in every system palette, at the entries it keeps them in.
constexpr std::array<uint32_t, 10> kStaticLow = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                                 0x800080, 0x008080, 0x808080, 0xC0DCC0, 0xA6CAF0};
constexpr std::array<uint32_t, 10> kStaticHigh = {0xFFFBF0, 0xA0A0A4, 0xC0C0C0, 0xFF0000, 0x00FF00,
                                                  0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
// The sixteen colours of the VGA, as the first and last eight entries of a 256-colour palette.
constexpr std::array<uint32_t, 8> kVgaLow = {0x000000, 0x800000, 0x008000, 0x808000,
                                             0x000080, 0x800080, 0x008080, 0xC0C0C0};
constexpr std::array<uint32_t, 8> kVgaHigh = {0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                              0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

Rgb8 Rgb8Of(uint32_t v) { return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

// ---------------------------------------------------------------------------------------------
// Canvas: floating-point colour, and per pixel how much ordered dithering suits it (smooth skies
// dither well, lettering and hard edges should not).

class Canvas {
  public:
    Canvas(int w, int h) : w_(w), h_(h), px_(size_t(w) * h), dither_(size_t(w) * h, 1.0) {}
    int W() const { return w_; }
    int H() const { return h_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    Rgb& At(int x, int y) { return px_[size_t(y) * w_ + x]; }
    const Rgb& At(int x, int y) const { return px_[size_t(y) * w_ + x]; }
    double& Dither(int x, int y) { return dither_[size_t(y) * w_ + x]; }
    double Dither(int x, int y) const { return dither_[size_t(y) * w_ + x]; }
    void Blend(int x, int y, Rgb c, double a) {
        if (!Inside(x, y) || a <= 0) return;
        a = Clamp01(a);
        At(x, y) = Mix(At(x, y), c, a);
    }
    void Add(int x, int y, Rgb c, double a) {
        if (!Inside(x, y) || a <= 0) return;
        At(x, y) = At(x, y) + c * a;
    }
    void Calm(int x, int y, double amount) {
        if (Inside(x, y)) Dither(x, y) = std::min(Dither(x, y), 1 - Clamp01(amount));
    }

  private:
    int w_, h_;
    std::vector<Rgb> px_;
    std::vector<double> dither_;
};

// Runs `paint(x, y)` over the pixels of a box, clipped to the canvas.
void ForBox(const Canvas& c, double x0, double y0, double x1, double y1,
            const std::function<void(int, int)>& paint) {
    const int ax = std::max(0, int(std::floor(x0))), bx = std::min(c.W() - 1, int(std::ceil(x1)));
    const int ay = std::max(0, int(std::floor(y0))), by = std::min(c.H() - 1, int(std::ceil(y1)));
    for (int y = ay; y <= by; ++y)
        for (int x = ax; x <= bx; ++x) paint(x, y);
}

// Value noise on a lattice, smooth and deterministic.
double LatticeValue(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 65535.0;
}
double ValueNoise(double x, double y, uint32_t seed) {
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = LatticeValue(ix, iy, seed), b = LatticeValue(ix + 1, iy, seed);
    const double c = LatticeValue(ix, iy + 1, seed), d = LatticeValue(ix + 1, iy + 1, seed);
    return (a * (1 - sx) + b * sx) * (1 - sy) + (c * (1 - sx) + d * sx) * sy;
}
double Fractal(double x, double y, uint32_t seed, int octaves) {
    double sum = 0, amp = 0.5, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * ValueNoise(x, y, seed + i * 101);
        total += amp;
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return sum / total;
}

// ---------------------------------------------------------------------------------------------
// Lettering: a stroke font. Glyphs are polylines in a box with the baseline at y 0, capitals 10
// units high, small letters 7; rendering thickens the lines by a radius and smooths their edges
// by the distance of each pixel to the nearest stroke.

struct Pt {
    double x, y;
};
using Polyline = std::vector<Pt>;
struct Glyph {
    double advance = 0;
    std::vector<Polyline> strokes;
};

// Points along an elliptical arc, angles in degrees counter-clockwise from the +x axis.
Polyline Arc(double cx, double cy, double rx, double ry, double from, double to) {
    Polyline p;
    const int steps = std::max(4, int(std::fabs(to - from) / 6));
    for (int i = 0; i <= steps; ++i) {
        const double a = (from + (to - from) * i / steps) * kPi / 180;
        p.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return p;
}
Polyline Join(Polyline a, const Polyline& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Glyph GlyphFor(char c) {
    switch (c) {
        case 'A': return {7.6, {{{0, 0}, {3.4, 10}, {6.8, 0}}, {{1.3, 3.6}, {5.5, 3.6}}}};
        case 'D': return {7.8, {Join({{0, 5}, {0, 0}, {2.6, 0}}, Join(Arc(2.6, 5, 4.2, 5, -90, 90), {{0, 10}, {0, 5}}))}};
        case 'E': return {6.8, {{{6, 10}, {0, 10}, {0, 0}, {6, 0}}, {{0, 5.1}, {4.8, 5.1}}}};
        case 'I': return {3.2, {{{1.1, 0}, {1.1, 10}}}};
        case 'M': return {9.6, {{{0, 0}, {0, 10}, {4.3, 2.6}, {8.6, 10}, {8.6, 0}}}};
        case 'N': return {7.8, {{{0, 0}, {0, 10}, {6.8, 0}, {6.8, 10}}}};
        case 'O': return {8.8, {Arc(3.9, 5, 3.9, 5, 0, 360)}};
        case 'P': return {7.0, {Join({{0, 0}, {0, 10}, {3.4, 10}}, Join(Arc(3.4, 7.3, 2.7, 2.7, 90, -90), {{0, 4.6}}))}};
        case 'Q': return {8.8, {Arc(3.9, 5, 3.9, 5, 0, 360), {{4.6, 2.4}, {7.9, -1.2}}}};
        case 'R': return {7.2, {Join({{0, 0}, {0, 10}, {3.4, 10}}, Join(Arc(3.4, 7.4, 2.6, 2.6, 90, -90), {{0, 4.8}})), {{3.0, 4.8}, {6.2, 0}}}};
        case 'S': return {6.8, {Join(Arc(3.0, 7.45, 2.75, 2.55, 25, 270), Arc(3.0, 2.55, 3.0, 2.55, 90, -155))}};
        case 'T': return {7.0, {{{0, 10}, {6.2, 10}}, {{3.1, 10}, {3.1, 0}}}};
        case 'U': return {7.6, {Join({{0, 10}, {0, 3.3}}, Join(Arc(3.3, 3.3, 3.3, 3.3, 180, 360), {{6.6, 10}}))}};
        case 'V': return {7.6, {{{0, 10}, {3.4, 0}, {6.8, 10}}}};
        case 'X': return {7.2, {{{0, 0}, {6.4, 10}}, {{0, 10}, {6.4, 0}}}};
        case 'a': return {6.9, {Arc(2.8, 3.5, 2.8, 3.5, 0, 360), {{5.6, 7}, {5.6, 0}}}};
        case 'c': return {6.3, {Arc(3.1, 3.5, 3.1, 3.5, 42, 318)}};
        case 'd': return {6.9, {Arc(2.8, 3.5, 2.8, 3.5, 0, 360), {{5.6, 10.5}, {5.6, 0}}}};
        case 'e': return {6.6, {Join({{0.1, 3.6}, {6.1, 3.6}}, Arc(3.1, 3.5, 3.0, 3.5, 0, 318))}};
        case 'i': return {2.6, {{{0.7, 0}, {0.7, 7}}, {{0.7, 9.6}, {0.7, 9.7}}}};
        case 'l': return {2.6, {{{0.7, 0}, {0.7, 10.5}}}};
        case 'n': return {6.9, {{{0, 0}, {0, 7}}, Join(Arc(2.9, 4.1, 2.9, 2.9, 180, 0), {{5.8, 0}})}};
        case 'r': return {4.6, {{{0, 0}, {0, 7}}, Arc(3.4, 3.6, 3.4, 3.4, 180, 80)}};
        case 's': return {5.6, {Join(Arc(2.5, 5.2, 2.3, 1.8, 25, 270), Arc(2.5, 1.7, 2.5, 1.7, 90, -155))}};
        case 't': return {4.4, {Join({{1.3, 9.6}, {1.3, 1.6}}, Arc(2.9, 1.6, 1.6, 1.6, 180, 270)), {{0, 7}, {3.6, 7}}}};
        case 'x': return {6.2, {{{0, 0}, {5.4, 7}}, {{0, 7}, {5.4, 0}}}};
        case 'y': return {6.2, {{{0, 7}, {2.9, 0}}, {{5.6, 7}, {2.2, -2.6}, {1.6, -3.2}, {0.6, -3.2}}}};
        case ' ': return {3.6, {}};
        default: return {0, {}};
    }
}

struct Segment {
    Pt a, b;
};

// A line of text placed on the canvas: its strokes in pixels.
struct Lettering {
    std::vector<Segment> segments;
    double left = 0, right = 0, top = 0, bottom = 0;  // extent of the stroke centres
};

// Lays out `text` with its baseline at `baseline`, `scale` pixels per unit, `spacing` units between
// letters, slant (x shift per unit of height) and `stretch` (height over width). `anchorX` is the
// left edge, or the right edge when `rightAligned`.
Lettering Layout(const std::string& text, double anchorX, double baseline, double scale, double spacing,
                 double slant, bool rightAligned, double stretch = 1) {
    double width = 0;
    for (size_t i = 0; i < text.size(); ++i) width += GlyphFor(text[i]).advance + (i + 1 < text.size() ? spacing : 0);
    double pen = rightAligned ? anchorX - width * scale : anchorX;
    Lettering out;
    out.left = 1e9;
    out.right = -1e9;
    out.top = 1e9;
    out.bottom = -1e9;
    for (char ch : text) {
        const Glyph g = GlyphFor(ch);
        for (const Polyline& line : g.strokes) {
            auto place = [&](Pt p) { return Pt{pen + (p.x + slant * p.y) * scale, baseline - p.y * scale * stretch}; };
            for (size_t i = 0; i + 1 < line.size(); ++i) out.segments.push_back({place(line[i]), place(line[i + 1])});
            for (const Pt& p : line) {
                const Pt q = place(p);
                out.left = std::min(out.left, q.x);
                out.right = std::max(out.right, q.x);
                out.top = std::min(out.top, q.y);
                out.bottom = std::max(out.bottom, q.y);
            }
        }
        pen += (g.advance + spacing) * scale;
    }
    return out;
}

double SegmentDistance(Pt p, const Segment& s) {
    const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / len2 : 0;
    t = Clamp01(t);
    const double ex = p.x - (s.a.x + t * dx), ey = p.y - (s.a.y + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

double LetteringDistance(const Lettering& l, double x, double y) {
    double d = 1e9;
    for (const Segment& s : l.segments) d = std::min(d, SegmentDistance({x, y}, s));
    return d;
}

// Paints the strokes of `l` thickened to `radius`, shifted by (dx, dy), with `colour(x, y)`.
// `softness` widens the edge for glows.
void PaintLettering(Canvas& c, const Lettering& l, double radius, double dx, double dy, double softness,
                    double opacity, const std::function<Rgb(int, int)>& colour) {
    const double reach = radius + softness + 1;
    ForBox(c, l.left + dx - reach, l.top + dy - reach, l.right + dx + reach, l.bottom + dy + reach, [&](int x, int y) {
        const double d = LetteringDistance(l, x + 0.5 - dx, y + 0.5 - dy);
        const double cover = softness > 0 ? 1 - SmoothStep(radius - 0.5, radius + softness, d)
                                          : Clamp01(radius + 0.5 - d);
        if (cover <= 0) return;
        c.Blend(x, y, colour(x, y), cover * opacity);
        c.Calm(x, y, cover);
    });
}

// ---------------------------------------------------------------------------------------------
// Palette reduction

struct Indexed {
    std::array<Rgb8, 256> palette{};
    std::vector<uint8_t> pixels;  // top row first
    int used = 0;
};

// The distinct colours of the canvas with their pixel counts.
struct ColourCount {
    Rgb8 colour;
    double weight;
};
std::vector<ColourCount> Histogram(const Canvas& c) {
    std::vector<Rgb8> all;
    all.reserve(size_t(c.W()) * c.H());
    for (int y = 0; y < c.H(); ++y)
        for (int x = 0; x < c.W(); ++x) all.push_back(ToRgb8(c.At(x, y)));
    std::sort(all.begin(), all.end());
    std::vector<ColourCount> out;
    for (const Rgb8& v : all) {
        if (!out.empty() && out.back().colour == v) out.back().weight += 1;
        else out.push_back({v, 1});
    }
    return out;
}

double Distance2(Rgb a, Rgb8 b) {
    const double dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return 0.30 * dr * dr + 0.59 * dg * dg + 0.11 * db * db;
}
Rgb Of(Rgb8 c) { return {double(c.r), double(c.g), double(c.b)}; }

// Median cut into `count` boxes, then a few rounds of k-means: a deterministic set of colours that
// suits the picture.
std::vector<Rgb8> ChooseColours(const std::vector<ColourCount>& histogram, int count) {
    struct Box {
        std::vector<ColourCount> members;
    };
    std::vector<Box> boxes(1);
    boxes[0].members = histogram;
    while (int(boxes.size()) < count) {
        // Split the box with the largest weighted spread along its widest channel.
        int best = -1, bestChannel = 0;
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            const auto& m = boxes[i].members;
            if (m.size() < 2) continue;
            double lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0}, weight = 0;
            for (const ColourCount& cc : m) {
                const double v[3] = {double(cc.colour.r), double(cc.colour.g), double(cc.colour.b)};
                for (int k = 0; k < 3; ++k) { lo[k] = std::min(lo[k], v[k]); hi[k] = std::max(hi[k], v[k]); }
                weight += cc.weight;
            }
            const double scale[3] = {0.30, 0.59, 0.11};
            for (int k = 0; k < 3; ++k) {
                const double score = (hi[k] - lo[k]) * std::sqrt(scale[k]) * std::sqrt(weight);
                if (score > bestScore) { bestScore = score; best = int(i); bestChannel = k; }
            }
        }
        if (best < 0) break;
        auto& m = boxes[best].members;
        auto channel = [bestChannel](const ColourCount& cc) {
            return bestChannel == 0 ? cc.colour.r : (bestChannel == 1 ? cc.colour.g : cc.colour.b);
        };
        std::stable_sort(m.begin(), m.end(), [&](const ColourCount& a, const ColourCount& b) { return channel(a) < channel(b); });
        double total = 0;
        for (const ColourCount& cc : m) total += cc.weight;
        double run = 0;
        size_t cut = 1;
        for (size_t i = 0; i < m.size(); ++i) {
            run += m[i].weight;
            if (run >= total / 2) { cut = std::max<size_t>(1, std::min(i + 1, m.size() - 1)); break; }
        }
        Box upper;
        upper.members.assign(m.begin() + cut, m.end());
        m.resize(cut);
        boxes.push_back(upper);
    }
    std::vector<Rgb> centres;
    for (const Box& b : boxes) {
        Rgb sum;
        double w = 0;
        for (const ColourCount& cc : b.members) { sum = sum + Of(cc.colour) * cc.weight; w += cc.weight; }
        centres.push_back(sum * (1 / w));
    }
    for (int round = 0; round < 6; ++round) {
        std::vector<Rgb> sums(centres.size());
        std::vector<double> weights(centres.size(), 0);
        for (const ColourCount& cc : histogram) {
            size_t best = 0;
            double bestD = 1e18;
            for (size_t i = 0; i < centres.size(); ++i) {
                const double d = Distance2(centres[i], cc.colour);
                if (d < bestD) { bestD = d; best = i; }
            }
            sums[best] = sums[best] + Of(cc.colour) * cc.weight;
            weights[best] += cc.weight;
        }
        for (size_t i = 0; i < centres.size(); ++i)
            if (weights[i] > 0) centres[i] = sums[i] * (1 / weights[i]);
    }
    std::vector<Rgb8> out;
    for (const Rgb& c : centres) out.push_back(ToRgb8(c));
    std::sort(out.begin(), out.end(), [](Rgb8 a, Rgb8 b) { return Luma(Of(a)) < Luma(Of(b)) || (Luma(Of(a)) == Luma(Of(b)) && a < b); });
    return out;
}

constexpr double kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Maps every pixel to the nearest entry among `candidates` (palette indices), with ordered
// dithering where the canvas allows it.
void MapPixels(const Canvas& c, Indexed& out, const std::vector<int>& candidates, double ditherStrength) {
    out.pixels.assign(size_t(c.W()) * c.H(), 0);
    std::array<bool, 256> seen{};
    for (int y = 0; y < c.H(); ++y) {
        for (int x = 0; x < c.W(); ++x) {
            const double offset = (kBayer4[y & 3][x & 3] / 16.0 - 0.5) * ditherStrength * c.Dither(x, y);
            const Rgb p = c.At(x, y) + Rgb{offset, offset, offset};
            int best = candidates[0];
            double bestD = 1e18;
            for (int i : candidates) {
                const double d = Distance2(p, out.palette[i]);
                if (d < bestD) { bestD = d; best = i; }
            }
            out.pixels[size_t(y) * c.W() + x] = uint8_t(best);
            seen[best] = true;
        }
    }
    out.used = int(std::count(seen.begin(), seen.end(), true));
}

// Reduces the canvas to a palette that keeps `fixedLow` at its first entries and `fixedHigh` at its
// last, fills entries between with colours chosen for the picture, and uses exactly `target`
// entries. `searchable` fixed colours take part in the mapping; the others only sit in the palette.
// It chooses a few colours too many, then drops the least used one at a time (its pixels go to
// their next nearest colour) until the count is right.
bool Reduce(const Canvas& c, const std::vector<Rgb8>& fixedLow, const std::vector<Rgb8>& fixedHigh,
            const std::vector<int>& searchable, int target, double ditherStrength, Indexed* result) {
    const std::vector<ColourCount> histogram = Histogram(c);
    const int firstFree = int(fixedLow.size());
    const int freeEntries = 256 - int(fixedLow.size()) - int(fixedHigh.size());
    auto map = [&](const std::vector<Rgb8>& chosen) {
        Indexed out;
        for (size_t i = 0; i < fixedLow.size(); ++i) out.palette[i] = fixedLow[i];
        for (size_t i = 0; i < fixedHigh.size(); ++i) out.palette[256 - fixedHigh.size() + i] = fixedHigh[i];
        std::vector<int> candidates = searchable;
        for (size_t i = 0; i < chosen.size(); ++i) {
            out.palette[firstFree + i] = chosen[i];
            candidates.push_back(firstFree + int(i));
        }
        MapPixels(c, out, candidates, ditherStrength);
        return out;
    };
    int count = std::min(freeEntries, target - int(searchable.size()) + 8);
    std::vector<Rgb8> chosen = ChooseColours(histogram, count);
    Indexed out = map(chosen);
    while (out.used < target && count < freeEntries) {
        count = std::min(freeEntries, count + 8);
        chosen = ChooseColours(histogram, count);
        out = map(chosen);
    }
    while (out.used > target) {
        std::vector<size_t> uses(256, 0);
        for (uint8_t p : out.pixels) ++uses[p];
        size_t drop = chosen.size();
        for (size_t i = 0; i < chosen.size(); ++i)
            if (drop == chosen.size() || uses[firstFree + i] < uses[firstFree + drop]) drop = i;
        if (drop == chosen.size()) break;
        chosen.erase(chosen.begin() + long(drop));
        out = map(chosen);
    }
    if (out.used != target) return false;
    *result = out;
    return true;
}

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

// ---------------------------------------------------------------------------------------------
// Music: a few synthesised instruments playing a score into a floating-point buffer, a small
// room reverb, fades at both ends, and a peak well below full scale.

double MidiHz(double note) { return 440.0 * std::pow(2.0, (note - 69) / 12); }

enum class Voice { ElectricPiano, Bell, Pad, Bass };

struct Note {
    double start, length;  // seconds
    double pitch;          // MIDI note number
    double velocity;       // 0..1
    Voice voice;
    double pan;  // -1 left .. +1 right
};

// One note's sample at time t after its start; `length` is when the key is let go.
double VoiceSample(Voice v, double t, double length, double hz) {
    const double w = 2 * kPi * hz;
    const double release = t > length ? std::exp(-(t - length) / (v == Voice::Pad ? 0.45 : 0.12)) : 1.0;
    switch (v) {
        case Voice::ElectricPiano: {
            const double env = (1 - std::exp(-t / 0.004)) * std::exp(-t / 1.6) * release;
            const double index = 1.5 * std::exp(-t / 0.45) + 0.25;
            const double tine = 0.06 * std::exp(-t / 0.05) * std::sin(w * 7.0 * t);
            return env * (std::sin(w * t + index * std::sin(w * t)) + tine);
        }
        case Voice::Bell: {
            const double env = (1 - std::exp(-t / 0.002)) * std::exp(-t / 0.9) * release;
            const double index = 2.0 * std::exp(-t / 0.3);
            return env * std::sin(w * t + index * std::sin(w * 3.5 * t));
        }
        case Voice::Pad: {
            const double attack = 1 - std::exp(-t / 0.35);
            const double env = attack * release * (0.85 + 0.15 * std::sin(2 * kPi * 0.4 * t));
            double s = 0;
            const double detune[3] = {0.9968, 1.0, 1.0031};
            for (double d : detune) {
                const double wd = w * d;
                s += std::sin(wd * t) + 0.45 * std::sin(2 * wd * t + 0.3) + 0.2 * std::sin(3 * wd * t + 0.7) +
                     0.08 * std::sin(4 * wd * t + 1.1);
            }
            return env * s / 3;
        }
        case Voice::Bass: {
            const double env = (1 - std::exp(-t / 0.01)) * (0.45 + 0.55 * std::exp(-t / 0.5)) * release;
            return env * (std::sin(w * t) + 0.3 * std::sin(2 * w * t) * std::exp(-t / 0.3));
        }
    }
    return 0;
}

double VoiceTail(Voice v) { return v == Voice::Pad ? 3.0 : 1.0; }

// Schroeder's reverb: parallel damped combs into series all-passes.
class Reverb {
  public:
    Reverb(int rate, int spread) {
        const int combs[4] = {1557, 1617, 1491, 1422};
        const int passes[2] = {225, 556};
        for (int d : combs) combs_.push_back({std::vector<double>(size_t((d + spread) * rate / 44100), 0.0), 0, 0});
        for (int d : passes) passes_.push_back({std::vector<double>(size_t((d + spread) * rate / 44100), 0.0), 0, 0});
    }
    double Process(double in) {
        double out = 0;
        for (Line& c : combs_) {
            const double y = c.buffer[c.at];
            c.filter = y * 0.7 + c.filter * 0.3;
            c.buffer[c.at] = in + c.filter * 0.78;
            c.at = (c.at + 1) % c.buffer.size();
            out += y;
        }
        out *= 0.25;
        for (Line& a : passes_) {
            const double y = a.buffer[a.at];
            a.buffer[a.at] = out + y * 0.5;
            a.at = (a.at + 1) % a.buffer.size();
            out = y - out * 0.5;
        }
        return out;
    }

  private:
    struct Line {
        std::vector<double> buffer;
        size_t at;
        double filter;
    };
    std::vector<Line> combs_, passes_;
};

std::vector<std::vector<double>> Perform(const std::vector<Note>& score, int rate, int channels, size_t frames) {
    std::vector<std::vector<double>> dry(channels, std::vector<double>(frames, 0.0));
    for (const Note& n : score) {
        const double hz = MidiHz(n.pitch);
        const size_t first = size_t(n.start * rate);
        const size_t last = std::min(frames, size_t((n.start + n.length + VoiceTail(n.voice)) * rate));
        const double left = std::sqrt(0.5 * (1 - n.pan)), right = std::sqrt(0.5 * (1 + n.pan));
        for (size_t i = first; i < last; ++i) {
            const double t = (i - first) / double(rate);
            const double s = n.velocity * VoiceSample(n.voice, t, n.length, hz);
            if (channels == 1) dry[0][i] += s;
            else { dry[0][i] += s * left; dry[1][i] += s * right; }
        }
    }
    std::vector<std::vector<double>> out = dry;
    for (int ch = 0; ch < channels; ++ch) {
        Reverb room(rate, ch * 23);
        for (size_t i = 0; i < frames; ++i) out[ch][i] = dry[ch][i] + 0.32 * room.Process(dry[ch][i]);
    }
    return out;
}

// Fades both ends, scales the peak to `peak` of full scale, and writes a PCM wave file.
Bytes Master(std::vector<std::vector<double>> tracks, int rate, double fadeIn, double fadeOut, double peak) {
    const size_t frames = tracks[0].size();
    const int channels = int(tracks.size());
    double top = 1e-9;
    for (auto& t : tracks) {
        for (size_t i = 0; i < frames; ++i) {
            const double sec = i / double(rate), toEnd = (frames - 1 - i) / double(rate);
            const double in = sec < fadeIn ? 0.5 - 0.5 * std::cos(kPi * sec / fadeIn) : 1.0;
            const double out = toEnd < fadeOut ? 0.5 - 0.5 * std::cos(kPi * toEnd / fadeOut) : 1.0;
            t[i] *= in * out;
            top = std::max(top, std::fabs(t[i]));
        }
    }
    const double gain = peak * 32767 / top;
    const uint32_t data = uint32_t(frames * channels * 2);
    Bytes b;
    PutTag(b, "RIFF");
    Put32(b, 36 + data);
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, uint32_t(channels));
    Put32(b, uint32_t(rate));
    Put32(b, uint32_t(rate * channels * 2));
    Put16(b, uint32_t(channels * 2));
    Put16(b, 16);
    PutTag(b, "data");
    Put32(b, data);
    for (size_t i = 0; i < frames; ++i)
        for (int ch = 0; ch < channels; ++ch) Put16(b, uint16_t(int16_t(std::lround(tracks[ch][i] * gain))));
    return b;
}

// A score written in beats: chords (bass note and voicing) per half bar, and a melody.
struct Chord {
    double beat, beats;
    int bass;
    std::vector<int> voicing;
};
struct MelodyNote {
    double beat, beats;
    int pitch;
};

// The first-run piece: D major, spacious, the melody rising over slow chords with bell arpeggios
// flickering between the speakers.
std::vector<Note> SetupScore() {
    const double beat = 0.55, start = 0.08;
    auto at = [&](double b) { return start + b * beat; };
    const std::vector<Chord> chords = {
        {0, 4, 38, {54, 57, 61, 64}},   {4, 4, 35, {50, 54, 57, 61}},  {8, 4, 31, {55, 59, 62, 66}},
        {12, 2, 33, {57, 62, 64, 69}},  {14, 2, 33, {57, 61, 64, 69}}, {16, 4, 42, {54, 57, 61, 64}},
        {20, 4, 31, {55, 59, 62, 66}},  {24, 2, 40, {55, 59, 62, 66}}, {26, 2, 33, {55, 57, 62, 64}},
        {28, 5.5, 38, {54, 57, 61, 64, 69}},
    };
    const std::vector<MelodyNote> melody = {
        {0, 1, 66},    {1, 0.5, 69},  {1.5, 1.5, 76}, {3, 1, 74},
        {4, 1.5, 73},  {5.5, 0.5, 71}, {6, 1, 69},    {7, 1, 66},
        {8, 0.5, 67},  {8.5, 0.5, 71}, {9, 1, 74},    {10, 1.5, 78}, {11.5, 0.5, 76},
        {12, 2, 76},   {14, 1, 73},   {15, 1, 69},
        {16, 0.5, 69}, {16.5, 0.5, 73}, {17, 1.5, 76}, {18.5, 0.5, 78}, {19, 1, 76},
        {20, 1.5, 74}, {21.5, 0.5, 71}, {22, 1, 74},  {23, 1, 79},
        {24, 1.5, 78}, {25.5, 0.5, 76}, {26, 1, 74},  {27, 1, 73},
        {28, 4.5, 74},
    };
    std::vector<Note> score;
    for (const Chord& c : chords) {
        score.push_back({at(c.beat), c.beats * beat, double(c.bass), 0.55, Voice::Bass, 0});
        for (size_t i = 0; i < c.voicing.size(); ++i) {
            const double pan = (i % 2 == 0 ? -0.55 : 0.55);
            score.push_back({at(c.beat), c.beats * beat + 0.1, double(c.voicing[i]), 0.16, Voice::Pad, pan});
        }
        // Bell arpeggio an octave up, in eighths, alternating sides.
        for (int k = 0; k < int(c.beats * 2) && c.beat + k * 0.5 < 30; ++k) {
            const int note = c.voicing[(k * 3 + 1) % c.voicing.size()] + 12 + (k % 4 == 3 ? 12 : 0);
            score.push_back({at(c.beat + k * 0.5), 0.3, double(note), 0.11 + 0.03 * (k % 2 == 0), Voice::Bell,
                             (k % 2 == 0) ? -0.7 : 0.7});
        }
    }
    for (const MelodyNote& m : melody) {
        score.push_back({at(m.beat), m.beats * beat * 0.95, double(m.pitch), 0.42, Voice::ElectricPiano, 0.15});
        score.push_back({at(m.beat) + 0.012, m.beats * beat * 0.9, double(m.pitch + 12), 0.06, Voice::Bell, -0.2});
    }
    return score;
}

// The welcome-back piece: F major, lighter on its feet, a walking bass and off-beat chords under
// a playful tune.
std::vector<Note> RunScore() {
    const double beat = 0.6, start = 0.06;
    auto at = [&](double b) { return start + b * beat; };
    const std::vector<Chord> chords = {
        {0, 4, 41, {57, 60, 64, 67}},  {4, 4, 38, {57, 60, 62, 65}},  {8, 4, 34, {58, 62, 65, 69}},
        {12, 2, 36, {58, 60, 65, 67}}, {14, 2, 36, {58, 60, 64, 67}}, {16, 4, 45, {55, 60, 64, 67}},
        {20, 4, 38, {57, 60, 62, 65}}, {24, 4, 43, {58, 62, 65, 69}}, {28, 4, 36, {58, 60, 65, 67}},
        {32, 3.5, 41, {57, 60, 64, 67, 69}},
    };
    const std::vector<MelodyNote> melody = {
        {0, 0.5, 72},   {0.5, 0.5, 69}, {1, 0.5, 65},  {1.5, 0.5, 69}, {2, 1, 72},    {3, 1, 76},
        {4, 1.5, 74},   {5.5, 0.5, 72}, {6, 1, 69},    {7, 1, 65},
        {8, 0.5, 74},   {8.5, 0.5, 70}, {9, 0.5, 65},  {9.5, 0.5, 70}, {10, 1, 74},   {11, 1, 77},
        {12, 1.5, 76},  {13.5, 0.5, 74}, {14, 1, 72},  {15, 1, 67},
        {16, 0.5, 72},  {16.5, 0.5, 76}, {17, 1.5, 79}, {18.5, 0.5, 76}, {19, 1, 72},
        {20, 1, 74},    {21, 1, 77},    {22, 1.5, 81}, {23.5, 0.5, 79},
        {24, 1, 77},    {25, 0.5, 74},  {25.5, 0.5, 70}, {26, 1, 74},  {27, 1, 72},
        {28, 1, 67},    {29, 0.5, 69},  {29.5, 0.5, 70}, {30, 1, 72},  {31, 1, 76},
        {32, 3, 77},
    };
    std::vector<Note> score;
    for (const Chord& c : chords) {
        const bool last = c.beat >= 32;
        // Walking bass: root, fifth, octave, approach, in quarters (the last chord holds).
        const int steps[4] = {0, 7, 12, 10};
        for (int k = 0; k < (last ? 1 : int(c.beats)); ++k)
            score.push_back({at(c.beat + k), (last ? c.beats : 0.9) * beat, double(c.bass + steps[k % 4]), 0.5, Voice::Bass, 0});
        score.push_back({at(c.beat), c.beats * beat + 0.05, double(c.voicing[0]), 0.1, Voice::Pad, 0});
        score.push_back({at(c.beat), c.beats * beat + 0.05, double(c.voicing[2]), 0.1, Voice::Pad, 0});
        // Chords on the off-beats ("and" of each beat), short and light.
        for (int k = 0; k < (last ? 1 : int(c.beats)); ++k) {
            for (size_t i = 0; i < c.voicing.size(); ++i)
                score.push_back({at(c.beat + k + (last ? 0 : 0.5)) + i * 0.006, (last ? c.beats : 0.3) * beat,
                                 double(c.voicing[i]), last ? 0.13 : 0.09, Voice::ElectricPiano, 0});
        }
    }
    for (const MelodyNote& m : melody) {
        score.push_back({at(m.beat), m.beats * beat * 0.9, double(m.pitch), 0.4, Voice::ElectricPiano, 0});
        // Doubled by a quiet bell in unison: an octave up, its partials would fold at this rate.
        score.push_back({at(m.beat), m.beats * beat * 0.6, double(m.pitch), 0.06, Voice::Bell, 0});
    }
    return score;
}

Bytes SetupSound() {
    constexpr int kRate = 44100;
    constexpr size_t kFrames = 801150;
    return Master(Perform(SetupScore(), kRate, 2, kFrames), kRate, 0.03, 1.6, 0.8);
}

Bytes RunSound() {
    constexpr int kRate = 22050;
    constexpr size_t kFrames = 476448;
    return Master(Perform(RunScore(), kRate, 1, kFrames), kRate, 0.03, 1.4, 0.8);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <outdir>\n");
        return 2;
    }
    const std::string dir = argv[1];
    const Indexed background = PaintBackground();
    const Indexed button = PaintButton();
    if (background.used != 98 || button.used != 61) return 1;
    bool ok = Save(dir + "/quorvane.bmp", BitmapFile(background, kPictureW, kPictureH, 0, 2834, 0, 2));
    ok = Save(dir + "/vexelbutton.bmp", BitmapFile(button, 32, 32, 1024, 0, 256, 0)) && ok;
    ok = Save(dir + "/setup.wav", SetupSound()) && ok;
    ok = Save(dir + "/run.wav", RunSound()) && ok;
    ok = Save(dir + "/setup.ico", IconFile()) && ok;
    if (!ok) std::fprintf(stderr, "artgen: could not write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
