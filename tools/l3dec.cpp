// Stand-in for the MPEG Layer-3 decoder of the distribution medium:
//
//   l3dec <input.mp3> <output.wav> -wav
//
// Decodes the input into a 16-bit PCM RIFF WAVE file with the rate and channels of the stream.
// The decoding itself is the audio compression manager's; this program only walks the frame
// headers to learn the format, to leave out the encoder's info frame and to cut the encoder's
// delay and padding that the info frame records, so the output holds the samples that were
// encoded and no more. Like the decoder it stands in for, it will not run without go32.exe in
// its working directory. An existing output is replaced only when the answer on standard input
// is y. Any failure leaves no output file behind and ends with a non-zero exit code.
//
// It is a DOS program, and reads its arguments as one: from a command tail that DOS cuts to 126
// bytes, and it opens its input and creates its output only by names that the old DOS file calls
// take, 8.3 in every part, on Windows 95 as on NT 4.
#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command_line.h"
#include "dos_names.h"

namespace {

enum ExitCode {
    kSuccess = 0,
    kUsage = 1,
    kNoExtender = 2,
    kInputUnreadable = 3,
    kNotLayer3 = 4,
    kDecodeFailed = 5,
    kWriteFailed = 6,
    // What the old DOS calls report for a name they cannot take: no such file.
    kNoDosName = 7,
};

constexpr char kExtender[] = "go32.exe";
constexpr char kWaveSwitch[] = "-wav";

// The samples that a Layer-3 decoder puts out before the first encoded one; the encoder's own
// delay, recorded in the info frame, comes on top.
constexpr int kDecoderDelay = 529;

struct Frame {
    size_t offset = 0;
    size_t length = 0;
};

struct StreamFormat {
    int mpegVersion = 0;  // 1 or 2, 25 for the 2.5 extension
    int sampleRate = 0;
    int channels = 0;
    int samplesPerFrame = 0;
    int firstBitrateKbps = 0;
};

struct FrameHeader {
    StreamFormat format;
    int bitrateKbps = 0;
    size_t length = 0;
    size_t sideInfoEnd = 0;  // offset of the first byte behind the side information
};

// What the encoder's info frame ("Xing" or "Info" tag, with LAME's extension) tells.
struct InfoFrame {
    bool present = false;
    bool hasFrameCount = false;
    uint32_t frameCount = 0;
    bool hasGaplessTrim = false;
    int encoderDelay = 0;
    int padding = 0;
};

int Fail(int code, const std::string& message) {
    fprintf(stderr, "l3dec: %s\n", message.c_str());
    return code;
}

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

bool ParseFrameHeader(const uint8_t* p, size_t available, FrameHeader* header) {
    static constexpr int kBitratesMpeg1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static constexpr int kBitratesMpeg2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    static constexpr int kRatesMpeg1[3] = {44100, 48000, 32000};
    if (available < 4 || p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    const int versionBits = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    const bool crcProtected = (p[1] & 1) == 0;
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    const int padding = (p[2] >> 1) & 1;
    const bool mono = (p[3] >> 6) == 3;
    if (versionBits == 1 || layerBits != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return false;
    }
    StreamFormat& format = header->format;
    format.mpegVersion = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    const bool mpeg1 = format.mpegVersion == 1;
    format.sampleRate = kRatesMpeg1[rateIndex] / (mpeg1 ? 1 : format.mpegVersion == 2 ? 2 : 4);
    format.channels = mono ? 1 : 2;
    format.samplesPerFrame = mpeg1 ? 1152 : 576;
    header->bitrateKbps = (mpeg1 ? kBitratesMpeg1 : kBitratesMpeg2)[bitrateIndex];
    format.firstBitrateKbps = header->bitrateKbps;
    header->length = size_t(mpeg1 ? 144000 : 72000) * header->bitrateKbps / format.sampleRate + padding;
    const size_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    header->sideInfoEnd = 4 + (crcProtected ? 2 : 0) + sideInfo;
    return true;
}

bool SameFormat(const StreamFormat& a, const StreamFormat& b) {
    return a.mpegVersion == b.mpegVersion && a.sampleRate == b.sampleRate && a.channels == b.channels;
}

// An ID3v2 tag in front of the stream: its length, footer included, or 0.
size_t Id3v2Length(const std::vector<uint8_t>& data) {
    if (data.size() < 10 || memcmp(data.data(), "ID3", 3) != 0) return 0;
    const uint8_t* size = data.data() + 6;
    if ((size[0] | size[1] | size[2] | size[3]) & 0x80) return 0;
    const size_t body = (size_t(size[0]) << 21) | (size_t(size[1]) << 14) | (size_t(size[2]) << 7) | size[3];
    const bool footer = (data[5] & 0x10) != 0;
    return 10 + body + (footer ? 10 : 0);
}

// The first frame whose header is followed directly by another valid header (or that ends the
// file exactly), searched from `start`: a lone 0xFFE pattern in other data does not count.
bool FindFirstFrame(const std::vector<uint8_t>& data, size_t start, size_t* offset, FrameHeader* header) {
    for (size_t at = start; at + 4 <= data.size(); ++at) {
        FrameHeader candidate;
        if (!ParseFrameHeader(&data[at], data.size() - at, &candidate)) continue;
        const size_t next = at + candidate.length;
        FrameHeader following;
        const bool endsFile = next == data.size();
        const bool chained = next + 4 <= data.size() &&
                             ParseFrameHeader(&data[next], data.size() - next, &following) &&
                             SameFormat(following.format, candidate.format);
        if (endsFile || chained) {
            *offset = at;
            *header = candidate;
            return true;
        }
    }
    return false;
}

InfoFrame ReadInfoFrame(const std::vector<uint8_t>& data, const Frame& frame, const FrameHeader& header) {
    InfoFrame info;
    const uint8_t* p = &data[frame.offset];
    size_t at = header.sideInfoEnd;
    if (at + 8 > frame.length) return info;
    if (memcmp(p + at, "Xing", 4) != 0 && memcmp(p + at, "Info", 4) != 0) return info;
    info.present = true;
    const uint32_t flags = BigEndian32(p + at + 4);
    at += 8;
    if ((flags & 1) != 0 && at + 4 <= frame.length) {
        info.hasFrameCount = true;
        info.frameCount = BigEndian32(p + at);
        at += 4;
    }
    if ((flags & 2) != 0) at += 4;    // byte count
    if ((flags & 4) != 0) at += 100;  // seek table
    if ((flags & 8) != 0) at += 4;    // quality
    // LAME's extension: a nine-character encoder name, then the delay and the padding in 12 bits
    // each at its 21st byte.
    if (at + 24 <= frame.length && memcmp(p + at, "LAME", 4) == 0) {
        const uint8_t* delays = p + at + 21;
        info.hasGaplessTrim = true;
        info.encoderDelay = (delays[0] << 4) | (delays[1] >> 4);
        info.padding = ((delays[1] & 0x0F) << 8) | delays[2];
    }
    return info;
}

// The stream as the decoder sees it: its format, its audio frames (the info frame left out) and
// what the info frame says.
struct Stream {
    StreamFormat format;
    std::vector<Frame> frames;
    InfoFrame info;
};

// Walks the frames from the first one to the end. Besides frames, only an ID3v1 tag may follow;
// anything else, a frame cut short, or fewer frames than the info frame counts means the file
// was truncated or is not a Layer-3 stream.
bool ReadStream(const std::vector<uint8_t>& data, Stream* stream, std::string* error) {
    size_t offset = 0;
    FrameHeader first;
    if (!FindFirstFrame(data, Id3v2Length(data), &offset, &first)) {
        *error = "no MPEG Layer-3 frames found";
        return false;
    }
    stream->format = first.format;
    bool firstFrame = true;
    while (offset < data.size()) {
        FrameHeader header;
        const size_t remaining = data.size() - offset;
        if (remaining == 128 && memcmp(&data[offset], "TAG", 3) == 0) break;
        if (!ParseFrameHeader(&data[offset], remaining, &header) || !SameFormat(header.format, first.format)) {
            *error = "unexpected data at byte " + std::to_string(offset) + " after " +
                     std::to_string(stream->frames.size()) + " frames";
            return false;
        }
        if (header.length > remaining) {
            *error = "the last frame is cut short (truncated file)";
            return false;
        }
        const Frame frame{offset, header.length};
        if (firstFrame) {
            stream->info = ReadInfoFrame(data, frame, header);
            firstFrame = false;
            if (!stream->info.present) stream->frames.push_back(frame);
        } else {
            stream->frames.push_back(frame);
        }
        offset += header.length;
    }
    if (stream->frames.empty()) {
        *error = "no audio frames";
        return false;
    }
    // The count leaves out the info frame itself.
    const InfoFrame& info = stream->info;
    if (info.hasFrameCount && stream->frames.size() < info.frameCount) {
        *error = "the stream holds " + std::to_string(stream->frames.size()) + " of " +
                 std::to_string(info.frameCount) + " frames (truncated file)";
        return false;
    }
    return true;
}

// The batch file runs the decoder once for every entry, also for the files a medium lacks; loading
// the audio compression manager only when there is something to decode keeps those runs short.
struct AudioCompressionManager {
    decltype(&acmStreamOpen) streamOpen = nullptr;
    decltype(&acmStreamSize) streamSize = nullptr;
    decltype(&acmStreamPrepareHeader) streamPrepareHeader = nullptr;
    decltype(&acmStreamConvert) streamConvert = nullptr;
    decltype(&acmStreamUnprepareHeader) streamUnprepareHeader = nullptr;
    decltype(&acmStreamClose) streamClose = nullptr;

    template <typename Function>
    static bool Find(HMODULE module, const char* name, Function* function) {
        *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
        return *function != nullptr;
    }

    bool Load() {
        const HMODULE module = LoadLibraryA("msacm32.dll");
        return module != nullptr && Find(module, "acmStreamOpen", &streamOpen) &&
               Find(module, "acmStreamSize", &streamSize) &&
               Find(module, "acmStreamPrepareHeader", &streamPrepareHeader) &&
               Find(module, "acmStreamConvert", &streamConvert) &&
               Find(module, "acmStreamUnprepareHeader", &streamUnprepareHeader) &&
               Find(module, "acmStreamClose", &streamClose);
    }
};

// Runs the stream's frames through the audio compression manager's Layer-3 codec.
bool DecodeFrames(const std::vector<uint8_t>& data, const Stream& stream, std::vector<int16_t>* pcm,
                  std::string* error) {
    const StreamFormat& format = stream.format;
    MPEGLAYER3WAVEFORMAT source = {};
    source.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    source.wfx.nChannels = WORD(format.channels);
    source.wfx.nSamplesPerSec = DWORD(format.sampleRate);
    source.wfx.nAvgBytesPerSec = DWORD(format.firstBitrateKbps * 1000 / 8);
    source.wfx.nBlockAlign = 1;
    source.wfx.wBitsPerSample = 0;
    source.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    source.wID = MPEGLAYER3_ID_MPEG;
    source.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
    source.nBlockSize = WORD(stream.frames.front().length);
    source.nFramesPerBlock = 1;
    source.nCodecDelay = 0;

    WAVEFORMATEX target = {};
    target.wFormatTag = WAVE_FORMAT_PCM;
    target.nChannels = WORD(format.channels);
    target.nSamplesPerSec = DWORD(format.sampleRate);
    target.wBitsPerSample = 16;
    target.nBlockAlign = WORD(format.channels * 2);
    target.nAvgBytesPerSec = target.nSamplesPerSec * target.nBlockAlign;

    AudioCompressionManager manager;
    if (!manager.Load()) {
        *error = "the audio compression manager (msacm32.dll) is not available";
        return false;
    }
    HACMSTREAM acm = nullptr;
    MMRESULT result =
        manager.streamOpen(&acm, nullptr, &source.wfx, &target, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME);
    if (result != MMSYSERR_NOERROR) {
        *error = "the audio compression manager has no Layer-3 decoder for " + std::to_string(format.sampleRate) +
                 " Hz, " + std::to_string(format.channels) + " channel(s) (acmStreamOpen: " +
                 std::to_string(result) + ")";
        return false;
    }

    // Chunks of whole frames; the output room covers them and what the codec may still hold back.
    constexpr size_t kFramesPerChunk = 32;
    constexpr size_t kHeldBackFrames = 16;
    size_t chunkBytes = 0;
    for (size_t i = 0; i < stream.frames.size(); i += kFramesPerChunk) {
        size_t bytes = 0;
        for (size_t j = i; j < i + kFramesPerChunk && j < stream.frames.size(); ++j) bytes += stream.frames[j].length;
        if (bytes > chunkBytes) chunkBytes = bytes;
    }
    const size_t frameBytes = size_t(format.samplesPerFrame) * target.nBlockAlign;
    DWORD outputBytes = DWORD(frameBytes * (kFramesPerChunk + kHeldBackFrames));
    DWORD suggested = 0;
    if (manager.streamSize(acm, DWORD(chunkBytes), &suggested, ACM_STREAMSIZEF_SOURCE) == MMSYSERR_NOERROR &&
        suggested > outputBytes) {
        outputBytes = suggested;
    }
    std::vector<BYTE> input(chunkBytes);
    std::vector<BYTE> output(outputBytes);
    ACMSTREAMHEADER request = {};
    request.cbStruct = sizeof(request);
    request.pbSrc = input.data();
    request.cbSrcLength = DWORD(input.size());
    request.pbDst = output.data();
    request.cbDstLength = DWORD(output.size());
    result = manager.streamPrepareHeader(acm, &request, 0);
    if (result != MMSYSERR_NOERROR) {
        manager.streamClose(acm, 0);
        *error = "acmStreamPrepareHeader failed: " + std::to_string(result);
        return false;
    }

    auto convert = [&](size_t bytes, DWORD flags) -> bool {
        request.cbSrcLength = DWORD(bytes);
        request.cbSrcLengthUsed = 0;
        request.cbDstLengthUsed = 0;
        const MMRESULT converted = manager.streamConvert(acm, &request, flags);
        if (converted != MMSYSERR_NOERROR) {
            *error = "acmStreamConvert failed: " + std::to_string(converted);
            return false;
        }
        const int16_t* samples = reinterpret_cast<const int16_t*>(output.data());
        pcm->insert(pcm->end(), samples, samples + request.cbDstLengthUsed / 2);
        return true;
    };

    bool ok = true;
    size_t pending = 0;  // bytes of `input` that the codec has not taken yet
    size_t next = 0;     // the next frame to load
    while (ok && next < stream.frames.size()) {
        while (next < stream.frames.size() && pending + stream.frames[next].length <= input.size()) {
            memcpy(input.data() + pending, &data[stream.frames[next].offset], stream.frames[next].length);
            pending += stream.frames[next].length;
            ++next;
        }
        const DWORD flags = ACM_STREAMCONVERTF_BLOCKALIGN | (next == stream.frames.size() ? ACM_STREAMCONVERTF_END : 0);
        ok = convert(pending, flags);
        if (!ok) break;
        const size_t used = request.cbSrcLengthUsed;
        if (used == 0 && request.cbDstLengthUsed == 0 && pending == input.size()) {
            *error = "the codec takes no more input";
            ok = false;
            break;
        }
        memmove(input.data(), input.data() + used, pending - used);
        pending -= used;
    }
    // Whatever the codec still holds comes out on further calls at the end of the stream.
    for (int round = 0; ok && round < 64; ++round) {
        ok = convert(pending, ACM_STREAMCONVERTF_END);
        if (!ok) break;
        const size_t used = request.cbSrcLengthUsed;
        memmove(input.data(), input.data() + used, pending - used);
        pending -= used;
        if (request.cbDstLengthUsed == 0 && used == 0) break;
    }
    request.cbSrcLength = DWORD(input.size());
    request.cbDstLength = DWORD(output.size());
    manager.streamUnprepareHeader(acm, &request, 0);
    manager.streamClose(acm, 0);
    if (ok && pcm->empty()) {
        *error = "the codec produced no samples";
        ok = false;
    }
    return ok;
}

// Cuts the decoder's and the encoder's delay at the start and the encoder's padding at the end,
// as the info frame records them.
void TrimToEncodedSamples(const Stream& stream, std::vector<int16_t>* pcm) {
    if (!stream.info.hasGaplessTrim) return;
    const size_t channels = size_t(stream.format.channels);
    const size_t decoded = pcm->size() / channels;
    const size_t framesTotal = stream.frames.size() * size_t(stream.format.samplesPerFrame);
    const size_t skip = size_t(stream.info.encoderDelay) + kDecoderDelay;
    const size_t trims = size_t(stream.info.encoderDelay) + size_t(stream.info.padding);
    const size_t encoded = framesTotal > trims ? framesTotal - trims : 0;
    const size_t begin = skip < decoded ? skip : decoded;
    const size_t end = begin + encoded < decoded ? begin + encoded : decoded;
    std::vector<int16_t> kept(pcm->begin() + begin * channels, pcm->begin() + end * channels);
    pcm->swap(kept);
}

void PutLittle16(std::vector<uint8_t>* out, uint32_t value) {
    out->push_back(uint8_t(value));
    out->push_back(uint8_t(value >> 8));
}

void PutLittle32(std::vector<uint8_t>* out, uint32_t value) {
    PutLittle16(out, value & 0xFFFF);
    PutLittle16(out, value >> 16);
}

std::vector<uint8_t> MakeWave(const StreamFormat& format, const std::vector<int16_t>& pcm) {
    const uint32_t dataBytes = uint32_t(pcm.size() * 2);
    const uint32_t blockAlign = uint32_t(format.channels) * 2;
    std::vector<uint8_t> wave;
    wave.reserve(44 + dataBytes);
    wave.insert(wave.end(), {'R', 'I', 'F', 'F'});
    PutLittle32(&wave, 36 + dataBytes);
    wave.insert(wave.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLittle32(&wave, 16);
    PutLittle16(&wave, WAVE_FORMAT_PCM);
    PutLittle16(&wave, uint32_t(format.channels));
    PutLittle32(&wave, uint32_t(format.sampleRate));
    PutLittle32(&wave, uint32_t(format.sampleRate) * blockAlign);
    PutLittle16(&wave, blockAlign);
    PutLittle16(&wave, 16);
    wave.insert(wave.end(), {'d', 'a', 't', 'a'});
    PutLittle32(&wave, dataBytes);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(pcm.data());
    wave.insert(wave.end(), bytes, bytes + dataBytes);
    return wave;
}

bool IsFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>* data) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) return false;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0) data->insert(data->end(), chunk, chunk + n);
    const bool ok = ferror(file) == 0;
    fclose(file);
    return ok;
}

