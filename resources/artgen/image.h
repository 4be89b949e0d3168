// The shared image pieces: bytes and files, colour, the Windows and VGA palettes, the canvas, noise.
#ifndef QUORVANE_ARTGEN_IMAGE_H
#define QUORVANE_ARTGEN_IMAGE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// The art generator is one program: its pieces share one unnamed namespace.
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

}  // namespace

#endif
