#include "wave.h"

#include <algorithm>
#include <cstring>

namespace wave {

namespace {

uint32_t Little(const std::vector<unsigned char>& b, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | (at + i < b.size() ? b[at + i] : 0);
    return value;
}

}  // namespace

bool Wave::Pcm16() const {
    const auto has = [&](const char* id) { return std::find(chunks.begin(), chunks.end(), id) != chunks.end(); };
    return riffWave && has("fmt ") && has("data") && format == 1 && bits == 16 && channels > 0;
}

Wave Read(const std::vector<unsigned char>& b) {
    Wave w;
    if (b.size() < 12 || memcmp(b.data(), "RIFF", 4) != 0 || memcmp(b.data() + 8, "WAVE", 4) != 0) return w;
    w.riffWave = true;
    w.riffSize = Little(b, 4, 4);
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id(reinterpret_cast<const char*>(&b[at]), 4);
        const uint32_t size = Little(b, at + 4, 4);
        const size_t body = at + 8;
        w.chunks.push_back(id);
        if (id == "fmt ") {
            w.fmtSize = size;
            w.format = static_cast<uint16_t>(Little(b, body, 2));
            w.channels = static_cast<uint16_t>(Little(b, body + 2, 2));
            w.rate = Little(b, body + 4, 4);
            w.byteRate = Little(b, body + 8, 4);
            w.blockAlign = static_cast<uint16_t>(Little(b, body + 12, 2));
            w.bits = static_cast<uint16_t>(Little(b, body + 14, 2));
        } else if (id == "data") {
            w.dataSize = size;
            w.dataEnd = body + size;
            for (size_t i = body; i + 1 < body + size && i + 1 < b.size(); i += 2) {
                w.samples.push_back(static_cast<int16_t>(Little(b, i, 2)));
            }
        }
        at = body + size + (size & 1);
    }
    return w;
}

}  // namespace wave