// Asks on standard input; only an answer that begins with y replaces the file.
bool MayOverwrite(const char* output) {
    printf("overwrite %s? (y/n) ", output);
    fflush(stdout);
    char answer[64] = {};
    if (fgets(answer, sizeof(answer), stdin) == nullptr) answer[0] = '\0';
    printf("\n");
    return answer[0] == 'y' || answer[0] == 'Y';
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, slash);
}

// Writes next to the output under a temporary name and renames at the end, so that no failure
// leaves a partial output.
int WriteOutput(const char* output, const std::vector<uint8_t>& wave) {
    char temporary[MAX_PATH] = {};
    if (GetTempFileNameA(DirectoryOf(output).c_str(), "l3d", 0, temporary) == 0) {
        return Fail(kWriteFailed, std::string("cannot create a file beside ") + output);
    }
    FILE* file = fopen(temporary, "wb");
    bool ok = file != nullptr && fwrite(wave.data(), 1, wave.size(), file) == wave.size();
    if (file != nullptr && fclose(file) != 0) ok = false;
    if (ok) ok = MoveFileExA(temporary, output, MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) {
        DeleteFileA(temporary);
        return Fail(kWriteFailed, std::string("cannot write ") + output);
    }
    return kSuccess;
}

// The words of the command tail as DOS hands it over: the blank after the program's name is its
// first byte, and what lies beyond its last byte never arrives. Quotes group a word.
std::vector<std::string> DosArguments() {
    const std::string tail = std::string(SkipProgramName(GetCommandLineA())).substr(0, kDosCommandTailBytes - 1);
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : tail) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

}  // namespace

