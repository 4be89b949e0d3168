// The distribution medium as the build lays it out (build\win64\medium and build\win32\medium),
// and the demo game it carries, started as a player starts it.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "e2e.h"
#include "install_support.h"
#include "machine.h"
#include "manifest.h"
#include "pe_image.h"
#include "wave.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr uint16_t kMachineI386 = 0x14c;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr int kManifestEntries = 222;

struct Medium {
    std::string build;      // the build folder that made it
    std::string directory;  // its medium folder
    uint16_t machine;       // of its programs
};

std::vector<Medium> BothMedia() {
    return {{e2e::Win64Dir(), e2e::Win64Dir() + "\\medium", kMachineAmd64},
            {e2e::Win32Dir(), e2e::Win32Dir() + "\\medium", kMachineI386}};
}

std::string Win64Medium() { return e2e::Win64Dir() + "\\medium"; }

// The read-me's entry starts with a separator; below a folder it is the same file without it.
std::string Relative(const char* entry) {
    while (*entry == '\\') ++entry;
    return entry;
}

std::string EntryPath(const std::string& directory, const char* entry) {
    return machine::Join(directory, Relative(entry));
}

std::vector<const char*> AllEntries() {
    std::vector<const char*> entries;
    for (const char* const* list : {CoreFileList, DataFileList, WaveFileList, ExtraFileList}) {
        for (int i = 0; list[i] != nullptr; ++i) entries.push_back(list[i]);
    }
    return entries;
}

std::vector<const char*> GroupEntries(const FileGroup& group) {
    std::vector<const char*> entries;
    for (int i = 0; i < group.count; ++i) entries.push_back(group[i]);
    return entries;
}

std::string Extension(const char* entry) {
    const std::string name = entry;
    const size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return extension;
}

bool IsProgramOrLibrary(const char* entry) {
    const std::string extension = Extension(entry);
    return extension == "exe" || extension == "dll";
}

uint32_t Read16(const Bytes& b, size_t at) { return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0; }
uint32_t Read32(const Bytes& b, size_t at) { return Read16(b, at) | Read16(b, at + 2) << 16; }
bool StartsWith(const Bytes& b, const std::string& text) {
    return b.size() >= text.size() && std::memcmp(b.data(), text.data(), text.size()) == 0;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// ---------------------------------------------------------------------------------------------
// Readers of the formats. Each returns what is wrong with a file, or "" when it is sound.

struct Mp3Stream {
    std::string problem;
    int frames = 0;
    int rate = 0;
    int channels = 0;
    double seconds = 0;
};

// Walks the MPEG audio Layer III frames from the first byte to the last: every frame must begin
// with the sync bits and the frame lengths must add up to the file (an ID3v1 tag may follow).
Mp3Stream WalkMp3(const Bytes& b) {
    static constexpr int kBitratesV1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static constexpr int kBitratesV2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static constexpr int kRatesV1[] = {44100, 48000, 32000};
    Mp3Stream stream;
    size_t at = 0;
    while (at < b.size()) {
        if (b.size() - at == 128 && std::memcmp(b.data() + at, "TAG", 3) == 0) break;
        if (at + 4 > b.size() || b[at] != 0xFF || (b[at + 1] & 0xE0) != 0xE0) {
            stream.problem = "no frame sync at byte " + std::to_string(at);
            return stream;
        }
        const int version = (b[at + 1] >> 3) & 3;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
        const int layer = (b[at + 1] >> 1) & 3;     // 1: Layer III
        const int bitrateIndex = b[at + 2] >> 4;
        const int rateIndex = (b[at + 2] >> 2) & 3;
        const int padding = (b[at + 2] >> 1) & 1;
        const int channels = (b[at + 3] >> 6) == 3 ? 1 : 2;
        if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
            stream.problem = "not a Layer III frame header at byte " + std::to_string(at);
            return stream;
        }
        const bool mpeg1 = version == 3;
        const int rate = kRatesV1[rateIndex] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
        const int kbps = (mpeg1 ? kBitratesV1 : kBitratesV2)[bitrateIndex];
        const size_t length = static_cast<size_t>((mpeg1 ? 144000 : 72000) * kbps / rate + padding);
        if (stream.frames > 0 && (rate != stream.rate || channels != stream.channels)) {
            stream.problem = "the format changes at byte " + std::to_string(at);
            return stream;
        }
        stream.rate = rate;
        stream.channels = channels;
        stream.seconds += (mpeg1 ? 1152.0 : 576.0) / rate;
        ++stream.frames;
        at += length;
    }
    if (at > b.size()) stream.problem = "the last frame is cut short";
    if (stream.frames == 0 && stream.problem.empty()) stream.problem = "no frames";
    return stream;
}

