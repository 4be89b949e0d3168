// The group converter stand-in on its own, started as the install starts it: the shortcuts it
// makes of SETUP.INI, what it skips, and when it converts without being asked to.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "e2e.h"
#include "grpconv_log.h"
#include "install_support.h"
#include "machine.h"

namespace {

// A run reads one small SETUP.INI; one that has not ended by then never will.
constexpr DWORD kConverterTimeoutMs = 30000;

using grpconv::ConverterRun;
using grpconv::LogSize;
using grpconv::RunsSince;
using machine::ProgramsFolder;

// The converter stand-in, started as the install starts it.
class Grpconv : public ::testing::Test {
  protected:
    void SetUp() override {
        machine::ResetSetupState();
        RemoveTestGroups();
        ASSERT_TRUE(machine::FileExists(Program())) << "the harness puts the converter at " << Program();
    }
    void TearDown() override {
        RemoveTestGroups();
        machine::ResetSetupState();
    }

    static std::string Program() { return machine::WindowsDirectory() + "\\grpconv.exe"; }
    static std::string Alpha() { return ProgramsFolder() + "\\Grpconv Alpha"; }
    static std::string Beta() { return ProgramsFolder() + "\\Grpconv Beta"; }
    static void RemoveTestGroups() {
        machine::RemoveTree(Alpha());
        machine::RemoveTree(Beta());
    }

    // Runs the converter to its end; its exit code, or STILL_ACTIVE when it did not end.
    DWORD Run(const std::string& arguments) {
        e2e::Program converter;
        const size_t offset = LogSize();
        if (!converter.StartWith(Program(), arguments)) return STILL_ACTIVE;
        if (!converter.WaitForExit(kConverterTimeoutMs)) return STILL_ACTIVE;
        const std::vector<ConverterRun> runs = RunsSince(offset);
        run_ = runs.empty() ? ConverterRun{} : runs.back();
        return converter.ExitCode();
    }

