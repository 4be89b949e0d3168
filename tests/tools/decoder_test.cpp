// The MP3 decoder stand-in on its own, run as a batch line runs it: its WAV files measured against
// mpg123's decoding of the same sounds, its question before it overwrites, and how it fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "install_support.h"
#include "machine.h"
#include "test_sounds.h"
#include "tool_run.h"

namespace {

using sounds::ExpectDecodedLikeReference;
using sounds::kAllSounds;
using sounds::kMono22050;
using sounds::kStereo44100;
using sounds::SoundMp3;
using sounds::SoundReference;
using sounds::TestSound;
using machine::CopyInto;
using machine::FilesIn;
using machine::Listing;
using machine::ReadText;
using tool_run::RunTool;
using tool_run::ToolRun;
using e2e::ToolsDir;

ToolRun RunDecoder(const std::string& directory, const std::string& arguments, const std::string& input = "n\r\n") {
    return RunTool(ToolsDir() + "\\l3dec.exe", "l3dec " + arguments, directory, input);
}

// A working directory for the decoder with the extender in it.
std::string DecoderDirectory(const std::string& name) {
    const std::string directory = machine::FreshDirectory(name);
    EXPECT_TRUE(CopyInto(ToolsDir() + "\\go32.exe", directory + "\\go32.exe"));
    return directory;
}

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
