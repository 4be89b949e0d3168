// The test sounds that the build makes (tests/sounds): short MP3 files and mpg123's decoding of
// each, against which a test holds what a decoder made of them.
#ifndef QUORVANE_TESTS_TEST_SOUNDS_H
#define QUORVANE_TESTS_TEST_SOUNDS_H

#include <string>

namespace sounds {

// The test sounds of the build: name, rate and channels as made by tests/sounds.
struct TestSound {
    const char* name;
    int rate;
    int channels;
};
constexpr TestSound kMono22050{"mono22050", 22050, 1};
constexpr TestSound kStereo22050{"stereo22050", 22050, 2};
constexpr TestSound kMono44100{"mono44100", 44100, 1};
constexpr TestSound kStereo44100{"stereo44100", 44100, 2};
// Without the encoder's info frame, as the demo's medium has its sounds.
constexpr TestSound kBare22050{"bare22050", 22050, 1};
constexpr TestSound kAllSounds[] = {kMono22050, kStereo22050, kMono44100, kStereo44100, kBare22050};

std::string SoundsDir();
std::string SoundMp3(const TestSound& sound);
std::string SoundReference(const TestSound& sound);

// The decoded file has the reference's format, its length within one frame, and its samples.
void ExpectDecodedLikeReference(const std::string& decodedPath, const TestSound& sound);

}  // namespace sounds

#endif
