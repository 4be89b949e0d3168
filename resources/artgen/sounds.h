// The two sounds: the setup piece and the welcome-back piece.
#ifndef QUORVANE_ARTGEN_SOUNDS_H
#define QUORVANE_ARTGEN_SOUNDS_H

#include <vector>

#include "image.h"
#include "music.h"

// The art generator is one program: its pieces share one unnamed namespace.
namespace {

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

#endif
