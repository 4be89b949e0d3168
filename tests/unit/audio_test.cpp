// The conversion of the demo's MP3 files into WAV files: the batch file that the setup writes, the
// interpreter it starts, the wait with its row of dots, and the decoder stand-in that the batch
// file runs, measured against mpg123's decoding of the same files (made at build time).
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio_conversion.h"
#include "dialog_utils.h"
#include "e2e.h"
#include "install_support.h"
#include "machine.h"
#include "wave.h"
#include "manifest.h"
#include "paths.h"
#include "resource_ids.h"
#include "state.h"

namespace {

constexpr char kWaitText[] = "Please wait...  Decompressing Audio...";
// A conversion of a few files runs well under a minute; a stuck one is ended after this.
constexpr DWORD kConversionTimeoutMs = 180000;
constexpr DWORD kToolTimeoutMs = 60000;

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

// Decoders may disagree by the length of one Layer-3 frame at most.
constexpr long kFrameSamples = 1152;
// Two decoders that compute the same synthesis in floating point round differently into 16 bits
// by a sample value or two; a real fault (a lost frame, a shifted or swapped channel, a wrong
// rate) gives errors in the thousands on these tones, whose RMS level is about 7,900.
constexpr double kMaxRmsError = 8.0;

std::string ToolsDir() { return e2e::Win64Dir() + "\\tools"; }
std::string SoundsDir() { return e2e::Win64Dir() + "\\tests\\sounds"; }
std::string SoundMp3(const TestSound& sound) { return SoundsDir() + "\\" + sound.name + ".mp3"; }
std::string SoundReference(const TestSound& sound) { return SoundsDir() + "\\" + sound.name + ".ref.wav"; }

std::string ReadText(const std::string& path) {
    const std::vector<unsigned char> bytes = machine::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool CopyInto(const std::string& from, const std::string& to) {
    const size_t slash = to.find_last_of('\\');
    if (slash != std::string::npos) machine::MakeDirectories(to.substr(0, slash));
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

// Every file below `directory`, by relative name, sorted.
void CollectFiles(const std::string& directory, const std::string& prefix, std::vector<std::string>* names) {
    for (const std::string& name : machine::Entries(directory)) {
        if (machine::DirectoryExists(directory + "\\" + name)) {
            CollectFiles(directory + "\\" + name, prefix + name + "\\", names);
        } else {
            names->push_back(prefix + name);
        }
    }
}

std::vector<std::string> FilesIn(const std::string& directory) {
    std::vector<std::string> names;
    CollectFiles(directory, "", &names);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Listing(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += "  " + name + "\n";
    return text;
}



std::string Compose(const std::string& source, const char* entry) {
    char line[kBatchLineChars];
    memset(line, 'x', sizeof(line));
    EXPECT_TRUE(ComposeBatchLine(line, kBatchLineChars, source.c_str(), entry)) << source << " + " << entry;
    return line;
}

// --- WAVE files and their comparison ---

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

// The decoded file has the reference's format, its length within one frame, and its samples.
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

// --- The wizard's dialog, with the program's state set as the install sequence leaves it ---

std::string LoadedWaitText() {
    char text[kTextChars] = {};
    LoadStringA(GetModuleHandleA(nullptr), IDS_WAIT_AUDIO, text, kTextChars);
    return text;
}

class AudioConversion : public ::testing::Test {
  protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, savedDirectory_);
        AppInstance = GetModuleHandleA(nullptr);
        dialog_ = CreateDialogParamA(AppInstance, DLG_MASTER_NAME, nullptr, e2e::QuietDialog, 0);
        ASSERT_NE(nullptr, dialog_);
    }

    void TearDown() override {
        if (process_ != nullptr) {
            if (WaitForSingleObject(process_, kConversionTimeoutMs) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
            CloseHandle(process_);
        }
        if (dialog_ != nullptr) DestroyWindow(dialog_);
        // The conversion makes the install directory current; the next test removes it.
        SetCurrentDirectoryA(savedDirectory_);
    }

    static void UseDirectories(const std::string& source, const std::string& install) {
        lstrcpynA(ModuleDirectory, source.c_str(), kPathChars);
        lstrcpynA(InstallDirectory, install.c_str(), kPathChars);
    }

    // A source directory as the medium has it: the decoder, the extender and test sounds at the
    // given manifest entries.
    static void MakeMedium(const std::string& source, bool withExtender,
                           const std::vector<std::pair<std::string, TestSound>>& sounds) {
        ASSERT_TRUE(CopyInto(ToolsDir() + "\\l3dec.exe", source + "\\l3dec.exe"));
        if (withExtender) ASSERT_TRUE(CopyInto(ToolsDir() + "\\go32.exe", source + "\\go32.exe"));
        for (const auto& [entry, sound] : sounds) {
            ASSERT_TRUE(CopyInto(SoundMp3(sound), machine::Join(source, entry))) << SoundMp3(sound);
        }
    }

    // Step 7 of the install sequence.
    void Start() {
        process_ = StartAudioConversion(dialog_, ModuleDirectory, InstallDirectory, SameFolder(InstallDirectory, ModuleDirectory));
    }

    // Step 12, with a guard that ends a conversion that never ends so the test fails instead of
    // hanging. True when the interpreter ended by itself.
    bool WaitAsTheInstallDoes() {
        const HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::atomic<bool> endedByGuard{false};
        const HANDLE process = process_;
        std::thread guard([&] {
            if (WaitForSingleObject(stop, kConversionTimeoutMs) == WAIT_TIMEOUT && process != nullptr) {
                endedByGuard = true;
                TerminateProcess(process, 1);
            }
        });
        WaitForAudioConversion(dialog_, process_);
        SetEvent(stop);
        guard.join();
        CloseHandle(stop);
        return !endedByGuard;
    }

    bool ProcessEnded() const {
        DWORD code = 0;
        return process_ != nullptr && GetExitCodeProcess(process_, &code) && code != STILL_ACTIVE;
    }

    std::string Status() const {
        char text[1024] = {};
        GetDlgItemTextA(dialog_, IDC_STATUS, text, sizeof(text));
        return text;
    }

    HWND dialog_ = nullptr;
    HANDLE process_ = nullptr;
    char savedDirectory_[MAX_PATH] = {};
};

// --- Running the decoder stand-in as its own program ---

struct ToolRun {
    bool finished = false;
    DWORD exitCode = 0;
    std::string output;
    std::string errors;
};

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs `program` with `commandLine` in `directory`, `input` on its standard input; its output
// goes through files (not pipes, which Wine's services would hold open).
ToolRun RunTool(const std::string& program, const std::string& commandLine, const std::string& directory,
                const std::string& input) {
    ToolRun run;
    const std::string io = machine::FreshDirectory("audio-io");
    EXPECT_TRUE(machine::WriteBytes(io + "\\in.txt", input));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritableFile(io + "\\in.txt", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = InheritableFile(io + "\\out.txt", GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = InheritableFile(io + "\\err.txt", GENERIC_WRITE, CREATE_ALWAYS);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    PROCESS_INFORMATION info{};
    const bool started = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, directory.c_str(), &startup, &info) != FALSE;
    EXPECT_TRUE(started) << "cannot start " << program << " (error " << GetLastError() << ")";
    if (started) {
        run.finished = WaitForSingleObject(info.hProcess, kToolTimeoutMs) == WAIT_OBJECT_0;
        if (!run.finished) TerminateProcess(info.hProcess, 1);
        GetExitCodeProcess(info.hProcess, &run.exitCode);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    CloseHandle(startup.hStdInput);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    run.output = ReadText(io + "\\out.txt");
    run.errors = ReadText(io + "\\err.txt");
    return run;
}

ToolRun RunDecoder(const std::string& directory, const std::string& arguments, const std::string& input = "n\r\n") {
    return RunTool(ToolsDir() + "\\l3dec.exe", "l3dec " + arguments, directory, input);
}

// A working directory for the decoder with the extender in it.
std::string DecoderDirectory(const std::string& name) {
    const std::string directory = machine::FreshDirectory(name);
    EXPECT_TRUE(CopyInto(ToolsDir() + "\\go32.exe", directory + "\\go32.exe"));
    return directory;
}

// ===================================================================================== lines

TEST(BatchLine, AtTheRootOfADriveHasOneSeparatorBetweenTheDriveAndTheName) {
    EXPECT_EQ("echo n|D:\\l3dec D:\\sfx\\8acc3863.mp3 sfx\\8acc3863.wav -wav\r\n", Compose("D:", "sfx\\8acc3863.mp3"));
    EXPECT_EQ("echo n|D:\\l3dec D:\\sfx\\8acc3863.mp3 sfx\\8acc3863.wav -wav\r\n", Compose("D:\\", "sfx\\8acc3863.mp3"));
}

TEST(BatchLine, SeveralLevelsDeepNamesTheDecoderAndTheInputInTheSourceAndTheOutputRelative) {
    EXPECT_EQ("echo n|C:\\Games\\Cd\\Quorvane\\l3dec C:\\Games\\Cd\\Quorvane\\level.mp3 level.wav -wav\r\n",
              Compose("C:\\Games\\Cd\\Quorvane", "level.mp3"));
    EXPECT_EQ("echo n|E:\\demo\\l3dec E:\\demo\\sfx\\c897eb.mp3 sfx\\c897eb.wav -wav\r\n",
              Compose("E:\\demo", "sfx\\c897eb.mp3"));
}

// Outside quotes an interpreter splits at a blank, ends a command at "&" or "|", redirects at "<"
// and ">", drops "^" and reads "(", ")", ",", ";" and "="; it reads "%%" as one "%".
TEST(BatchLine, ASourceWithASignTheInterpreterReadsQuotesTheDecoderAndTheInput) {
    EXPECT_EQ("echo n|\"C:\\My Cd\\l3dec\" \"C:\\My Cd\\sfx\\8acc3863.mp3\" sfx\\8acc3863.wav -wav\r\n",
              Compose("C:\\My Cd", "sfx\\8acc3863.mp3"));
    for (const char sign : std::string("&^|<>(),;=")) {
        const std::string directory = std::string("C:\\A") + sign + "B";
        EXPECT_EQ("echo n|\"" + directory + "\\l3dec\" \"" + directory + "\\level.mp3\" level.wav -wav\r\n",
                  Compose(directory, "level.mp3"));
    }
    EXPECT_EQ("echo n|C:\\100%%\\l3dec C:\\100%%\\level.mp3 level.wav -wav\r\n", Compose("C:\\100%", "level.mp3"));
    // Decided on the OEM bytes the interpreter reads: there "‹›‚" (1252's 8B 9B 82) become "<>,".
    EXPECT_EQ("echo n|\"C:\\Dl\\A<B>,C\\l3dec\" \"C:\\Dl\\A<B>,C\\level.mp3\" level.wav -wav\r\n",
              Compose("C:\\Dl\\A\x8B" "B\x9B\x82" "C", "level.mp3"));
    // Converted once: "öß" (F6 DF) are 94 E1 there, which converted again would read "\"á".
    EXPECT_EQ("echo n|C:\\Gr\x94\xE1" "e\\l3dec C:\\Gr\x94\xE1" "e\\level.mp3 level.wav -wav\r\n",
              Compose("C:\\Gr\xF6\xDF" "e", "level.mp3"));
}

// Nor does a line longer than the 127 bytes that COMMAND.COM reads, whatever the buffer. A line's
// two paths name one directory, so its length is odd: after 127 bytes comes 129.
TEST(BatchLine, ALineThatDoesNotFitIsRefusedAndNothingIsWrittenPastTheBuffer) {
    const std::string longest = "C:\\" + std::string(34, 'q');
    EXPECT_EQ(127u + 2, Compose(longest, "sfx\\8acc3863.mp3").size());
    char longer[kBatchLineChars];
    EXPECT_FALSE(ComposeBatchLine(longer, kBatchLineChars, (longest + "q").c_str(), "sfx\\8acc3863.mp3"));
    EXPECT_EQ("", std::string(longer));
    const std::string expected = install::ExpectedBatchLine("C:\\My Cd\\demo", "sfx\\8acc3863.mp3");
    const int needed = static_cast<int>(expected.size()) + 1;
    for (int capacity : {needed, needed - 1, needed - 8, 12, 1}) {
        char line[kBatchLineChars];
        memset(line, 'x', sizeof(line));
        const bool fits = ComposeBatchLine(line, capacity, "C:\\My Cd\\demo", "sfx\\8acc3863.mp3");
        EXPECT_EQ(capacity >= needed, fits) << "capacity " << capacity;
        EXPECT_EQ(fits ? expected : std::string(), std::string(line)) << "capacity " << capacity;
        for (int i = capacity; i < kBatchLineChars; ++i) {
            ASSERT_EQ('x', line[i]) << "byte " << i << " written with capacity " << capacity;
        }
    }
}

// =============================================================================== batch file

TEST_F(AudioConversion, TheBatchFileHoldsOneLinePerMp3EntryInManifestOrder) {
    const std::string install = machine::FreshDirectory("audio-batch-deep-install");
    const std::string source = machine::FreshDirectory("audio-batch-deep-source") + "\\cd\\demo\\quorvane";
    machine::MakeDirectories(source);
    UseDirectories(source, install);
    Start();
    ASSERT_TRUE(WaitAsTheInstallDoes()) << "the interpreter did not end";

    const std::string batch = ReadText(install + "\\mp3.bat");
    EXPECT_EQ(install::ExpectedBatchFile(source), batch);
    const std::vector<std::string> lines = install::BatchLines(batch);
    ASSERT_FALSE(lines.empty());
    const std::string named = install::ShortPath(source);
    EXPECT_EQ("echo n|" + named + "\\l3dec " + named + "\\sfx\\8acc3863.mp3 sfx\\8acc3863.wav -wav", lines.front());
    EXPECT_EQ("echo n|" + named + "\\l3dec " + named + "\\level.mp3 level.wav -wav", lines.back());
    EXPECT_EQ(std::string::npos, batch.find('\0')) << "no NUL in the batch file";

    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(Upper(install), Upper(current)) << "the conversion runs in the install directory";
}

// =============================================================================== conversion

TEST_F(AudioConversion, ConvertsEveryMp3OfTheSourceIntoTheInstallDirectoryAndOnlyThose) {
    const std::string source = machine::FreshDirectory("audio-convert-source");
    const std::string install = machine::FreshDirectory("audio-convert-install");
    // Entries at both ends of the batch file and the shortest name; the others are absent.
    const std::vector<std::pair<std::string, TestSound>> placed = {
        {SfxMp3Files[0], kMono22050},   {"sfx\\c897eb.mp3", kStereo22050},   {SfxMp3Files[80], kMono44100},
        {MusicMp3Files[0], kStereo44100}, {MusicMp3Files[1], kBare22050}};
    MakeMedium(source, true, placed);
    // The copy of the delivered WAV files has made the sfx folder by the time the conversion starts.
    machine::MakeDirectories(install + "\\sfx");
    UseDirectories(source, install);

    Start();
    ASSERT_NE(nullptr, process_) << "the interpreter \"command\" was not started";
    ASSERT_TRUE(WaitAsTheInstallDoes()) << "the interpreter did not end";
    EXPECT_TRUE(ProcessEnded());

    for (const auto& [entry, sound] : placed) {
        SCOPED_TRACE(entry);
        ExpectDecodedLikeReference(machine::Join(install, install::ConvertedName(entry)), sound);
    }
    int absent = 0;
    for (const FileGroup& group : kConvertedGroups) {
        for (int i = 0; i < group.count; ++i) {
            const std::string entry = group[i];
            const bool wasPlaced = std::any_of(placed.begin(), placed.end(),
                                               [&](const auto& p) { return p.first == entry; });
            if (wasPlaced) continue;
            EXPECT_FALSE(machine::FileExists(machine::Join(install, install::ConvertedName(entry))))
                << "a WAV file for the missing " << entry;
            ++absent;
        }
    }
    EXPECT_EQ(78, absent);
    std::vector<std::string> expectedFiles = {"go32.exe", "mp3.bat"};
    for (const auto& placedSound : placed) expectedFiles.push_back(install::ConvertedName(placedSound.first));
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(Listing(expectedFiles), Listing(FilesIn(install)))
        << "the install directory holds go32.exe, mp3.bat and the WAV files, and no MP3";
    EXPECT_EQ(machine::ReadBytes(ToolsDir() + "\\go32.exe"), machine::ReadBytes(install + "\\go32.exe"));
}

// Named by its short form, which holds no blank: the decoder opens no other names.
TEST_F(AudioConversion, ASourceWithBlanksIsNamedByItsShortFormAndItsFilesAreConverted) {
    const std::string source = machine::FreshDirectory("audio blanks source") + "\\My Cd";
    const std::string install = machine::FreshDirectory("audio-blanks-install");
    MakeMedium(source, true, {{SfxMp3Files[0], kStereo22050}, {MusicMp3Files[0], kMono44100}});
    machine::MakeDirectories(install + "\\sfx");
    UseDirectories(source, install);

    Start();
    ASSERT_TRUE(WaitAsTheInstallDoes()) << "the interpreter did not end";

    const std::vector<std::string> lines = install::BatchLines(ReadText(install + "\\mp3.bat"));
    ASSERT_EQ(install::ConvertedNames().size(), lines.size());
    const std::string shortSource = install::ShortPath(source);
    ASSERT_EQ(std::string::npos, shortSource.find(' ')) << shortSource;
    EXPECT_EQ("echo n|" + shortSource + "\\l3dec " + shortSource + "\\sfx\\8acc3863.mp3 sfx\\8acc3863.wav -wav",
              lines.front());
    {
        SCOPED_TRACE(SfxMp3Files[0]);
        ExpectDecodedLikeReference(install + "\\sfx\\8acc3863.wav", kStereo22050);
    }
    {
        SCOPED_TRACE(MusicMp3Files[0]);
        ExpectDecodedLikeReference(install + "\\score.wav", kMono44100);
    }
}

TEST_F(AudioConversion, InPlaceCopiesNothingAndASecondRunRewritesTheBatchAndKeepsTheWavFiles) {
    const std::string source = machine::FreshDirectory("audio-in-place");
    MakeMedium(source, true, {{SfxMp3Files[0], kMono22050}});
    // The same directory in another letter case is still the same directory.
    UseDirectories(source, Upper(source));
    const std::vector<unsigned char> extender = machine::ReadBytes(source + "\\go32.exe");

    Start();
    ASSERT_TRUE(WaitAsTheInstallDoes()) << "the interpreter did not end";
    EXPECT_EQ(install::ExpectedBatchFile(source), ReadText(source + "\\mp3.bat"))
        << "the batch file is written into the source directory itself";
    ExpectDecodedLikeReference(source + "\\sfx\\8acc3863.wav", kMono22050);
    const std::vector<std::string> medium = {"go32.exe", "l3dec.exe", "mp3.bat", "sfx\\8acc3863.mp3",
                                             "sfx\\8acc3863.wav"};
    EXPECT_EQ(Listing(medium), Listing(FilesIn(source)));
    EXPECT_EQ(extender, machine::ReadBytes(source + "\\go32.exe"));

    // A second install over the first: a longer batch file is emptied, and the decoder, answered
    // n, leaves the WAV file of the first run alone.
    ASSERT_TRUE(machine::WriteBytes(source + "\\mp3.bat", std::string(20000, 'x')));
    ASSERT_TRUE(machine::WriteBytes(source + "\\sfx\\8acc3863.wav", "the first run's file"));
    CloseHandle(process_);
    process_ = nullptr;
    Start();
    ASSERT_TRUE(WaitAsTheInstallDoes()) << "the second interpreter did not end";
    EXPECT_EQ(install::ExpectedBatchFile(source), ReadText(source + "\\mp3.bat"));
    EXPECT_EQ("the first run's file", ReadText(source + "\\sfx\\8acc3863.wav"));
    EXPECT_EQ(Listing(medium), Listing(FilesIn(source)));
}

TEST_F(AudioConversion, WithoutGo32NothingIsConvertedAndTheWaitStillEnds) {
    const std::string source = machine::FreshDirectory("audio-no-extender-source");
    const std::string install = machine::FreshDirectory("audio-no-extender-install");
    MakeMedium(source, false, {{SfxMp3Files[0], kMono22050}, {MusicMp3Files[1], kStereo44100}});
    machine::MakeDirectories(install + "\\sfx");
    UseDirectories(source, install);

    Start();
    ASSERT_NE(nullptr, process_) << "the interpreter is started all the same";
    ASSERT_TRUE(WaitAsTheInstallDoes()) << "the interpreter did not end";
    EXPECT_TRUE(ProcessEnded());
    EXPECT_EQ(install::ExpectedBatchFile(source), ReadText(install + "\\mp3.bat"));
    EXPECT_EQ(Listing({"mp3.bat"}), Listing(FilesIn(install))) << "no go32.exe and no WAV file";
}

// ===================================================================================== wait

TEST_F(AudioConversion, TheWaitEndsAtOnceWhenNothingWasStarted) {
    const DWORD start = GetTickCount();
    WaitForAudioConversion(dialog_, nullptr);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_LT(elapsed, 2000u) << "the wait polled although there was no process";
    EXPECT_EQ(kWaitText, Status());
}

TEST(AudioWaitText, GrowsByOneDotPerPollAndStartsAgainBeforeTheStatusLineWouldCutIt) {
    char text[kTextChars] = {};
    lstrcpyA(text, kWaitText);
    const std::string bare = kWaitText;
    const int mostDots = kStatusChars - static_cast<int>(bare.size());  // 89
    ASSERT_EQ(89, mostDots);
    for (int round = 0; round < 3; ++round) {
        for (int dots = 1; dots <= mostDots; ++dots) {
            AdvanceWaitText(text, static_cast<int>(bare.size()));
            ASSERT_EQ(bare + std::string(dots, '.'), text) << "round " << round << ", poll " << dots;
        }
        EXPECT_EQ(127u, strlen(text)) << "the row fills the status line";
        AdvanceWaitText(text, static_cast<int>(bare.size()));
        ASSERT_EQ(bare, text) << "one more dot would pass 127 characters; the row starts again";
    }
}

TEST(AudioWaitText, ABareTextAsLongAsTheStatusLineGainsNoDots) {
    char text[kTextChars] = {};
    const std::string bare(kStatusChars, 'w');
    lstrcpyA(text, bare.c_str());
    for (int poll = 0; poll < 5; ++poll) {
        AdvanceWaitText(text, static_cast<int>(bare.size()));
        EXPECT_EQ(bare, text) << "poll " << poll;
    }
}

// What the main thread and the thread that waits share; kept alive by both.
struct WaitObservation {
    std::atomic<HWND> dialog{nullptr};
    std::atomic<bool> dialogFailed{false};
    std::atomic<bool> returned{false};
    std::atomic<bool> processEnded{false};  // set by the main thread before it ends the process
    std::atomic<bool> returnedBeforeEnd{false};
    HANDLE process = nullptr;
    char finalText[1024] = {};
    ~WaitObservation() {
        if (process != nullptr) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
};

TEST(AudioWait, ShowsTheTextThenOneMoreDotPerPollUntilTheProcessEnds) {
    // A process that runs until the test ends it: the extender's stand-in, held suspended.
    auto shared = std::make_shared<WaitObservation>();
    const std::string program = ToolsDir() + "\\go32.exe";
    char commandLine[] = "go32";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA(program.c_str(), commandLine, nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info));
    CloseHandle(info.hThread);
    shared->process = info.hProcess;
    AppInstance = GetModuleHandleA(nullptr);

    // The wait dispatches no messages, so its dialog lives on the waiting thread, and this thread
    // reads the status line from what the window manager keeps.
    std::thread waiter([shared] {
        HWND dialog = CreateDialogParamA(AppInstance, DLG_MASTER_NAME, nullptr, e2e::QuietDialog, 0);
        if (dialog == nullptr) {
            shared->dialogFailed = true;
            return;
        }
        shared->dialog = dialog;
        WaitForAudioConversion(dialog, shared->process);
        if (!shared->processEnded) shared->returnedBeforeEnd = true;
        GetDlgItemTextA(dialog, IDC_STATUS, shared->finalText, sizeof(shared->finalText));
        shared->returned = true;
        DestroyWindow(dialog);
    });

    // On an early return the process is ended, which ends the wait, and the thread is let go.
    struct LetGo {
        std::thread& thread;
        HANDLE process;
        ~LetGo() {
            if (!thread.joinable()) return;
            TerminateProcess(process, 0);
            thread.detach();
        }
    } letGo{waiter, shared->process};

    ASSERT_TRUE(e2e::WaitFor([&] { return shared->dialog != nullptr || shared->dialogFailed; }, 30000));
    ASSERT_FALSE(shared->dialogFailed);
    const HWND dialog = shared->dialog;
    const std::string bare = kWaitText;
    std::vector<std::string> shown;
    auto sample = [&] {
        if (shared->returned) return;
        const std::string text = e2e::ControlText(dialog, IDC_STATUS);
        if (!text.empty() && (shown.empty() || shown.back() != text)) shown.push_back(text);
    };
    const bool sawThreeDots = e2e::WaitFor(
        [&] {
            sample();
            return (!shown.empty() && shown.back() == bare + "...") || shared->returned;
        },
        30000, 10);
    EXPECT_TRUE(sawThreeDots) << "three polls did not happen within 30 s";
    EXPECT_FALSE(shared->returned) << "the wait ended while the process still ran";

    shared->processEnded = true;
    TerminateProcess(shared->process, 0);
    const bool ended = e2e::WaitFor([&] { sample(); return shared->returned.load(); }, 30000, 10);
    ASSERT_TRUE(ended) << "the wait did not end within 30 s after the process ended";
    waiter.join();
    EXPECT_FALSE(shared->returnedBeforeEnd);
    shown.push_back(shared->finalText);
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());

    ASSERT_GE(shown.size(), 4u);
    for (size_t poll = 0; poll < shown.size(); ++poll) {
        EXPECT_EQ(bare + std::string(poll, '.'), shown[poll]) << "status text number " << poll;
        EXPECT_LE(shown[poll].size(), 127u);
    }
}

// ================================================================================ interpreter

TEST(AudioInterpreter, TheShellFindsCommandAndItRunsItsLineInTheGivenDirectory) {
    const std::string directory = machine::FreshDirectory("audio-interpreter");
    SHELLEXECUTEINFOA request{};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    request.lpFile = "command";
    request.lpParameters = "/C echo ran>ran.txt & exit 7";
    request.lpDirectory = directory.c_str();
    request.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExA(&request)) << "the shell did not find \"command\" (error " << GetLastError() << ")";
    ASSERT_NE(nullptr, request.hProcess);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(request.hProcess, kToolTimeoutMs));
    DWORD code = 0;
    GetExitCodeProcess(request.hProcess, &code);
    CloseHandle(request.hProcess);
    EXPECT_EQ(7u, code) << "the interpreter's exit code";
    EXPECT_EQ(0u, ReadText(directory + "\\ran.txt").rfind("ran", 0)) << "the line ran in the request's directory";
}

TEST(AudioInterpreter, RunsEachLineOfABatchFileAndEndsWithTheLastLinesCode) {
    const std::string directory = machine::FreshDirectory("audio interpreter lines");
    ASSERT_TRUE(CopyInto(ToolsDir() + "\\go32.exe", directory + "\\go32.exe"));
    ASSERT_TRUE(CopyInto(ToolsDir() + "\\l3dec.exe", directory + "\\decoder.exe"));
    ASSERT_TRUE(CopyInto(SoundMp3(kMono22050), directory + "\\in.mp3"));
    // Found after decoder.exe, so it must never run.
    ASSERT_TRUE(machine::WriteBytes(directory + "\\decoder.bat", "echo wrong>bat-ran.txt\r\n"));
    ASSERT_TRUE(machine::WriteBytes(directory + "\\replaced.wav", "earlier"));
    const std::string batch = "echo y|" + install::ShortPath(directory) + "\\decoder in.mp3 replaced.wav -wav\r\n"
                              "echo n|decoder in.mp3 new.wav -wav\r\n"
                              "\r\n"
                              "echo n|absent in.mp3 absent.wav -wav\r\n"
                              "echo handed over>handed.txt & exit 7\r\n";
    ASSERT_TRUE(machine::WriteBytes(directory + "\\lines.bat", batch));

    const ToolRun run = RunTool(ToolsDir() + "\\command.exe", "command /C lines.bat", directory, "");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(7u, run.exitCode) << "the code of the last line, which cmd.exe ran";
    {
        SCOPED_TRACE("the answer y reached the decoder");
        ExpectDecodedLikeReference(directory + "\\replaced.wav", kMono22050);
    }
    EXPECT_TRUE(machine::FileExists(directory + "\\new.wav")) << "decoder.exe was not found in the directory";
    // Its own report, not cmd.exe's: the interpreter ran the piped lines itself.
    EXPECT_NE(std::string::npos, run.errors.find("command: absent")) << "the line that cannot run: " << run.errors;
    EXPECT_EQ(0u, ReadText(directory + "\\handed.txt").rfind("handed over", 0)) << "the line after it still ran";
    EXPECT_FALSE(machine::FileExists(directory + "\\bat-ran.txt")) << "decoder.bat ran instead of decoder.exe";
}

// COMMAND.COM reads 127 bytes of a batch line and, on NT 4, starts programs by 8.3 paths only;
// the decoder opens 8.3 names only, on Windows 95 as well. The first line's cut falls into its
// arguments, while the decoder's own tail stays short: only the interpreter's limit stops it.
TEST(AudioInterpreter, ReadsLinesAndNamesAsTheDosSideOfEachSystemDoes) {
    const std::string directory = machine::FreshDirectory("dosside");
    const std::string tools = directory + "\\Decoder Of The Medium";
    ASSERT_TRUE(CopyInto(ToolsDir() + "\\go32.exe", directory + "\\go32.exe"));
    ASSERT_TRUE(CopyInto(ToolsDir() + "\\l3dec.exe", tools + "\\l3dec.exe"));
    ASSERT_TRUE(CopyInto(SoundMp3(kMono22050), directory + "\\Sound Of The Medium.mp3"));
    const std::string shortTools = install::ShortPath(tools) + "\\l3dec";
    const std::string shortSound = install::ShortPath(directory + "\\Sound Of The Medium.mp3");
    std::string deep = directory, cut;
    while ((cut = "echo n|" + deep + "\\l3dec " + shortSound + " cut.wav -wav").size() < 130) deep += "\\d";
    ASSERT_TRUE(CopyInto(ToolsDir() + "\\l3dec.exe", deep + "\\l3dec.exe"));
    ASSERT_LT(cut.find(" -wav"), 127u) << "the 127 bytes end inside the last argument: " << cut;
    const std::string batch = cut + "\r\n" +
                              "echo n|" + shortTools + " \"" + directory + "\\Sound Of The Medium.mp3\" long.wav -wav\r\n" +
                              "echo n|" + shortTools + " " + shortSound + " short.wav -wav\r\n" +
                              "echo n|\"" + tools + "\\l3dec\" " + shortSound + " program.wav -wav\r\n";
    ASSERT_TRUE(machine::WriteBytes(directory + "\\dos.bat", batch));
    for (const char* windows : {"nt40", "win95"}) {
        for (const char* wave : {"cut.wav", "long.wav", "short.wav", "program.wav"}) {
            DeleteFileA((directory + "\\" + wave).c_str());
        }
        e2e::TellWindows(windows);
        const ToolRun run = RunTool(ToolsDir() + "\\command.exe", "command /C dos.bat", directory, "");
        e2e::TellWindows(nullptr);
        ASSERT_TRUE(run.finished) << windows;
        EXPECT_FALSE(machine::FileExists(directory + "\\cut.wav")) << windows << ": a line of " << cut.size() << " bytes";
        EXPECT_FALSE(machine::FileExists(directory + "\\long.wav")) << windows << ": the MP3 file by its long name";
        EXPECT_TRUE(machine::FileExists(directory + "\\short.wav")) << windows << ": by short names; " << run.errors;
        EXPECT_EQ(lstrcmpA(windows, "win95") == 0, machine::FileExists(directory + "\\program.wav"))
            << windows << ": the decoder by its long path; " << run.errors;
    }
}

TEST(AudioInterpreter, RefusesACommandLineWithoutC) {
    const std::string directory = machine::FreshDirectory("audio-interpreter-usage");
    for (const char* line : {"command", "command /K mp3.bat", "command /C"}) {
        const ToolRun run = RunTool(ToolsDir() + "\\command.exe", line, directory, "");
        ASSERT_TRUE(run.finished) << line;
        EXPECT_NE(0u, run.exitCode) << line;
        EXPECT_FALSE(run.errors.empty()) << line << ": no message on standard error";
    }
}

// ==================================================================================== l3dec

TEST(L3dec, DecodesEachTestSoundWithItsFormatAndLikeTheReferenceDecoder) {
    const std::string directory = DecoderDirectory("audio-l3dec-decode");
    for (const TestSound& sound : kAllSounds) {
        SCOPED_TRACE(sound.name);
        // By 8.3 names, the only ones a DOS program opens.
        const std::string output = std::string(sound.name).substr(0, 8) + ".wav";
        const ToolRun run = RunDecoder(directory, install::ShortPath(SoundMp3(sound)) + " " + output + " -wav");
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(0u, run.exitCode) << run.errors;
        ExpectDecodedLikeReference(directory + "\\" + output, sound);
    }
}

TEST(L3dec, AnsweredNoKeepsAnExistingOutputAndAnsweredYesReplacesIt) {
    const std::string directory = DecoderDirectory("audio-l3dec-overwrite");
    ASSERT_TRUE(CopyInto(SoundMp3(kMono22050), directory + "\\in.mp3"));
    ASSERT_TRUE(machine::WriteBytes(directory + "\\out.wav", "an earlier file"));

    const ToolRun no = RunDecoder(directory, "in.mp3 out.wav -wav", "n\r\n");
    ASSERT_TRUE(no.finished);
    EXPECT_EQ(0u, no.exitCode) << no.errors;
    EXPECT_NE(std::string::npos, no.output.find("overwrite out.wav? (y/n)")) << "the question asked: " << no.output;
    EXPECT_EQ("an earlier file", ReadText(directory + "\\out.wav"));
    EXPECT_EQ(Listing({"go32.exe", "in.mp3", "out.wav"}), Listing(FilesIn(directory)));

    const ToolRun yes = RunDecoder(directory, "in.mp3 out.wav -wav", "y\r\n");
    ASSERT_TRUE(yes.finished);
    EXPECT_EQ(0u, yes.exitCode) << yes.errors;
    ExpectDecodedLikeReference(directory + "\\out.wav", kMono22050);
    EXPECT_EQ(Listing({"go32.exe", "in.mp3", "out.wav"}), Listing(FilesIn(directory)));
}

// Fails with a message and leaves the directory as it was: no output, no temporary file.
void ExpectDecoderFails(const std::string& directory, const std::string& arguments, const std::string& what) {
    const std::vector<std::string> before = FilesIn(directory);
    const ToolRun run = RunDecoder(directory, arguments);
    ASSERT_TRUE(run.finished) << what;
    EXPECT_NE(0u, run.exitCode) << what;
    EXPECT_FALSE(run.errors.empty()) << what << ": no message on standard error";
    EXPECT_EQ(Listing(before), Listing(FilesIn(directory))) << what;
}

TEST(L3dec, AMissingInputLeavesNoOutput) {
    const std::string directory = DecoderDirectory("audio-l3dec-missing");
    ExpectDecoderFails(directory, "absent.mp3 out.wav -wav", "a missing input");
}

TEST(L3dec, AnInputThatIsNoMp3LeavesNoOutput) {
    const std::string directory = DecoderDirectory("audio-l3dec-not-mp3");
    ASSERT_TRUE(machine::WriteBytes(directory + "\\text.mp3", std::string(5000, 'q')));
    ASSERT_TRUE(CopyInto(SoundReference(kMono22050), directory + "\\wave.mp3"));
    ASSERT_TRUE(machine::WriteBytes(directory + "\\empty.mp3", ""));
    ExpectDecoderFails(directory, "text.mp3 out.wav -wav", "a text file");
    ExpectDecoderFails(directory, "wave.mp3 out.wav -wav", "a WAVE file");
    ExpectDecoderFails(directory, "empty.mp3 out.wav -wav", "an empty file");
}

TEST(L3dec, ATruncatedInputLeavesNoOutput) {
    const std::string directory = DecoderDirectory("audio-l3dec-truncated");
    const std::vector<unsigned char> mp3 = machine::ReadBytes(SoundMp3(kStereo44100));
    ASSERT_GT(mp3.size(), 2000u);
    // Cut inside the last frame, and at a frame header in the second half of the file (the
    // frames of the test sounds begin with the same three bytes but for the padding bit).
    ASSERT_TRUE(machine::WriteBytes(directory + "\\cut.mp3", std::string(mp3.begin(), mp3.end() - 10)));
    size_t boundary = 0;
    for (size_t at = mp3.size() - 4; at > mp3.size() / 2; --at) {
        if (mp3[at] == mp3[0] && mp3[at + 1] == mp3[1] && (mp3[at + 2] & 0xFD) == (mp3[2] & 0xFD)) {
            boundary = at;
            break;
        }
    }
    ASSERT_NE(0u, boundary) << "no frame header found in the second half";
    ASSERT_TRUE(machine::WriteBytes(directory + "\\half.mp3", std::string(mp3.begin(), mp3.begin() + boundary)));
    ExpectDecoderFails(directory, "cut.mp3 out.wav -wav", "an input cut inside a frame");
    ExpectDecoderFails(directory, "half.mp3 out.wav -wav", "an input cut at a frame");
}

TEST(L3dec, FailsWithoutGo32InItsWorkingDirectory) {
    const std::string directory = machine::FreshDirectory("audio-l3dec-no-extender");
    ASSERT_TRUE(CopyInto(SoundMp3(kMono22050), directory + "\\in.mp3"));
    const ToolRun run = RunDecoder(directory, "in.mp3 out.wav -wav");
    ASSERT_TRUE(run.finished);
    EXPECT_NE(0u, run.exitCode);
    EXPECT_NE(std::string::npos, run.errors.find("go32.exe")) << "the message names what is missing: " << run.errors;
    EXPECT_EQ(Listing({"in.mp3"}), Listing(FilesIn(directory)));
}

TEST(L3dec, RefusesOtherArguments) {
    const std::string directory = DecoderDirectory("audio-l3dec-usage");
    ASSERT_TRUE(CopyInto(SoundMp3(kMono22050), directory + "\\in.mp3"));
    ExpectDecoderFails(directory, "in.mp3 out.wav", "no -wav");
    ExpectDecoderFails(directory, "in.mp3", "no output");
    // DOS hands a program no more than 126 bytes of its command tail.
    ExpectDecoderFails(directory, "in.mp3 out.wav" + std::string(112, ' ') + "-wav", "-wav beyond the tail");
}

}  // namespace