// What is wrong with a delivered WAVE file, or nothing: a RIFF file whose size field fits, one
// 16-bit PCM format chunk and, after it, a data chunk that ends the file.
std::string WaveProblem(const wave::Wave& w, size_t fileSize) {
    if (!w.riffWave) return "no RIFF WAVE header";
    if (w.riffSize != fileSize - 8) return "RIFF size " + std::to_string(w.riffSize) + " for " + std::to_string(fileSize) + " bytes";
    if (w.chunks != std::vector<std::string>{"fmt ", "data"}) return "chunks are not fmt then data";
    if (!w.Pcm16()) return "not 16-bit PCM";
    if (w.blockAlign != w.channels * 2 || w.byteRate != w.rate * w.channels * 2) {
        return "block align or byte rate do not fit the format";
    }
    if (w.dataSize == 0 || w.dataEnd != fileSize) return "data chunk of " + std::to_string(w.dataSize) + " bytes does not end the file";
    return "";
}

std::string BmpProblem(const Bytes& b) {
    if (!StartsWith(b, "BM") || b.size() < 54) return "no BM header";
    if (Read32(b, 2) != b.size()) return "file size field " + std::to_string(Read32(b, 2));
    const uint32_t width = Read32(b, 18);
    const uint32_t height = Read32(b, 22);
    const uint32_t bits = Read16(b, 28);
    if (Read32(b, 14) != 40 || width == 0 || height == 0 || (bits != 8 && bits != 24)) return "unexpected info header";
    const uint32_t stride = (width * bits / 8 + 3) & ~3u;
    if (Read32(b, 10) + stride * height != b.size()) return "pixels do not end the file";
    return "";
}

std::string TgaProblem(const Bytes& b) {
    if (b.size() < 18) return "shorter than a Targa header";
    if (b[1] != 0 || b[2] != 2) return "not an uncompressed true-colour Targa";
    const uint32_t width = Read16(b, 12);
    const uint32_t height = Read16(b, 14);
    const uint32_t bits = b[16];
    if (width == 0 || height == 0 || (bits != 24 && bits != 32)) return "unexpected size or depth";
    if (18 + b[0] + width * height * bits / 8 != b.size()) return "pixels do not end the file";
    return "";
}

// Decodes every scanline's run-length code; the 256-colour palette must follow at once.
std::string PcxProblem(const Bytes& b) {
    if (b.size() < 128 + 769 || b[0] != 10 || b[1] != 5 || b[2] != 1) return "no PCX version 5 header";
    if (b[3] != 8 || b[65] != 1) return "not one 8-bit plane";
    const uint32_t height = Read16(b, 10) - Read16(b, 6) + 1;
    const uint32_t bytesPerLine = Read16(b, 66);
    const size_t paletteAt = b.size() - 769;
    size_t at = 128;
    for (uint32_t expected = height * bytesPerLine; expected > 0;) {
        if (at >= paletteAt) return "the picture runs into the palette";
        uint32_t run = 1;
        if ((b[at] & 0xC0) == 0xC0) run = b[at++] & 0x3F;
        ++at;
        if (run > expected) return "a run crosses the end of the picture";
        expected -= run;
    }
    if (at != paletteAt || b[paletteAt] != 12) return "the palette does not follow the picture";
    return "";
}

