// The Start Menu group: SETUP.INI as the install writes it, the shortcuts that the converter makes
// of it and the removal of the group folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "e2e.h"
#include "grpconv_log.h"
#include "install_support.h"
#include "machine.h"
#include "program_group.h"
#include "resource_ids.h"
#include "state.h"

namespace {

// Each CreateProgramGroup pauses 4 s; the converter runs it started must have finished by then.
constexpr DWORD kConverterTimeoutMs = 30000;
constexpr DWORD kPauseMs = 4000;
constexpr ULONGLONG kFileTimeUnitsPerMs = 10000;

std::string Text(const std::vector<unsigned char>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The second field of the item line: the command line.
std::string CommandLineField(const std::string& groupFile) {
    const size_t item = groupFile.find("[groupX]\r\n\"");
    if (item == std::string::npos) return "<no item line>";
    const size_t start = groupFile.find("\",\"", item);
    const size_t end = groupFile.find("\",,,,\"", item);
    if (start == std::string::npos || end == std::string::npos || end < start) return "<no command line>";
    return groupFile.substr(start + 3, end - start - 3);
}

std::string WorkingDirectoryField(const std::string& groupFile) {
    const size_t start = groupFile.find("\",,,,\"");
    const size_t end = groupFile.rfind("\"\r\n");
    if (start == std::string::npos || end == std::string::npos || end < start + 6) return "<no field>";
    return groupFile.substr(start + 6, end - start - 6);
}

using grpconv::ConverterRun;
using grpconv::LogSize;
using grpconv::RunsSince;

std::vector<ConverterRun> WaitForRuns(size_t offset, size_t count) {
    std::vector<ConverterRun> runs;
    e2e::WaitFor([&] { return (runs = RunsSince(offset)).size() >= count; }, kConverterTimeoutMs);
    return runs;
}

using machine::ProgramsFolder;

// Any small program will do as the installed game and setup program: what matters is that the
// files exist and so have short names.
void PutProgram(const std::string& directory, const char* name) {
    const std::string source = e2e::Win64Dir() + "\\tools\\go32.exe";
    ASSERT_TRUE(CopyFileA(source.c_str(), machine::Join(directory, name).c_str(), FALSE))
        << "copy " << source << " into " << directory;
}

class ProgramGroup : public ::testing::Test {
  protected:
    void SetUp() override {
        machine::ResetSetupState();
        AppInstance = GetModuleHandleA(nullptr);
        logOffset_ = LogSize();
    }
    void TearDown() override { machine::ResetSetupState(); }

    // Runs CreateProgramGroup for `heldDirectory` as the wizard would hold it, and waits for the
    // converter's two runs. Returns the time the call took.
    DWORD CreateFor(const std::string& heldDirectory) {
        logOffset_ = LogSize();
        const DWORD start = GetTickCount();
        CreateProgramGroup(heldDirectory.c_str());
        const DWORD elapsed = GetTickCount() - start;
        runs_ = WaitForRuns(logOffset_, 2);
        return elapsed;
    }

    size_t logOffset_ = 0;
    std::vector<ConverterRun> runs_;
};

TEST(ProgramGroupFile, GivesTheFourLinesOfOneItem) {
    char out[kGroupFileChars];
    const int length = FormatGroupFile(out, "Vexelworks", "Quorvane", "C:\\QUORVA~1\\quor.exe",
                                       "C:\\Quorvane Demo");
    const std::string expected = install::ExpectedGroupFile("Quorvane", "C:\\QUORVA~1\\quor.exe", "C:\\Quorvane Demo");
    EXPECT_EQ(expected, std::string(out));
    EXPECT_EQ(static_cast<int>(expected.size()), length);

    // The longest: the uninstaller's item for an accepted destination of 232 characters whose
    // names have no short form.
    const std::string longest = "C:\\" + std::string(229, 'd');
    const std::string command = longest + "\\setup.exe -REMOVE";
    EXPECT_EQ(install::ExpectedGroupFile("Uninstall Quorvane", command, longest).size(),
              static_cast<size_t>(FormatGroupFile(out, "Vexelworks", "Uninstall Quorvane", command.c_str(), longest.c_str())));
}

TEST(ProgramGroupFile, RefusesAContentThatDoesNotFitItsBufferAndWritesNothingBehindIt) {
    const int frame = static_cast<int>(install::ExpectedGroupFile("", "", "", "").size());
    // The longest content that fits the buffer of kGroupFileChars (640) with its NUL is 639 characters.
    const std::string fitting(static_cast<size_t>(kGroupFileChars - 1 - frame), 't');
    char out[kGroupFileChars + 600];
    memset(out, 'x', sizeof(out));
    EXPECT_EQ(kGroupFileChars - 1, FormatGroupFile(out, "", fitting.c_str(), "", ""));
    EXPECT_EQ(install::ExpectedGroupFile(fitting, "", "", ""), std::string(out));

    memset(out, 'x', sizeof(out));
    const std::string tooLong = fitting + "t";
    EXPECT_EQ(0, FormatGroupFile(out, "", tooLong.c_str(), "", "")) << "one character over the buffer";
    EXPECT_EQ('\0', out[0]) << "a refused content leaves the buffer empty";
    EXPECT_EQ(std::string(sizeof(out) - 1, 'x'), std::string(out + 1, sizeof(out) - 1));

    // Past what wsprintfA itself would write.
    const std::string huge(600, 'h');
    memset(out, 'x', sizeof(out));
    EXPECT_EQ(0, FormatGroupFile(out, huge.c_str(), huge.c_str(), huge.c_str(), huge.c_str()));
    EXPECT_EQ('\0', out[0]);
    EXPECT_EQ(std::string(sizeof(out) - 1, 'x'), std::string(out + 1, sizeof(out) - 1));
}

TEST_F(ProgramGroup, SetupIniKeepsTheUninstallerItemAfterTheGameItemWasConverted) {
    const std::string directory = machine::FreshDirectory("pg-ini\\Quorvane Demo");
    PutProgram(directory, "quor.exe");
    PutProgram(directory, "setup.exe");
    CreateFor(directory);

    const std::string setupShort = install::ShortPath(directory + "\\setup.exe");
    ASSERT_FALSE(setupShort.empty());
    const std::vector<unsigned char> bytes = machine::ReadBytes(machine::SetupIniPath());
    EXPECT_EQ(install::ExpectedGroupFile("Uninstall Quorvane", setupShort + " -REMOVE", directory), Text(bytes))
        << "SETUP.INI after the install into " << directory;
    EXPECT_EQ(bytes.end(), std::find(bytes.begin(), bytes.end(), '\0')) << "no NUL in SETUP.INI";

    ASSERT_EQ(2u, runs_.size()) << "converter runs logged";
    EXPECT_EQ("-o", runs_[0].arguments);
    EXPECT_EQ("-o", runs_[1].arguments);
    EXPECT_EQ(install::ExpectedGroupFile("Quorvane", install::ShortPath(directory + "\\quor.exe"), directory),
              runs_[0].iniContent)
        << "what the first converter run read";
    EXPECT_EQ(Text(bytes), runs_[1].iniContent) << "what the second converter run read";
}

TEST_F(ProgramGroup, BothShortcutsStartTheInstalledProgramsByTheirShortNames) {
    const std::string directory = machine::FreshDirectory("pg-links\\Quorvane Demo");
    PutProgram(directory, "quor.exe");
    PutProgram(directory, "setup.exe");
    CreateFor(directory);
    ASSERT_EQ(2u, runs_.size()) << "converter runs logged";

    const install::Shortcut game = install::ReadShortcut(machine::GroupFolder() + "\\Quorvane.lnk");
    ASSERT_TRUE(game.loaded) << "Quorvane.lnk in " << machine::GroupFolder() << "; converter said:\n"
                             << runs_[0].notes;
    EXPECT_EQ(install::ShortPath(directory + "\\quor.exe"), game.path);
    EXPECT_EQ("", game.arguments);
    EXPECT_EQ(directory, game.workingDirectory);

    const install::Shortcut uninstall = install::ReadShortcut(machine::GroupFolder() + "\\Uninstall Quorvane.lnk");
    ASSERT_TRUE(uninstall.loaded) << "Uninstall Quorvane.lnk; converter said:\n" << runs_[1].notes;
    EXPECT_EQ(install::ShortPath(directory + "\\setup.exe"), uninstall.path);
    EXPECT_EQ("-REMOVE", uninstall.arguments);
    EXPECT_EQ(directory, uninstall.workingDirectory);
}

TEST_F(ProgramGroup, ABlankOrATrailingSeparatorOfTheDirectoryChangesNoCommandLine) {
    const std::string directory = machine::FreshDirectory("pg-blanks\\Quorvane Demo Four");
    PutProgram(directory, "quor.exe");
    PutProgram(directory, "setup.exe");

    CreateFor(directory);
    ASSERT_EQ(2u, runs_.size()) << "converter runs for " << directory;
    const std::vector<ConverterRun> plain = runs_;
    CreateFor(directory + "\\");
    ASSERT_EQ(2u, runs_.size()) << "converter runs for " << directory << "\\";
    const std::vector<ConverterRun> trailing = runs_;

    const std::string gameCommand = CommandLineField(plain[0].iniContent);
    const std::string uninstallCommand = CommandLineField(plain[1].iniContent);
    EXPECT_EQ(std::string::npos, gameCommand.find(' ')) << gameCommand;
    EXPECT_EQ(install::ShortPath(directory + "\\quor.exe"), gameCommand);
    EXPECT_EQ(install::ShortPath(directory + "\\setup.exe") + " -REMOVE", uninstallCommand);
    EXPECT_EQ(std::string::npos, uninstallCommand.substr(0, uninstallCommand.size() - 8).find(' '))
        << uninstallCommand;

    EXPECT_EQ(gameCommand, CommandLineField(trailing[0].iniContent)) << "with a trailing separator";
    EXPECT_EQ(uninstallCommand, CommandLineField(trailing[1].iniContent)) << "with a trailing separator";

    EXPECT_EQ(directory, WorkingDirectoryField(plain[0].iniContent));
    EXPECT_EQ(directory, WorkingDirectoryField(plain[1].iniContent));
    EXPECT_EQ(directory + "\\", WorkingDirectoryField(trailing[0].iniContent)) << "as held";
    EXPECT_EQ(directory + "\\", WorkingDirectoryField(trailing[1].iniContent)) << "as held";
}

TEST_F(ProgramGroup, TheTwoWritesAreAtLeastFourSecondsApart) {
    const std::string directory = machine::FreshDirectory("pg-pause\\Quorvane");
    PutProgram(directory, "quor.exe");
    PutProgram(directory, "setup.exe");
    const DWORD elapsed = CreateFor(directory);
    EXPECT_LE(kPauseMs, elapsed) << "CreateProgramGroup took " << elapsed << " ms";

    ASSERT_EQ(2u, runs_.size()) << "converter runs logged";
    ASSERT_TRUE(runs_[0].sawIni && runs_[1].sawIni);
    const ULONGLONG apart = runs_[1].iniWritten - runs_[0].iniWritten;
    EXPECT_LE(kPauseMs * kFileTimeUnitsPerMs, apart)
        << "SETUP.INI written " << apart / kFileTimeUnitsPerMs << " ms after the first write";
    // WinExec returns only once the started program waits for input or has ended, so the first
    // run has started before the pause begins and the second starts after it.
    const LONG runsApart = static_cast<LONG>(runs_[1].tick - runs_[0].tick);
    EXPECT_LE(static_cast<LONG>(kPauseMs), runsApart)
        << "the second converter run started " << runsApart << " ms after the first";
}

TEST_F(ProgramGroup, AGameThatWasNotCopiedIsNamedByItsLongPath) {
    const std::string directory = machine::FreshDirectory("pg-nogame\\Quorvane Demo");
    PutProgram(directory, "setup.exe");
    CreateFor(directory);
    ASSERT_EQ(2u, runs_.size()) << "converter runs logged";
    EXPECT_EQ(directory + "\\quor.exe", CommandLineField(runs_[0].iniContent));
    EXPECT_EQ(install::ShortPath(directory + "\\setup.exe") + " -REMOVE", CommandLineField(runs_[1].iniContent));
}

TEST_F(ProgramGroup, ASetupProgramThatWasNotCopiedIsNamedByItsLongPathNotByTheGamesName) {
    const std::string directory = machine::FreshDirectory("pg-nosetup\\Quorvane Demo");
    PutProgram(directory, "quor.exe");
    CreateFor(directory);
    ASSERT_EQ(2u, runs_.size()) << "converter runs logged";
    EXPECT_EQ(install::ShortPath(directory + "\\quor.exe"), CommandLineField(runs_[0].iniContent));
    EXPECT_EQ(directory + "\\setup.exe -REMOVE", CommandLineField(runs_[1].iniContent));
    EXPECT_EQ(install::ExpectedGroupFile("Uninstall Quorvane", directory + "\\setup.exe -REMOVE", directory),
              Text(machine::ReadBytes(machine::SetupIniPath())));
}

class ProgramGroupRemoval : public ::testing::Test {
  protected:
    void SetUp() override {
        machine::ResetSetupState();
        AppInstance = GetModuleHandleA(nullptr);
        owner_ = CreateDialogParamA(AppInstance, DLG_REMOVE_NAME, nullptr, e2e::QuietDialog, 0);
        ASSERT_NE(nullptr, owner_);
    }
    void TearDown() override {
        if (owner_ != nullptr) DestroyWindow(owner_);
        machine::RemoveTree(ProgramsFolder() + "\\Other Group");
        machine::ResetSetupState();
    }

    // Runs RemoveProgramGroup on a thread of its own, so that a message box of the shell cannot
    // hold the test: any dialog of this process that shows up meanwhile is dismissed and counted.
    bool RemoveWatchingForBoxes(int* boxes, const std::string& installDirectory = "C:\\qtest\\removal") {
        *boxes = 0;
        HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        // By value: a worker left running past the timeout outlives this call's arguments.
        std::thread worker([owner = owner_, installDirectory, done] {
            RemoveProgramGroup(owner, installDirectory.c_str());
            SetEvent(done);
        });
        const DWORD start = GetTickCount();
        bool finished = false;
        while (!(finished = WaitForSingleObject(done, 50) == WAIT_OBJECT_0) &&
               GetTickCount() - start < e2e::kWindowTimeoutMs) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            HWND box = e2e::FindProcessDialog(GetCurrentProcessId(), "", true);
            if (box != nullptr && box != owner_) {
                ++*boxes;
                boxMessages_ += e2e::MessageBoxText(box) + "\n";
                PostMessageA(box, WM_CLOSE, 0, 0);
            }
        }
        if (finished) {
            worker.join();
            CloseHandle(done);
        } else {
            worker.detach();  // the assertion below reports it; the process ends with the test
        }
        return finished;
    }

    HWND owner_ = nullptr;
    std::string boxMessages_;
};

// The maker's folder may hold more than this product: our two shortcuts go, and a folder only
// when they leave it empty. A folder without shortcuts of ours is not touched, empty or not, and
// an item under our title that is no shortcut is not known to be ours.
TEST_F(ProgramGroupRemoval, DeletesOurShortcutsAndTheFoldersTheyLeaveEmpty) {
    const std::string installed = machine::FreshDirectory("removal\\Quorvane Demo");
    const std::string group = machine::GroupFolder();
    machine::MakeDirectories(group);
    ASSERT_TRUE(install::WriteShortcut(group + "\\Quorvane.lnk", installed + "\\quor.exe"));
    ASSERT_TRUE(install::WriteShortcut(group + "\\Uninstall Quorvane.lnk", install::ShortPath(installed) + "\\setup.exe"));
    ASSERT_TRUE(machine::WriteBytes(group + "\\Saved\\notes.txt", "kept by the user"));
    ASSERT_TRUE(machine::WriteBytes(ProgramsFolder() + "\\Other Group\\Other.lnk", "link"));
    // The same group where Windows 95 without user profiles keeps it.
    machine::MakeDirectories(machine::WindowsGroupFolder());
    ASSERT_TRUE(install::WriteShortcut(machine::WindowsGroupFolder() + "\\Quorvane.lnk", installed + "\\quor.exe"));
    ASSERT_TRUE(machine::WriteBytes(machine::CommonGroupFolder() + "\\Quorvane.lnk", "link"));

    int boxes = 0;
    ASSERT_TRUE(RemoveWatchingForBoxes(&boxes, installed + "\\")) << "RemoveProgramGroup did not return";
    EXPECT_EQ(0, boxes) << boxMessages_;
    EXPECT_EQ(std::vector<std::string>{"Saved"}, machine::Entries(group)) << group;
    EXPECT_TRUE(machine::FileExists(group + "\\Saved\\notes.txt"));
    EXPECT_FALSE(machine::DirectoryExists(machine::WindowsGroupFolder())) << machine::WindowsGroupFolder();
    EXPECT_TRUE(machine::FileExists(machine::CommonGroupFolder() + "\\Quorvane.lnk")) << machine::CommonGroupFolder();
    EXPECT_TRUE(machine::FileExists(ProgramsFolder() + "\\Other Group\\Other.lnk"));
}

TEST_F(ProgramGroupRemoval, AMissingGroupFolderShowsNothingAndTheCallReturns) {
    machine::MakeDirectories(ProgramsFolder() + "\\Other Group");
    ASSERT_FALSE(machine::DirectoryExists(machine::GroupFolder()));

    int boxes = 0;
    ASSERT_TRUE(RemoveWatchingForBoxes(&boxes)) << "RemoveProgramGroup did not return";
    // The shell's own reports stay on; this system's shell reports nothing for a missing folder.
    EXPECT_EQ(0, boxes) << "boxes shown: " << boxMessages_;
    EXPECT_TRUE(machine::DirectoryExists(ProgramsFolder() + "\\Other Group"));
}

}  // namespace
