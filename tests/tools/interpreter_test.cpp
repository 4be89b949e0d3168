// The command interpreter stand-in on its own: found by the shell as the install finds it, running
// a batch file's lines, and reading lines and names as the DOS side of each system does.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "e2e.h"
#include "install_support.h"
#include "machine.h"
#include "test_sounds.h"
#include "tool_run.h"

namespace {

using sounds::ExpectDecodedLikeReference;
using sounds::kMono22050;
using sounds::SoundMp3;
using machine::CopyInto;
using tool_run::kToolTimeoutMs;
using machine::ReadText;
using tool_run::RunTool;
using tool_run::ToolRun;
using e2e::ToolsDir;

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

}  // namespace