std::string PlaceholderProblem(const Bytes& b, const char* entry) {
    const std::string text(b.begin(), b.end());
    if (text.rfind("Quorvane demo placeholder\r\n", 0) != 0) return "no placeholder header";
    if (text.find("File: " + Relative(entry) + "\r\n") == std::string::npos) return "does not name its file";
    if (text.find("Role: ") == std::string::npos) return "does not name its role";
    return "";
}

// ---------------------------------------------------------------------------------------------
// The medium

TEST(Medium, HoldsEveryManifestEntryOnBothBuilds) {
    const std::vector<const char*> entries = AllEntries();
    ASSERT_EQ(static_cast<size_t>(kManifestEntries), entries.size());
    for (const Medium& medium : BothMedia()) {
        std::string missing;
        for (const char* entry : entries) {
            const std::string path = EntryPath(medium.directory, entry);
            if (!machine::FileExists(path) || machine::ReadBytes(path).empty()) missing += " " + Relative(entry);
        }
        EXPECT_EQ("", missing) << "entries missing or empty in " << medium.directory;
    }
}

TEST(Medium, ProgramsAreThoseOfItsOwnBuild) {
    const std::pair<const char*, const char*> programs[] = {
        {"setup.exe", "setup.exe"}, {"quor.exe", "tools\\quor.exe"},
        {"l3dec.exe", "tools\\l3dec.exe"}, {"go32.exe", "tools\\go32.exe"}};
    for (const Medium& medium : BothMedia()) {
        for (const auto& [name, built] : programs) {
            const std::string path = machine::Join(medium.directory, name);
            PeImage image;
            ASSERT_TRUE(image.Load(path)) << path << ": " << image.Error();
            EXPECT_TRUE(StartsWith(machine::ReadBytes(path), "MZ")) << path;
            EXPECT_EQ(medium.machine, image.Machine()) << "machine of " << path;
            EXPECT_TRUE(machine::ReadBytes(path) == machine::ReadBytes(machine::Join(medium.build, built)))
                << path << " is not a copy of " << machine::Join(medium.build, built);
        }
    }
}

TEST(Medium, DriverLibrariesAreLoadableLibraries) {
    for (const Medium& medium : BothMedia()) {
        for (const char* entry : GroupEntries(RootFiles)) {
            if (Extension(entry) != "dll") continue;
            const std::string path = EntryPath(medium.directory, entry);
            const Bytes bytes = machine::ReadBytes(path);
            PeImage image;
            ASSERT_TRUE(image.Load(path)) << path << ": " << image.Error();
            EXPECT_EQ(medium.machine, image.Machine()) << "machine of " << path;
            const uint32_t characteristics = Read16(bytes, Read32(bytes, 0x3C) + 4 + 18);
            EXPECT_NE(0u, characteristics & IMAGE_FILE_DLL) << path << " is not marked as a library";
            if (medium.machine != kMachineAmd64) continue;
            HMODULE library = LoadLibraryA(path.c_str());
            ASSERT_NE(nullptr, library) << "LoadLibrary " << path << " failed with " << GetLastError();
            EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(library, "QuorvaneDriverVersion")))
                << "export of " << path;
            FreeLibrary(library);
        }
    }
}

TEST(Medium, SoundsAreMp3FramesFromStartToEnd) {
    for (const Medium& medium : BothMedia()) {
        for (const FileGroup& group : kConvertedGroups) {
            for (const char* entry : GroupEntries(group)) {
                const std::string path = EntryPath(medium.directory, entry);
                const Mp3Stream stream = WalkMp3(machine::ReadBytes(path));
                EXPECT_EQ("", stream.problem) << path;
                EXPECT_TRUE(stream.rate == 22050 || stream.rate == 44100) << path << " at " << stream.rate << " Hz";
            }
        }
    }
}

