// Writes a test tone as a 16-bit PCM WAVE file, for the build machine:
//
//   tonegen <out.wav> <rate> <channels> <milliseconds>
//
// Each channel is a sweep of its own (rising on the left, falling on the right) with short fades,
// so a decoded copy lines up with its reference at one offset only and swapped channels show.
// Integer arithmetic on a fixed table keeps the bytes the same on every build machine.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

constexpr int kTableBits = 12;
constexpr int kTableSize = 1 << kTableBits;
constexpr int kAmplitude = 12000;
constexpr int kFadeMs = 20;

struct Sweep {
    int64_t fromHz;
    int64_t toHz;
};
constexpr Sweep kSweeps[2] = {{300, 3000}, {2500, 400}};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: tonegen <out.wav> <rate> <channels> <milliseconds>\n");
        return 1;
    }
    const int64_t rate = atoi(argv[2]);
    const int channels = atoi(argv[3]);
    const int64_t milliseconds = atoi(argv[4]);
    if (rate <= 0 || channels < 1 || channels > 2 || milliseconds <= 0) {
        fprintf(stderr, "tonegen: bad rate, channel count or length\n");
        return 1;
    }
    std::vector<int> sine(kTableSize);
    for (int i = 0; i < kTableSize; ++i) {
        sine[i] = int(std::lround(kAmplitude * std::sin(2.0 * 3.14159265358979323846 * i / kTableSize)));
    }
    const int64_t frames = rate * milliseconds / 1000;
    const int64_t fade = rate * kFadeMs / 1000;
    // Phase in units of 1/(rate * frames) of a turn, so the sweep needs no floating point.
    const int64_t turn = rate * frames * 2;
    std::vector<uint8_t> pcm;
    for (int64_t n = 0; n < frames; ++n) {
        const int64_t envelope = std::min<int64_t>({fade, n, frames - 1 - n});
        for (int c = 0; c < channels; ++c) {
            const Sweep& s = kSweeps[c];
            // phase(n) = from * n / rate + (to - from) * n^2 / (2 * rate * frames) turns
            const int64_t phase = (2 * s.fromHz * n * frames + (s.toHz - s.fromHz) * n * n) % turn;
            const int index = int(phase * kTableSize / turn);
            const int sample = int(int64_t(sine[index]) * envelope / fade);
            Put16(pcm, uint32_t(int16_t(sample)) & 0xFFFF);
        }
    }
    std::vector<uint8_t> wave;
    const uint32_t blockAlign = uint32_t(channels) * 2;
    for (char c : {'R', 'I', 'F', 'F'}) wave.push_back(uint8_t(c));
    Put32(wave, uint32_t(36 + pcm.size()));
    for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) wave.push_back(uint8_t(c));
    Put32(wave, 16);
    Put16(wave, 1);
    Put16(wave, uint32_t(channels));
    Put32(wave, uint32_t(rate));
    Put32(wave, uint32_t(rate) * blockAlign);
    Put16(wave, blockAlign);
    Put16(wave, 16);
    for (char c : {'d', 'a', 't', 'a'}) wave.push_back(uint8_t(c));
    Put32(wave, uint32_t(pcm.size()));
    wave.insert(wave.end(), pcm.begin(), pcm.end());
    FILE* file = fopen(argv[1], "wb");
    if (file == nullptr || fwrite(wave.data(), 1, wave.size(), file) != wave.size() || fclose(file) != 0) {
        fprintf(stderr, "tonegen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
