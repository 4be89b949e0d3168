// The synthesiser: instruments, a score's performance, reverb, and the PCM wave file writer.
#ifndef QUORVANE_ARTGEN_MUSIC_H
#define QUORVANE_ARTGEN_MUSIC_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "image.h"

// The art generator is one program: its pieces share one unnamed namespace.
namespace {

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

}  // namespace

#endif
