// The stroke font that paints the title and the labels.
#ifndef QUORVANE_ARTGEN_LETTERING_H
#define QUORVANE_ARTGEN_LETTERING_H

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "image.h"

// The art generator is one program: its pieces share one unnamed namespace.
namespace {

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

}  // namespace

#endif
