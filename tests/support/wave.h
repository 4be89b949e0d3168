// A RIFF WAVE file as the tests read it: its chunks, its format and its 16-bit samples.
#ifndef QUORVANE_TESTS_WAVE_H
#define QUORVANE_TESTS_WAVE_H

#include <cstdint>
#include <string>
#include <vector>

namespace wave {

struct Wave {
    bool riffWave = false;             // the file starts as a RIFF file of form WAVE
    uint32_t riffSize = 0;             // the RIFF header's size field
    std::vector<std::string> chunks;   // the chunk ids in file order
    uint32_t fmtSize = 0;
    uint16_t format = 0, channels = 0, blockAlign = 0, bits = 0;
    uint32_t rate = 0, byteRate = 0;
    uint32_t dataSize = 0;
    size_t dataEnd = 0;                // where the data chunk's bytes end in the file
    std::vector<int16_t> samples;      // interleaved

    // A 16-bit PCM file with a format and a data chunk.
    bool Pcm16() const;
    long Frames() const { return channels > 0 ? static_cast<long>(samples.size()) / channels : 0; }
};

Wave Read(const std::vector<unsigned char>& bytes);

}  // namespace wave

#endif