int main() {
    const std::vector<std::string> arguments = DosArguments();
    if (arguments.size() != 3 || lstrcmpiA(arguments[2].c_str(), kWaveSwitch) != 0) {
        return Fail(kUsage, "usage: l3dec <input.mp3> <output.wav> -wav");
    }
    const char* input = arguments[0].c_str();
    const char* output = arguments[1].c_str();
    if (!IsFile(kExtender)) {
        return Fail(kNoExtender, std::string("cannot run without ") + kExtender + " in the working directory");
    }
    for (const char* name : {input, output}) {
        if (!IsDosPath(name)) return Fail(kNoDosName, std::string(name) + ": file not found (not a DOS name)");
    }
    std::vector<uint8_t> data;
    if (!IsFile(input) || !ReadWholeFile(input, &data)) {
        return Fail(kInputUnreadable, std::string("cannot read ") + input);
    }
    Stream stream;
    std::string error;
    if (!ReadStream(data, &stream, &error)) return Fail(kNotLayer3, std::string(input) + ": " + error);
    if (GetFileAttributesA(output) != INVALID_FILE_ATTRIBUTES && !MayOverwrite(output)) {
        printf("%s kept\n", output);
        return kSuccess;
    }
    std::vector<int16_t> pcm;
    if (!DecodeFrames(data, stream, &pcm, &error)) return Fail(kDecodeFailed, std::string(input) + ": " + error);
    TrimToEncodedSamples(stream, &pcm);
    return WriteOutput(output, MakeWave(stream.format, pcm));
}
