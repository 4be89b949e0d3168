// Writes the demo's data files for the distribution medium, a program for the build machine.
//
//   mediagen <medium directory> <sound directory>
//
// Into the medium it writes every manifest entry that is neither a program, a driver library nor
// an MP3 file: pictures in their real formats, the delivered WAV sound effects, the read-me
// document and labelled stand-ins for the game's data archives. For each MP3 entry it writes the
// synthesized sound as a WAV file below the sound directory and appends one job to
// "<sound directory>/lame-jobs": four NUL-ended fields (bit rate in kbit/s, sample rate in kHz,
// WAV source, MP3 target) for the encoder. Programs and libraries come from the cross build.
//
// Every byte follows from the entry's name and position, so two runs give identical files.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "manifest.h"

namespace {

using Bytes = std::vector<uint8_t>;

// ---------------------------------------------------------------------------------------------
// Files and names

void Put16(Bytes& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutText(Bytes& b, const std::string& text) { b.insert(b.end(), text.begin(), text.end()); }

// The entry as a path below a directory of the build machine: separators become '/', and the
// read-me's leading separator is dropped so it lands below the directory, not at its root.
std::string HostPath(const std::string& directory, const char* entry) {
    std::string relative = entry;
    while (!relative.empty() && relative[0] == '\\') relative.erase(0, 1);
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    return directory + "/" + relative;
}

// The entry as a player reads it: without the read-me's leading separator.
std::string DisplayName(const char* entry) {
    while (*entry == '\\') ++entry;
    return entry;
}

std::string BaseName(const char* entry) {
    const char* name = entry;
    for (const char* p = entry; *p != '\0'; ++p) {
        if (*p == '\\') name = p + 1;
    }
    return name;
}

std::string Extension(const char* entry) {
    const std::string name = BaseName(entry);
    const size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension;
}

bool MakeParents(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string parent = path.substr(0, slash);
        if (mkdir(parent.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

bool Save(const std::string& path, const Bytes& bytes) {
    if (!MakeParents(path)) {
        std::fprintf(stderr, "mediagen: cannot create the folders of %s\n", path.c_str());
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "mediagen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// FNV-1a: a fixed, platform-independent seed for each entry's content.
uint32_t NameHash(const char* text) {
    uint32_t hash = 2166136261u;
    for (const char* p = text; *p != '\0'; ++p) {
        hash ^= static_cast<uint8_t>(*p);
        hash *= 16777619u;
    }
    return hash;
}

// ---------------------------------------------------------------------------------------------
// Sounds

constexpr double kPi = 3.14159265358979323846;

enum class Shape { Tone, RisingChirp, FallingChirp, Chord };

struct SoundRecipe {
    Shape shape;
    double frequency;  // Hz, of the fundamental (the start of a chirp)
    double seconds;
    int channels;
    int rate;
};

struct PcmSound {
    int channels;
    int rate;
    std::vector<int16_t> samples;  // interleaved
};

// Short attack and release keep the sounds free of clicks; the decay in between gives them the
// plucked character of game effects.
double Envelope(double t, double seconds) {
    constexpr double kAttack = 0.008;
    constexpr double kRelease = 0.03;
    double level = t < kAttack ? t / kAttack : std::exp(-2.5 * (t - kAttack) / seconds);
    const double left = seconds - t;
    if (left < kRelease) level *= left > 0 ? left / kRelease : 0;
    return level;
}

double Partials(const SoundRecipe& recipe, double t, double detune) {
    const double f = recipe.frequency * detune;
    switch (recipe.shape) {
        case Shape::Tone:
            return 0.7 * std::sin(2 * kPi * f * t) + 0.3 * std::sin(4 * kPi * f * t);
        case Shape::RisingChirp:
        case Shape::FallingChirp: {
            // The phase of a linear sweep from f to 2f (or 2f to f) over the sound.
            const double span = recipe.shape == Shape::RisingChirp ? f : -f;
            const double start = recipe.shape == Shape::RisingChirp ? f : 2 * f;
            return std::sin(2 * kPi * (start * t + span * t * t / (2 * recipe.seconds)));
        }
        case Shape::Chord:
            return (std::sin(2 * kPi * f * t) + std::sin(2 * kPi * f * 1.25992 * t) +
                    std::sin(2 * kPi * f * 1.49831 * t)) / 3;
    }
    return 0;
}

int16_t ToSample(double value) {
    const long scaled = std::lround(value * 32767.0);
    return static_cast<int16_t>(scaled > 32767 ? 32767 : scaled < -32768 ? -32768 : scaled);
}

PcmSound Synthesize(const SoundRecipe& recipe) {
    PcmSound sound{recipe.channels, recipe.rate, {}};
    const int frames = static_cast<int>(recipe.seconds * recipe.rate);
    sound.samples.reserve(static_cast<size_t>(frames) * recipe.channels);
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / recipe.rate;
        const double level = 0.55 * Envelope(t, recipe.seconds);
        for (int channel = 0; channel < recipe.channels; ++channel) {
            // The right channel is a little sharp, which widens a stereo effect.
            const double detune = channel == 0 ? 1.0 : 1.004;
            sound.samples.push_back(ToSample(level * Partials(recipe, t, detune)));
        }
    }
    return sound;
}

// The effects vary in shape, pitch and length by their name; their formats alternate by
// position, so the medium holds mono and stereo sounds at both of the era's common rates.
SoundRecipe EffectRecipe(const char* entry, int index, int minTenths, int maxTenths) {
    const uint32_t hash = NameHash(entry);
    SoundRecipe recipe;
    recipe.shape = static_cast<Shape>(hash % 4);
    recipe.frequency = 220.0 * std::pow(2.0, ((hash >> 4) % 24) / 12.0);
    recipe.seconds = (minTenths + (hash >> 10) % (maxTenths - minTenths + 1)) / 10.0;
    recipe.channels = index % 2 == 0 ? 1 : 2;
    recipe.rate = (index / 2) % 2 == 0 ? 22050 : 44100;
    return recipe;
}

// A two-second phrase in stereo: a plucked arpeggio over a held bass, the melody panned a little
// to the left, the bass to the right.
PcmSound MusicPhrase(const char* entry) {
    constexpr int kRate = 44100;
    constexpr double kSeconds = 2.0;
    static constexpr double kScoreNotes[] = {220.0, 261.63, 329.63, 440.0, 329.63, 261.63, 246.94, 293.66};
    static constexpr double kLevelNotes[] = {196.0, 246.94, 293.66, 392.0, 349.23, 293.66, 261.63, 329.63};
    const bool score = NameHash(entry) == NameHash("score.mp3");
    const double* notes = score ? kScoreNotes : kLevelNotes;
    const double bass = notes[0] / 2;
    constexpr int kNotes = 8;
    constexpr double kNoteSeconds = kSeconds / kNotes;

    PcmSound sound{2, kRate, {}};
    const int frames = static_cast<int>(kSeconds * kRate);
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const int note = static_cast<int>(t / kNoteSeconds);
        const double inNote = t - note * kNoteSeconds;
        const double pluck = Envelope(inNote, kNoteSeconds) *
                             (std::sin(2 * kPi * notes[note] * t) + 0.25 * std::sin(4 * kPi * notes[note] * t));
        const double hold = Envelope(t, kSeconds * 2) * std::sin(2 * kPi * bass * t);
        const double fade = kSeconds - t < 0.05 ? (kSeconds - t) / 0.05 : 1.0;
        sound.samples.push_back(ToSample(fade * (0.40 * pluck + 0.18 * hold)));
        sound.samples.push_back(ToSample(fade * (0.28 * pluck + 0.30 * hold)));
    }
    return sound;
}

Bytes WaveFile(const PcmSound& sound) {
    const uint32_t dataBytes = static_cast<uint32_t>(sound.samples.size() * 2);
    Bytes b;
    PutText(b, "RIFF");
    Put32(b, 36 + dataBytes);
    PutText(b, "WAVEfmt ");
    Put32(b, 16);
    Put16(b, 1);  // PCM
    Put16(b, sound.channels);
    Put32(b, sound.rate);
    Put32(b, sound.rate * sound.channels * 2);
    Put16(b, sound.channels * 2);
    Put16(b, 16);
    PutText(b, "data");
    Put32(b, dataBytes);
    for (int16_t sample : sound.samples) Put16(b, static_cast<uint16_t>(sample));
    return b;
}

// ---------------------------------------------------------------------------------------------
// Pictures

struct Rgb {
    uint8_t r, g, b;
};

Rgb Blend(Rgb a, Rgb b, double weight) {
    auto mix = [weight](uint8_t x, uint8_t y) {
        return static_cast<uint8_t>(std::lround(x + (y - x) * weight));
    };
    return Rgb{mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

Rgb HueColor(uint32_t hash) {
    static constexpr Rgb kColors[] = {{200, 80, 40},  {60, 160, 200}, {220, 190, 60},
                                      {90, 180, 90},  {170, 90, 200}, {210, 120, 150},
                                      {80, 110, 220}, {150, 150, 150}};
    return kColors[hash % 8];
}

// A small bevelled tile: a gradient of the entry's colour under a lit top-left and a shaded
// bottom-right edge, with a diamond mark in the middle, as toolbar glyphs and tiles look.
Rgb TilePixel(uint32_t hash, int x, int y, int width, int height) {
    const Rgb base = HueColor(hash);
    if (x == 0 || y == 0) return Rgb{240, 240, 240};
    if (x == width - 1 || y == height - 1) return Rgb{40, 40, 40};
    const double diagonal = static_cast<double>(x + y) / (width + height);
    Rgb color = Blend(base, Rgb{20, 20, 40}, diagonal * 0.6);
    const int dx = std::abs(2 * x - width + 1);
    const int dy = std::abs(2 * y - height + 1);
    if (dx + dy < (width + height) / 3) color = Blend(color, Rgb{255, 255, 255}, 0.55);
    return color;
}

// A landscape for the larger pictures: sky, a horizon and blocks of buildings whose heights
// follow the entry's name.
Rgb ScenePixel(uint32_t hash, int x, int y, int width, int height) {
    const int horizon = height * 2 / 3;
    const int block = width / 8 > 0 ? width / 8 : 1;
    const int column = x / block;
    const int buildingTop = horizon - static_cast<int>(((hash >> (column % 16)) % 5 + 1) * height / 12);
    if (y >= horizon) return Blend(Rgb{40, 70, 40}, Rgb{10, 25, 10}, static_cast<double>(y - horizon) / (height - horizon));
    if (y >= buildingTop && x % block != 0) {
        const bool window = (x % 4 == 2) && (y % 5 == 2) && ((x * 7 + y * 3 + hash) % 3 != 0);
        return window ? Rgb{250, 220, 120} : Blend(HueColor(hash), Rgb{0, 0, 0}, 0.6);
    }
    return Blend(Rgb{10, 10, 50}, Rgb{90, 60, 140}, static_cast<double>(y) / horizon);
}

struct PictureSize {
    int width, height;
    bool scene;
};

PictureSize SizeOf(const char* entry) {
    const std::string name = BaseName(entry);
    if (name == "title_screen.tga" || name == "startup.tga") return {160, 120, true};
    if (name.rfind("horizon", 0) == 0 || name == "bground.tga") return {128, 64, true};
    if (name.rfind("build", 0) == 0 || name == "frame.tga" || name == "help.tga") return {48, 48, true};
    if (name.rfind("lit_", 0) == 0) return {96, 24, false};
    if (name == "normfont.pcx" || name == "oldfont.pcx") return {128, 32, false};
    if (name == "pal.pcx") return {16, 16, false};
    if (name.find("curs") != std::string::npos || name.find("icon") != std::string::npos) return {16, 16, false};
    if (std::string(entry).rfind("res\\", 0) == 0) return {24, 24, false};
    return {32, 32, false};
}

Rgb PicturePixel(const char* entry, const PictureSize& size, int x, int y) {
    const uint32_t hash = NameHash(entry);
    return size.scene ? ScenePixel(hash, x, y, size.width, size.height)
                      : TilePixel(hash, x, y, size.width, size.height);
}

// 24-bit Windows bitmap, rows bottom-up, each padded to four bytes.
Bytes BmpFile(const char* entry) {
    const PictureSize size = SizeOf(entry);
    const int stride = (size.width * 3 + 3) & ~3;
    const uint32_t pixelBytes = static_cast<uint32_t>(stride * size.height);
    Bytes b;
    PutText(b, "BM");
    Put32(b, 14 + 40 + pixelBytes);
    Put32(b, 0);
    Put32(b, 14 + 40);
    Put32(b, 40);
    Put32(b, size.width);
    Put32(b, size.height);
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);  // BI_RGB
    Put32(b, pixelBytes);
    Put32(b, 2835);  // 72 dpi
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = size.height - 1; y >= 0; --y) {
        for (int x = 0; x < size.width; ++x) {
            const Rgb c = PicturePixel(entry, size, x, y);
            b.push_back(c.b);
            b.push_back(c.g);
            b.push_back(c.r);
        }
        for (int pad = size.width * 3; pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

// Uncompressed true-colour Targa with the file's name as its image id, rows bottom-up.
Bytes TgaFile(const char* entry) {
    const PictureSize size = SizeOf(entry);
    const std::string id = "Quorvane " + BaseName(entry);
    Bytes b;
    b.push_back(static_cast<uint8_t>(id.size()));
    b.push_back(0);  // no colour map
    b.push_back(2);  // uncompressed true colour
    for (int i = 0; i < 5; ++i) b.push_back(0);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, size.width);
    Put16(b, size.height);
    b.push_back(24);
    b.push_back(0);  // origin bottom left
    PutText(b, id);
    for (int y = size.height - 1; y >= 0; --y) {
        for (int x = 0; x < size.width; ++x) {
            const Rgb c = PicturePixel(entry, size, x, y);
            b.push_back(c.b);
            b.push_back(c.g);
            b.push_back(c.r);
        }
    }
    return b;
}

// The 256-colour palette every PCX of the demo shares: a 6x6x6 colour cube, then a grey ramp.
Rgb PaletteColor(int index) {
    if (index < 216) {
        return Rgb{static_cast<uint8_t>(index / 36 * 51), static_cast<uint8_t>(index / 6 % 6 * 51),
                   static_cast<uint8_t>(index % 6 * 51)};
    }
    const uint8_t grey = static_cast<uint8_t>((index - 216) * 255 / 39);
    return Rgb{grey, grey, grey};
}

uint8_t PcxIndex(const char* entry, const PictureSize& size, int x, int y) {
    if (BaseName(entry) == "pal.pcx") return static_cast<uint8_t>(y * 16 + x);
    const Rgb c = PicturePixel(entry, size, x, y);
    return static_cast<uint8_t>((c.r * 6 / 256) * 36 + (c.g * 6 / 256) * 6 + c.b * 6 / 256);
}

// Version 5, one 8-bit plane, run-length encoded scanline by scanline, with the palette behind
// the picture (marked by 12).
Bytes PcxFile(const char* entry) {
    const PictureSize size = SizeOf(entry);
    const int bytesPerLine = (size.width + 1) & ~1;
    Bytes b;
    b.push_back(10);  // maker
    b.push_back(5);   // version
    b.push_back(1);   // run-length encoding
    b.push_back(8);   // bits per pixel
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, size.width - 1);
    Put16(b, size.height - 1);
    Put16(b, 72);
    Put16(b, 72);
    for (int i = 0; i < 48; ++i) b.push_back(0);  // the 16-colour palette is unused
    b.push_back(0);
    b.push_back(1);  // planes
    Put16(b, bytesPerLine);
    Put16(b, 1);  // colour palette
    for (int i = 0; i < 58; ++i) b.push_back(0);
    for (int y = 0; y < size.height; ++y) {
        std::vector<uint8_t> line(bytesPerLine, 0);
        for (int x = 0; x < size.width; ++x) line[x] = PcxIndex(entry, size, x, y);
        for (int x = 0; x < bytesPerLine;) {
            int run = 1;
            while (x + run < bytesPerLine && run < 63 && line[x + run] == line[x]) ++run;
            if (run > 1 || line[x] >= 0xC0) b.push_back(static_cast<uint8_t>(0xC0 | run));
            b.push_back(line[x]);
            x += run;
        }
    }
    b.push_back(12);
    for (int i = 0; i < 256; ++i) {
        const Rgb c = PaletteColor(i);
        b.push_back(c.r);
        b.push_back(c.g);
        b.push_back(c.b);
    }
    return b;
}

// ---------------------------------------------------------------------------------------------
// Stand-ins and the read-me

struct Role {
    const char* name;
    const char* role;
};

constexpr Role kRoles[] = {
    {"test.level", "the demo's playable level"},
    {"quorvane.cd", "the marker by which the game knows its CD"},
    {"resource.res", "the game's resource archive"},
    {"fxmemmap.vxd", "the 3D accelerator's memory mapping driver (virtual device)"},
    {"kq.res", "the engine's resource archive"},
    {"cells.res", "the level editor's cell definitions"},
    {"constants.res", "the game's tuning constants"},
    {"editor.res", "the level editor's resources"},
    {"g1.res", "the first graphics set"},
    {"models.res", "the 3D model archive"},
    {"songs.res", "the music sequence table"},
};

const char* RoleOf(const char* entry) {
    const std::string name = BaseName(entry);
    for (const Role& role : kRoles) {
        if (name == role.name) return role.role;
    }
    return nullptr;
}

// A text header that names the file and its role, ended by Ctrl-Z as DOS-era text headers are,
// so a viewer stops there.
Bytes PlaceholderFile(const char* entry, const char* role) {
    Bytes b;
    PutText(b, "Quorvane demo placeholder\r\n");
    PutText(b, "File: " + DisplayName(entry) + "\r\n");
    PutText(b, std::string("Role: ") + role + "\r\n");
    PutText(b, "This file stands in for the game data of that name on the demo medium.\r\n");
    b.push_back(0x1A);
    return b;
}

constexpr char kReadme[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\r\n"
    "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}\r\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red32\\green48\\blue128;}\r\n"
    "\\viewkind4\\uc1\\pard\\sa120\\f0\\fs20\r\n"
    "{\\cf2\\b\\fs36 Quorvane\\par}\r\n"
    "{\\b\\fs24 July 4th Demo - Read Me\\par}\r\n"
    "\\f1\\fs22 Thank you for trying the Quorvane demo from Vexelworks. Quorvane is a game of "
    "wind and stone: you build and defend a town of spinning vanes against the storms that "
    "sweep the plain. This demo holds one complete level and the level editor's resources.\\par\r\n"
    "{\\f0\\b\\fs24 System requirements\\par}\r\n"
    "\\pard\\fi-240\\li480\\sa60 \\bullet\\tab Windows 95 or Windows NT 4.0\\par\r\n"
    "\\bullet\\tab Pentium 90 or faster processor\\par\r\n"
    "\\bullet\\tab 16 MB of memory (24 MB under Windows NT)\\par\r\n"
    "\\bullet\\tab SVGA graphics, 640 x 480 in 256 colours; a 3D accelerator card is used when "
    "present\\par\r\n"
    "\\bullet\\tab Sound card compatible with the Windows sound system\\par\r\n"
    "\\bullet\\tab Double-speed CD-ROM drive and about 20 MB of free disk space\\par\r\n"
    "\\bullet\\tab DirectX 3 or later (this setup does not install DirectX)\\par\r\n"
    "\\pard\\sa120{\\f0\\b\\fs24 Installing the demo\\par}\r\n"
    "Run SETUP.EXE from the CD and choose Install. Accept the proposed folder C:\\\\Quorvane "
    "or type another, then press Next. Setup copies the game, converts its sounds and music "
    "for your sound card, and adds a Vexelworks group to the Start Menu. Press Finish when "
    "it is done.\\par\r\n"
    "{\\f0\\b\\fs24 Playing\\par}\r\n"
    "Choose Programs, Vexelworks, Quorvane from the Start Menu, or run SETUP.EXE again and "
    "press Play. The game first checks that all of its files are in place and tells you if "
    "any are missing. Press Esc to leave the game.\\par\r\n"
    "{\\f0\\b\\fs24 Uninstalling\\par}\r\n"
    "Open Add/Remove Programs in the Control Panel and remove \"Quorvane July 4th Demo\", or "
    "choose Uninstall Quorvane in the Vexelworks group, or press Uninstall in SETUP.EXE. "
    "This removes the game's files, its settings and its Start Menu group.\\par\r\n"
    "{\\f0\\b\\fs24 Known issues\\par}\r\n"
    "If the game reports missing sounds, run Setup again: the sound conversion needs the CD "
    "in the drive until Setup has finished.\\par\r\n"
    "{\\f0\\fs16 Copyright Vexelworks. All rights reserved.\\par}\r\n"
    "}\r\n";

// ---------------------------------------------------------------------------------------------
// The medium

struct Medium {
    std::string directory;
    std::string soundDirectory;
    Bytes jobs;  // for lame-jobs
    bool ok = true;
};

void AddJob(Medium& medium, const char* entry, const PcmSound& sound, int kbps) {
    char converted[260];
    if (!MakeConvertedName(converted, sizeof(converted), entry)) {
        medium.ok = false;
        return;
    }
    const std::string source = HostPath(medium.soundDirectory, converted);
    medium.ok = Save(source, WaveFile(sound)) && medium.ok;
    const std::string fields[] = {std::to_string(kbps), sound.rate == 44100 ? "44.1" : "22.05",
                                  source, HostPath(medium.directory, entry)};
    for (const std::string& field : fields) {
        PutText(medium.jobs, field);
        medium.jobs.push_back(0);
    }
}

// Mono effects at 64 kbit/s and stereo ones at 96 are legal bit rates at both sample rates.
void WriteMp3Sources(Medium& medium) {
    for (int i = 0; i < SfxMp3Files.count; ++i) {
        const PcmSound sound = Synthesize(EffectRecipe(SfxMp3Files[i], i, 2, 10));
        AddJob(medium, SfxMp3Files[i], sound, sound.channels == 1 ? 64 : 96);
    }
    for (int i = 0; i < MusicMp3Files.count; ++i) {
        AddJob(medium, MusicMp3Files[i], MusicPhrase(MusicMp3Files[i]), 128);
    }
}

bool WriteDataFile(Medium& medium, const char* entry, int index) {
    const std::string extension = Extension(entry);
    const std::string path = HostPath(medium.directory, entry);
    if (extension == "exe" || extension == "dll" || extension == "mp3") return true;
    if (extension == "bmp") return Save(path, BmpFile(entry));
    if (extension == "tga") return Save(path, TgaFile(entry));
    if (extension == "pcx") return Save(path, PcxFile(entry));
    if (extension == "wav") return Save(path, WaveFile(Synthesize(EffectRecipe(entry, index, 2, 5))));
    if (extension == "doc") return Save(path, Bytes(kReadme, kReadme + sizeof(kReadme) - 1));
    if (const char* role = RoleOf(entry)) return Save(path, PlaceholderFile(entry, role));
    std::fprintf(stderr, "mediagen: no content known for %s\n", entry);
    return false;
}

void WriteList(Medium& medium, const char* const* list) {
    for (int i = 0; list[i] != nullptr; ++i) {
        medium.ok = WriteDataFile(medium, list[i], i) && medium.ok;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mediagen <medium directory> <sound directory>\n");
        return 2;
    }
    Medium medium;
    medium.directory = argv[1];
    medium.soundDirectory = argv[2];
    for (const char* const* list : {CoreFileList, DataFileList, WaveFileList, ExtraFileList}) {
        WriteList(medium, list);
    }
    WriteMp3Sources(medium);
    medium.ok = Save(medium.soundDirectory + "/lame-jobs", medium.jobs) && medium.ok;
    return medium.ok ? 0 : 1;
}
