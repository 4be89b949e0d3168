// The conversion of the demo's MP3 files into WAV files: the batch file that the setup writes, the
// interpreter it starts, the wait with its row of dots, and the WAV files that come of it,
// measured against mpg123's decoding of the same files (made at build time).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio_conversion.h"
#include "dialog_utils.h"
#include "e2e.h"
#include "install_support.h"
#include "machine.h"
#include "manifest.h"
#include "paths.h"
#include "resource_ids.h"
#include "state.h"
#include "test_sounds.h"

namespace {

constexpr char kWaitText[] = "Please wait...  Decompressing Audio...";
// A conversion of a few files runs well under a minute; a stuck one is ended after this.
constexpr DWORD kConversionTimeoutMs = 180000;

using sounds::ExpectDecodedLikeReference;
using sounds::kBare22050;
using sounds::kMono22050;
using sounds::kMono44100;
using sounds::kStereo22050;
using sounds::kStereo44100;
using sounds::SoundMp3;
using sounds::TestSound;
using e2e::ToolsDir;
using machine::CopyInto;
using machine::FilesIn;
using machine::Listing;
using machine::ReadText;

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}




std::string Compose(const std::string& source, const char* entry) {
    char line[kBatchLineChars];
    memset(line, 'x', sizeof(line));
    EXPECT_TRUE(ComposeBatchLine(line, kBatchLineChars, source.c_str(), entry)) << source << " + " << entry;
    return line;
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

}  // namespace
