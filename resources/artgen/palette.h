// Reduces a painted canvas to an 8-bit palette of an exact number of entries.
#ifndef QUORVANE_ARTGEN_PALETTE_H
#define QUORVANE_ARTGEN_PALETTE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "image.h"

// The art generator is one program: its pieces share one unnamed namespace.
namespace {

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

}  // namespace

#endif