TEST(Medium, SoundEffectsAreShortAndMixMonoAndStereoAtBothRates) {
    std::set<int> channels;
    std::set<int> rates;
    for (const char* entry : GroupEntries(SfxMp3Files)) {
        const std::string path = EntryPath(Win64Medium(), entry);
        const Mp3Stream stream = WalkMp3(machine::ReadBytes(path));
        ASSERT_EQ("", stream.problem) << path;
        // The encoder adds up to a few frames of padding to the 0.2 to 1.0 s of sound.
        EXPECT_GE(stream.seconds, 0.2) << path;
        EXPECT_LE(stream.seconds, 1.2) << path;
        channels.insert(stream.channels);
        rates.insert(stream.rate);
    }
    EXPECT_EQ((std::set<int>{1, 2}), channels) << "channel counts of the sound effects";
    EXPECT_EQ((std::set<int>{22050, 44100}), rates) << "sample rates of the sound effects";
}

TEST(Medium, MusicIsAboutTwoSecondsOfStereoAt44100) {
    for (const char* entry : GroupEntries(MusicMp3Files)) {
        const std::string path = EntryPath(Win64Medium(), entry);
        const Mp3Stream stream = WalkMp3(machine::ReadBytes(path));
        ASSERT_EQ("", stream.problem) << path;
        EXPECT_EQ(2, stream.channels) << path;
        EXPECT_EQ(44100, stream.rate) << path;
        EXPECT_GE(stream.seconds, 1.9) << path;
        EXPECT_LE(stream.seconds, 2.3) << path;
    }
}

TEST(Medium, DeliveredWaveFilesAre16BitPcm) {
    for (const Medium& medium : BothMedia()) {
        for (const char* entry : GroupEntries(SfxWavFiles)) {
            const std::string path = EntryPath(medium.directory, entry);
            const Bytes bytes = machine::ReadBytes(path);
            const wave::Wave sound = wave::Read(bytes);
            EXPECT_EQ("", WaveProblem(sound, bytes.size())) << path;
            EXPECT_TRUE(sound.channels == 1 || sound.channels == 2) << path << ": " << sound.channels << " channels";
            const double seconds = sound.rate == 0 ? 0 : double(sound.Frames()) / sound.rate;
            EXPECT_GE(seconds, 0.2) << path;
            EXPECT_LE(seconds, 1.0) << path;
        }
    }
}

TEST(Medium, PicturesAreWellFormedBmpTargaAndPcx) {
    int pictures = 0;
    for (const Medium& medium : BothMedia()) {
        for (const char* entry : AllEntries()) {
            const std::string extension = Extension(entry);
            const std::string path = EntryPath(medium.directory, entry);
            if (extension == "bmp") {
                EXPECT_EQ("", BmpProblem(machine::ReadBytes(path))) << path;
            } else if (extension == "tga") {
                EXPECT_EQ("", TgaProblem(machine::ReadBytes(path))) << path;
            } else if (extension == "pcx") {
                EXPECT_EQ("", PcxProblem(machine::ReadBytes(path))) << path;
            } else {
                continue;
            }
            ++pictures;
        }
    }
    EXPECT_EQ(2 * (35 + 52 + 27), pictures) << "pictures checked on both media (BMP, Targa, PCX)";
}

TEST(Medium, StandInsForGameDataNameTheirFileAndRole) {
    const std::set<std::string> kinds = {"res", "level", "cd", "vxd"};
    int standIns = 0;
    for (const char* entry : AllEntries()) {
        if (kinds.count(Extension(entry)) == 0) continue;
        const std::string path = EntryPath(Win64Medium(), entry);
        EXPECT_EQ("", PlaceholderProblem(machine::ReadBytes(path), entry)) << path;
        ++standIns;
    }
    EXPECT_EQ(11, standIns) << "data archives, level, CD marker and driver on the medium";
}

