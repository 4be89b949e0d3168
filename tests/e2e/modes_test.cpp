// Which dialog the real program opens for a command line, through its own start-up code.
#include <gtest/gtest.h>

#include "e2e.h"
#include "machine.h"
#include "resource_ids.h"

namespace {

enum class Mode { Install, Remove, None };

// Starts a copy of the program with exactly `commandLine`, tells which dialog opened, closes it
// with its own button and checks that the process ends with 0.
Mode ModeFor(const std::string& program, const std::string& commandLine) {
    e2e::Program setup;
    EXPECT_TRUE(setup.Start(program, commandLine)) << commandLine;
    HWND dialog = setup.WaitForAnyDialog();
    if (dialog == nullptr) return Mode::None;
    Mode mode = Mode::None;
    if (GetDlgItem(dialog, IDC_REMOVE_OK) != nullptr) {
        mode = Mode::Remove;
        EXPECT_EQ("Uninstall Quorvane", e2e::WindowText(dialog));
        EXPECT_TRUE(e2e::Click(dialog, IDC_REMOVE_CANCEL));
    } else if (GetDlgItem(dialog, IDC_PICTURE) != nullptr) {
        mode = Mode::Install;
        EXPECT_TRUE(e2e::Click(dialog, IDC_EXIT));
    }
    EXPECT_TRUE(setup.WaitForExit()) << commandLine;
    EXPECT_EQ(0u, setup.ExitCode()) << commandLine;
    return mode;
}

class Modes : public ::testing::Test {
  protected:
    void SetUp() override {
        machine::ResetSetupState();
        directory_ = machine::FreshDirectory("modes\\with blanks");
        program_ = directory_ + "\\setup.exe";
        ASSERT_TRUE(CopyFileA(e2e::SetupProgram().c_str(), program_.c_str(), FALSE));
    }
    std::string Quoted() const { return "\"" + program_ + "\""; }
    std::string directory_, program_;
};

TEST_F(Modes, ExactlyDashREMOVESelectsTheUninstallDialog) {
    EXPECT_EQ(Mode::Remove, ModeFor(program_, Quoted() + " -REMOVE"));
}

TEST_F(Modes, AnUnquotedProgramPathSelectsByTheSameRule) {
    const std::string plain = machine::FreshDirectory("modes\\plain") + "\\setup.exe";
    ASSERT_TRUE(CopyFileA(e2e::SetupProgram().c_str(), plain.c_str(), FALSE));
    EXPECT_EQ(Mode::Remove, ModeFor(plain, plain + " -REMOVE"));
    EXPECT_EQ(Mode::Install, ModeFor(plain, plain));
    // "Größe" in the ANSI code page: bytes of 0x80 and more are part of the name.
    const std::string accented = machine::FreshDirectory("modes\\Gr\xF6\xDF" "e") + "\\setup.exe";
    ASSERT_TRUE(CopyFileA(e2e::SetupProgram().c_str(), accented.c_str(), FALSE));
    EXPECT_EQ(Mode::Remove, ModeFor(accented, accented + " -REMOVE"));
}

TEST_F(Modes, NoArgumentOrTheWordInLowerCaseSelectsTheWizard) {
    EXPECT_EQ(Mode::Install, ModeFor(program_, Quoted()));
    EXPECT_EQ(Mode::Install, ModeFor(program_, Quoted() + " -remove"));
}

TEST_F(Modes, EverythingElseSelectsTheWizard) {
    EXPECT_EQ(Mode::Install, ModeFor(program_, Quoted() + " -REMOVE "));
    EXPECT_EQ(Mode::Install, ModeFor(program_, Quoted() + " /REMOVE"));
    EXPECT_EQ(Mode::Install, ModeFor(program_, Quoted() + " -REMOVE x"));
}

}  // namespace