    ConverterRun run_;
};

TEST_F(Grpconv, MakesAShortcutOfEveryItemOfEveryGroup) {
    ASSERT_TRUE(machine::WriteBytes(
        machine::SetupIniPath(),
        "[progman.groups]\r\n"
        "first=Grpconv Alpha\r\n"
        "second=Grpconv Beta\r\n"
        "[first]\r\n"
        "\"Game\",\"C:\\GAMES\\QUOR~1\\quor.exe\",,,,\"C:\\Games\\Quor Demo\"\r\n"
        "\"Remove\",\"C:\\GAMES\\QUOR~1\\setup.exe -REMOVE now\",,,,\"C:\\Games\"\r\n"
        "[second]\r\n"
        "\"Quoted\",\"\"C:\\Program Files\\Tool\\tool.exe\" /x, y\",,,,\"\"\r\n"));
    EXPECT_EQ(0u, Run("-o"));

    const install::Shortcut game = install::ReadShortcut(Alpha() + "\\Game.lnk");
    ASSERT_TRUE(game.loaded) << run_.notes;
    EXPECT_EQ("C:\\GAMES\\QUOR~1\\quor.exe", game.path);
    EXPECT_EQ("", game.arguments);
    EXPECT_EQ("C:\\Games\\Quor Demo", game.workingDirectory);

    const install::Shortcut remove = install::ReadShortcut(Alpha() + "\\Remove.lnk");
    ASSERT_TRUE(remove.loaded) << run_.notes;
    EXPECT_EQ("C:\\GAMES\\QUOR~1\\setup.exe", remove.path);
    EXPECT_EQ("-REMOVE now", remove.arguments);
    EXPECT_EQ("C:\\Games", remove.workingDirectory);

    const install::Shortcut quoted = install::ReadShortcut(Beta() + "\\Quoted.lnk");
    ASSERT_TRUE(quoted.loaded) << run_.notes;
    EXPECT_EQ("C:\\Program Files\\Tool\\tool.exe", quoted.path);
    EXPECT_EQ("/x, y", quoted.arguments);
}

TEST_F(Grpconv, SkipsWhatItCannotReadInAMalformedFileAndMakesTheRest) {
    const std::string overlong(5000, 'L');
    ASSERT_TRUE(machine::WriteBytes(
        machine::SetupIniPath(),
        std::string("garbage before any section\r\n"
                    "[progman.groups]\r\n"
                    "a line without an equals sign\r\n"
                    "first=Grpconv Alpha\r\n"
                    "missing=Grpconv Beta\r\n"
                    "bad=Bad/Name\r\n"
                    "=Grpconv Beta\r\n"
                    "[first\r\n"
                    "[first]\r\n"
                    "Unquoted,C:\\GAMES\\quor.exe -x,,,,C:\\GAMES\r\n"
                    "\"Long\",\"C:\\") +
            overlong + "\\quor.exe\",,,,\"C:\\\"\r\n\"" + overlong +
            "\",\"C:\\quor.exe\",,,,\"\"\r\n"
            "\"No command\"\r\n"
            "\"Empty command\",\"\",,,,\"C:\\\"\r\n"
            "\"Bad:title\",\"C:\\quor.exe\",,,,\"\"\r\n"
            "\"Unclosed quote,\"C:\\quor.exe\r\n" +
            std::string("\x01\x02\xff\xfe\0binary\0", 12) + "\r\n" +
            "\"Last\",\"C:\\GAMES\\last.exe\",,,,\"C:\\GAMES\"\r\n"));
    const DWORD exitCode = Run("-o");
    EXPECT_EQ(0u, exitCode) << "exit code of the converter (a crash gives an exception code)";

    const install::Shortcut unquoted = install::ReadShortcut(Alpha() + "\\Unquoted.lnk");
    ASSERT_TRUE(unquoted.loaded) << run_.notes;
    EXPECT_EQ("C:\\GAMES\\quor.exe", unquoted.path);
    EXPECT_EQ("-x", unquoted.arguments);
    EXPECT_EQ("C:\\GAMES", unquoted.workingDirectory);
    EXPECT_TRUE(install::ReadShortcut(Alpha() + "\\Last.lnk").loaded) << run_.notes;

    // Everything else is skipped: the folder holds the two readable items alone.
    EXPECT_EQ((std::vector<std::string>{"Last.lnk", "Unquoted.lnk"}), machine::Entries(Alpha())) << run_.notes;
    EXPECT_FALSE(machine::DirectoryExists(Beta())) << "a group without its section makes no folder";
}

TEST_F(Grpconv, AFileWithoutTheGroupsSectionMakesNothing) {
    ASSERT_TRUE(machine::WriteBytes(machine::SetupIniPath(),
                                    "[first]\r\n\"Game\",\"C:\\quor.exe\",,,,\"C:\\\"\r\n"));
    EXPECT_EQ(0u, Run("-o"));
    EXPECT_TRUE(run_.sawIni) << "the run read SETUP.INI";
    EXPECT_FALSE(machine::DirectoryExists(Alpha()));
}

TEST_F(Grpconv, WithoutArgumentsAndWithoutSetupIniExitsZeroAndMakesNothing) {
    ASSERT_FALSE(machine::FileExists(machine::SetupIniPath()));
    const bool hadPrograms = machine::DirectoryExists(ProgramsFolder());
    EXPECT_EQ(0u, Run(""));
    EXPECT_FALSE(run_.sawIni) << "the run's log entry";
    EXPECT_EQ("", run_.arguments);
    EXPECT_EQ(hadPrograms, machine::DirectoryExists(ProgramsFolder()));
}

TEST_F(Grpconv, WithoutArgumentsConvertsTheSetupIniThatIsThere) {
    ASSERT_TRUE(machine::WriteBytes(
        machine::SetupIniPath(),
        "[progman.groups]\r\ngroupX=Grpconv Alpha\r\n[groupX]\r\n\"Uninstall\",\"C:\\Q\\setup.exe "
        "-REMOVE\",,,,\"C:\\Q\"\r\n"));
    EXPECT_EQ(0u, Run(""));
    const install::Shortcut uninstall = install::ReadShortcut(Alpha() + "\\Uninstall.lnk");
    ASSERT_TRUE(uninstall.loaded) << run_.notes;
    EXPECT_EQ("C:\\Q\\setup.exe", uninstall.path);
    EXPECT_EQ("-REMOVE", uninstall.arguments);
}

// As after an uninstall: the group the install made was removed, SETUP.INI is unchanged, and the
// setup program starts the converter without arguments on its way out.
TEST_F(Grpconv, WithoutArgumentsASetupIniConvertedBeforeIsNotConvertedAgain) {
    ASSERT_TRUE(machine::WriteBytes(
        machine::SetupIniPath(),
        "[progman.groups]\r\ngroupX=Grpconv Alpha\r\n[groupX]\r\n\"Uninstall\",\"C:\\Q\\setup.exe "
        "-REMOVE\",,,,\"C:\\Q\"\r\n"));
    EXPECT_EQ(0u, Run("-o"));
    ASSERT_TRUE(install::ReadShortcut(Alpha() + "\\Uninstall.lnk").loaded) << run_.notes;
    RemoveTestGroups();
    EXPECT_EQ(0u, Run(""));
    EXPECT_FALSE(machine::DirectoryExists(Alpha())) << run_.notes;
    EXPECT_EQ(0u, Run("-o"));
    EXPECT_TRUE(install::ReadShortcut(Alpha() + "\\Uninstall.lnk").loaded) << "asked with -o it converts again";
}

}  // namespace