DWORD CALLBACK StreamFromBytes(DWORD_PTR cookie, BYTE* buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<std::pair<const Bytes*, size_t>*>(cookie);
    const size_t left = source->first->size() - source->second;
    const size_t count = left < static_cast<size_t>(wanted) ? left : static_cast<size_t>(wanted);
    std::memcpy(buffer, source->first->data() + source->second, count);
    source->second += count;
    *given = static_cast<LONG>(count);
    return 0;
}

// The rich edit control, which word processors of the system are built on, reads the read-me as
// RTF: it turns the markup into text about the demo.
TEST(Medium, ReadmeIsAnRtfDocumentAboutInstallingPlayingAndRemovingTheDemo) {
    const std::string path = EntryPath(Win64Medium(), ReadmeFile[0]);
    const Bytes bytes = machine::ReadBytes(path);
    ASSERT_TRUE(StartsWith(bytes, "{\\rtf1")) << path << " does not begin as RTF";

    ASSERT_NE(nullptr, LoadLibraryA("riched20.dll"));
    HWND editor = CreateWindowExA(0, RICHEDIT_CLASSA, "", ES_MULTILINE, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, editor);
    std::pair<const Bytes*, size_t> source{&bytes, 0};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, StreamFromBytes};
    SendMessageA(editor, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    EXPECT_EQ(0u, stream.dwError) << "reading " << path;
    std::string text(static_cast<size_t>(GetWindowTextLengthA(editor)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(editor, &text[0], static_cast<int>(text.size()))));
    DestroyWindow(editor);

    EXPECT_EQ(std::string::npos, text.find("\\rtf")) << "the markup shows as text: " << text.substr(0, 80);
    EXPECT_EQ(std::string::npos, text.find('{')) << "the markup shows as text: " << text.substr(0, 80);
    const std::string lower = Lower(text);
    for (const char* topic : {"quorvane", "system requirements", "windows 95", "windows nt 4.0", "install",
                              "setup.exe", "play", "uninstall", "add/remove programs"}) {
        EXPECT_NE(std::string::npos, lower.find(topic)) << "the read-me does not mention \"" << topic << "\"";
    }
}

TEST(Medium, DataIsTheSameOnBothMedia) {
    const std::vector<Medium> media = BothMedia();
    std::string different;
    for (const char* entry : AllEntries()) {
        if (IsProgramOrLibrary(entry)) continue;
        if (machine::ReadBytes(EntryPath(media[0].directory, entry)) !=
            machine::ReadBytes(EntryPath(media[1].directory, entry))) {
            different += " " + Relative(entry);
        }
    }
    EXPECT_EQ("", different) << "data files that differ between the two media";
}

// ---------------------------------------------------------------------------------------------
// The demo game

constexpr char kGameCaption[] = "Quorvane";
constexpr int kSummaryId = 100;
constexpr int kVerdictId = 101;

struct GameReport {
    bool windowFound = false;
    std::string summary;
    std::string verdict;
    RECT client{};
    DWORD exitCode = STILL_ACTIVE;
};

// Starts `program` in `directory`, reads its report when its window is up, then closes it as the
// player would.
GameReport RunGame(const std::string& program, const std::string& directory) {
    GameReport report;
    e2e::Program game;
    if (!game.StartWith(program, "", directory)) return report;
    HWND window = nullptr;
    e2e::WaitFor([&] {
        window = e2e::FindProcessWindow(game.Id(), kGameCaption);
        return window != nullptr || !game.Running();
    }, e2e::kWindowTimeoutMs);
    if (window == nullptr) return report;
    report.windowFound = true;
    report.summary = e2e::ControlText(window, kSummaryId);
    report.verdict = e2e::ControlText(window, kVerdictId);
    GetClientRect(window, &report.client);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (game.WaitForExit()) report.exitCode = game.ExitCode();
    return report;
}

