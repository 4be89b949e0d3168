#include "test_sounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

#include "e2e.h"
#include "machine.h"
#include "wave.h"

namespace sounds {

namespace {

// Decoders may disagree by the length of one Layer-3 frame at most.
constexpr long kFrameSamples = 1152;
// Two decoders that compute the same synthesis in floating point round differently into 16 bits
// by a sample value or two; a real fault (a lost frame, a shifted or swapped channel, a wrong
// rate) gives errors in the thousands on these tones, whose RMS level is about 7,900.
constexpr double kMaxRmsError = 8.0;

using wave::Wave;

Wave ReadWave(const std::string& path) { return wave::Read(machine::ReadBytes(path)); }

// Mean squared difference of `decoded` against `reference` with decoded frame i + offset beside
// reference frame i, over every `step`-th frame of the overlap.
double MeanSquaredError(const Wave& decoded, const Wave& reference, long offset, long step, long* compared) {
    const int channels = reference.channels;
    double sum = 0;
    long count = 0;
    for (long i = 0; i < reference.Frames(); i += step) {
        const long j = i + offset;
        if (j < 0 || j >= decoded.Frames()) continue;
        for (int c = 0; c < channels; ++c) {
            const double d = double(decoded.samples[j * channels + c]) - reference.samples[i * channels + c];
            sum += d * d;
        }
        ++count;
    }
    if (compared != nullptr) *compared = count;
    return count > 0 ? sum / (double(count) * channels) : 1e300;
}

struct Alignment {
    long offset = 0;
    double rmsError = 0;
    long comparedFrames = 0;
};

// The constant delay between two decoders, found as the offset within one frame that fits best.
Alignment Align(const Wave& decoded, const Wave& reference) {
    long best = 0;
    double bestError = 1e300;
    for (long offset = -kFrameSamples; offset <= kFrameSamples; ++offset) {
        const double error = MeanSquaredError(decoded, reference, offset, 5, nullptr);
        if (error < bestError) {
            bestError = error;
            best = offset;
        }
    }
    Alignment alignment;
    alignment.rmsError = 1e300;
    for (long offset = best - 4; offset <= best + 4; ++offset) {
        long compared = 0;
        const double rms = std::sqrt(MeanSquaredError(decoded, reference, offset, 1, &compared));
        if (rms < alignment.rmsError) alignment = Alignment{offset, rms, compared};
    }
    return alignment;
}

}  // namespace

std::string SoundsDir() { return e2e::Win64Dir() + "\\tests\\sounds"; }
std::string SoundMp3(const TestSound& sound) { return SoundsDir() + "\\" + sound.name + ".mp3"; }
std::string SoundReference(const TestSound& sound) { return SoundsDir() + "\\" + sound.name + ".ref.wav"; }

void ExpectDecodedLikeReference(const std::string& decodedPath, const TestSound& sound) {
    const Wave reference = ReadWave(SoundReference(sound));
    ASSERT_TRUE(reference.Pcm16()) << "mpg123's decoding " << SoundReference(sound) << " is missing or unreadable";
    ASSERT_EQ(static_cast<uint32_t>(sound.rate), reference.rate) << "the build made " << sound.name << " at another rate";
    ASSERT_EQ(sound.channels, static_cast<int>(reference.channels)) << "the build made " << sound.name << " with other channels";
    const Wave decoded = ReadWave(decodedPath);
    ASSERT_TRUE(decoded.Pcm16()) << decodedPath << " is missing or not a 16-bit PCM WAVE file";
    EXPECT_EQ(reference.channels, decoded.channels) << decodedPath;
    EXPECT_EQ(reference.rate, decoded.rate) << decodedPath;
    if (decoded.channels != reference.channels) return;
    EXPECT_LE(std::labs(decoded.Frames() - reference.Frames()), kFrameSamples)
        << decodedPath << ": " << decoded.Frames() << " samples, mpg123 " << reference.Frames();
    const Alignment alignment = Align(decoded, reference);
    EXPECT_LE(alignment.rmsError, kMaxRmsError) << decodedPath << " against mpg123 at offset " << alignment.offset;
    EXPECT_GE(alignment.comparedFrames, reference.Frames() - kFrameSamples) << decodedPath;
    std::cout << "[ measured ] " << sound.name << ": " << decoded.Frames() << " samples (mpg123 "
              << reference.Frames() << "), offset " << alignment.offset << ", RMS error " << alignment.rmsError
              << "\n";
}

}  // namespace sounds