void CopyEntry(const std::string& from, const std::string& to, const char* entry) {
    const std::string target = EntryPath(to, entry);
    machine::MakeDirectories(target.substr(0, target.find_last_of('\\')));
    ASSERT_TRUE(CopyFileA(EntryPath(from, entry).c_str(), target.c_str(), FALSE))
        << "copying " << entry << " to " << to << " failed with " << GetLastError();
}

TEST(Game, ReportsACompleteInstallation) {
    const std::string folder = machine::FreshDirectory("game-complete");
    install::SimulateInstall(Win64Medium(), folder);

    const GameReport report = RunGame(EntryPath(folder, "quor.exe"), folder);
    ASSERT_TRUE(report.windowFound) << "no window \"" << kGameCaption << "\" from the game in " << folder;
    EXPECT_EQ("139/139 files, 83/83 sounds", report.summary);
    EXPECT_EQ("The installation is complete.", report.verdict);
    EXPECT_EQ(640, report.client.right - report.client.left) << "client width";
    EXPECT_EQ(480, report.client.bottom - report.client.top) << "client height";
    EXPECT_EQ(0u, report.exitCode) << "exit code after closing the window";
}

TEST(Game, StartedOnTheMediumFindsItsFilesButNoConvertedSounds) {
    const std::string folder = machine::FreshDirectory("game-medium");
    for (const char* entry : AllEntries()) CopyEntry(Win64Medium(), folder, entry);
    for (const char* name : {"l3dec.exe", "go32.exe"}) CopyEntry(Win64Medium(), folder, name);

    const GameReport report = RunGame(EntryPath(folder, "quor.exe"), folder);
    ASSERT_TRUE(report.windowFound) << "no window \"" << kGameCaption << "\" from the game in " << folder;
    EXPECT_EQ("139/139 files, 0/83 sounds", report.summary);
    EXPECT_EQ("Missing: " + install::ConvertedName(SfxMp3Files[0]) + ", " + install::ConvertedName(SfxMp3Files[1]) + ", " +
                  install::ConvertedName(SfxMp3Files[2]) + " and 80 more.",
              report.verdict);
}

TEST(Game, NamesTheFilesMissingFromAnInstallation) {
    const std::string folder = machine::FreshDirectory("game-partial");
    install::SimulateInstall(Win64Medium(), folder);
    ASSERT_TRUE(DeleteFileA(EntryPath(folder, ReadmeFile[0]).c_str()));
    ASSERT_TRUE(DeleteFileA(EntryPath(folder, install::ConvertedName(MusicMp3Files[1]).c_str()).c_str()));

    const GameReport report = RunGame(EntryPath(folder, "quor.exe"), folder);
    ASSERT_TRUE(report.windowFound) << "no window \"" << kGameCaption << "\" from the game in " << folder;
    EXPECT_EQ("138/139 files, 82/83 sounds", report.summary);
    EXPECT_EQ("Missing: docs\\README.doc, level.wav.", report.verdict);
}

// The game looks in its working directory, not in the folder that holds its program.
TEST(Game, InAnEmptyWorkingDirectoryFindsNothing) {
    const std::string programFolder = machine::FreshDirectory("game-program");
    CopyEntry(Win64Medium(), programFolder, "quor.exe");
    const std::string empty = machine::FreshDirectory("game-empty");

    const GameReport report = RunGame(EntryPath(programFolder, "quor.exe"), empty);
    ASSERT_TRUE(report.windowFound) << "no window \"" << kGameCaption << "\" from the game in " << empty;
    EXPECT_EQ("0/139 files, 0/83 sounds", report.summary);
    EXPECT_EQ("Missing: quor.exe, setup.exe, glide.dll and 219 more.", report.verdict);
}

}  // namespace
