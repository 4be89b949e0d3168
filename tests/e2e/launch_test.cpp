// The finish page and the menu's launch actions, through the real program: Finish, Read Me,
// Play and the other programs they start.
#include <gtest/gtest.h>

#include "e2e.h"
#include "install_support.h"
#include "machine.h"
#include "resource_ids.h"
#include "wizard_states.h"

namespace {

constexpr char kGameClass[] = "QuorvaneGame";
constexpr char kWordpadClass[] = "WORDPADTOP";

// A top-level window of another program, found by its class; null after the time-out.
HWND WaitForWindowOfClass(const char* className, DWORD timeoutMs = e2e::kWindowTimeoutMs) {
    HWND window = nullptr;
    e2e::WaitFor([&] {
        window = FindWindowA(className, nullptr);
        return window != nullptr && IsWindowVisible(window);
    }, timeoutMs);
    return window;
}

void EndAll(const char* className) { e2e::EndProcessesNamed(className == kGameClass ? "quor.exe" : "wordpad.exe"); }

BOOL CALLBACK FindEditor(HWND child, LPARAM found) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof(className));
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, className, 8, "RichEdit", 8) != CSTR_EQUAL) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The text of the document the word processor shows, asked of its rich-edit control.
std::string DocumentText(HWND wordpad) {
    std::string text;
    e2e::WaitFor([&] {
        HWND editor = nullptr;
        EnumChildWindows(wordpad, FindEditor, reinterpret_cast<LPARAM>(&editor));
        if (editor == nullptr) return false;
        char buffer[4096] = {};
        DWORD_PTR result = 0;
        SendMessageTimeoutA(editor, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000,
                            &result);
        text = buffer;
        return !text.empty();
    }, e2e::kWindowTimeoutMs);
    return text;
}

class Launch : public ::testing::Test {
  protected:
    void SetUp() override {
        machine::ResetSetupState();
        EndAll(kGameClass);
        EndAll(kWordpadClass);
    }
    void TearDown() override {
        EndAll(kGameClass);
        EndAll(kWordpadClass);
        machine::ResetSetupState();
    }

    // A medium whose read-me says which copy it is.
    static std::string MarkedMedium(const std::string& name) {
        const std::string medium = install::CopyMedium(name);
        machine::WriteBytes(medium + "\\docs\\README.doc", "{\\rtf1 This is the copy on the medium.}");
        return medium;
    }
    static void MarkInstalledReadme(const std::string& destination) {
        machine::WriteBytes(destination + "\\docs\\README.doc", "{\\rtf1 This is the installed copy.}");
    }
    static void ExpectReadmeOpened(const std::string& expectedText, const std::string& context) {
        HWND wordpad = WaitForWindowOfClass(kWordpadClass);
        ASSERT_NE(nullptr, wordpad) << "no word processor window " << context;
        EXPECT_NE(std::string::npos, DocumentText(wordpad).find(expectedText)) << context;
        EndAll(kWordpadClass);
    }

    e2e::Program setup_;
};

TEST_F(Launch, ReadMeOnTheNotInstalledMenuOpensTheCdsDocument) {
    // Started from a folder that holds another read-me under the same relative name.
    const std::string elsewhere = machine::FreshDirectory("launch\\readme\\elsewhere");
    machine::WriteBytes(elsewhere + "\\docs\\README.doc", "{\\rtf1 This is a decoy.}");
    ASSERT_TRUE(setup_.StartWith(std::string(e2e::kCdDrive) + "\\setup.exe", "", elsewhere));
    HWND dialog = setup_.WaitForWindow(wizard::kSetupCaption);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(e2e::Click(dialog, IDC_README));
    ExpectReadmeOpened("Thank you for trying the Quorvane demo", "from the not-installed menu");
    EXPECT_TRUE(setup_.Running()) << "the setup stays open";
}

// The destination is typed relative to the directory the setup was started in (the medium's).
// By a user who is no administrator, with NT 4's rights on HKEY_LOCAL_MACHINE\Software: the
// install records its folder and its uninstall entry, and the removal deletes them.
TEST_F(Launch, AfterAnInstallFinishReturnsToTheInstalledMenuWhoseActionsUseTheInstalledCopy) {
    const machine::RestrictedKey software("Software", machine::kPlainUserDacl);
    ASSERT_TRUE(software.Restricted());
    const std::string medium = MarkedMedium("launch\\finish\\cd");
    const std::string destination = medium + "\\Games\\Quorvane";
    HWND dialog = install::InstallToFinishPage(setup_, medium, "Games\\Quorvane");
    ASSERT_NE(nullptr, dialog);
    MarkInstalledReadme(destination);
    EXPECT_EQ(destination, machine::ReadValue(machine::kProductKey, "WorkDir").Text());
    EXPECT_EQ(destination + "\\setup.exe -REMOVE", machine::ReadValue(machine::kUninstallKey, "UninstallString").Text());
    install::Shortcut game;
    EXPECT_TRUE(e2e::WaitFor([&] {
        game = install::ReadShortcut(machine::GroupFolder() + "\\Quorvane.lnk");
        return game.loaded;
    }, e2e::kWindowTimeoutMs)) << "awaited the game's item in " << machine::GroupFolder();
    EXPECT_EQ(install::ShortPath(destination + "\\quor.exe"), game.path);
    EXPECT_EQ(destination, game.workingDirectory);
    EXPECT_FALSE(machine::DirectoryExists(destination + "\\Games")) << "the relative name taken twice";

    ASSERT_TRUE(wizard::ClickAndAwait(dialog, IDC_NEXT, "the menu after Finish", [&] {
        return !e2e::IsShown(dialog, IDC_NEXT) && e2e::Settle(dialog);
    }));
    wizard::ExpectLooks(dialog, wizard::kMenuInstalled, "menu after Finish");
    EXPECT_TRUE(e2e::IsEnabled(dialog, IDC_CANCEL)) << "button 2, hidden, is enabled so that the close box works";
    EXPECT_EQ(wizard::kSetupCaption, e2e::WindowText(dialog)) << "the caption does not change";
    e2e::SaveScreenshot("menu-after-install", dialog);

    ASSERT_TRUE(e2e::Click(dialog, IDC_README));
    ExpectReadmeOpened("installed copy", "from the menu right after the install");

    // The directory page again: its status line still says what the install said last, and Cancel
    // returns to the installed menu.
    ASSERT_TRUE(wizard::ClickAndAwait(dialog, IDC_INSTALL, "the directory page", [&] {
        return e2e::IsShown(dialog, IDC_DIRECTORY) && e2e::Settle(dialog);
    }));
    EXPECT_TRUE(e2e::IsShown(dialog, IDC_STATUS));
    EXPECT_EQ(0u, e2e::ControlText(dialog, IDC_STATUS).rfind("Please wait...  Decompressing Audio...", 0))
        << e2e::ControlText(dialog, IDC_STATUS);
    EXPECT_EQ(destination, e2e::EditText(dialog, IDC_DIRECTORY));
    ASSERT_TRUE(wizard::ClickAndAwait(dialog, IDC_CANCEL, "the installed menu after Cancel", [&] {
        return !e2e::IsShown(dialog, IDC_DIRECTORY) && e2e::IsEnabled(dialog, IDC_PLAY) && e2e::Settle(dialog);
    }));
    wizard::ExpectLooks(dialog, wizard::kMenuInstalled, "menu after Cancel on the reopened directory page");

    install::UninstallFromTheMenu(setup_, dialog);
    EXPECT_FALSE(machine::FileExists(destination + "\\quor.exe")) << "the removal empties " << destination;
    EXPECT_FALSE(machine::KeyExists(machine::kProductKey)) << "the removal of " << destination;
    EXPECT_FALSE(machine::KeyExists(machine::kUninstallKey)) << "the removal of " << destination;
}

// The directory page, opened again, proposes the default; the proposal must not become the
// directory that the menu acts on.
TEST_F(Launch, WhenTheRecordsAreRefusedTheInstalledMenuActsOnTheInstallJustMade) {
    const machine::RestrictedKey software("Software", machine::kNoWritesDacl);
    ASSERT_TRUE(software.Restricted());
    const std::string proposal = "C:\\Quorvane";
    machine::RemoveTree(proposal);
    ASSERT_TRUE(machine::WriteBytes(proposal + "\\quor.exe", "somebody else's"));
    const std::string destination = "C:\\qtest\\launch\\refused\\Quorvane";
    HWND dialog = install::InstallToFinishPage(setup_, e2e::MediumDir(), destination);
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(machine::ReadValue(machine::kProductKey, "WorkDir").exists) << "the record was refused";
    ASSERT_TRUE(wizard::ClickAndAwait(dialog, IDC_NEXT, "the installed menu after Finish", [&] {
        return e2e::IsEnabled(dialog, IDC_PLAY) && e2e::Settle(dialog);
    }));
    ASSERT_TRUE(wizard::ClickAndAwait(dialog, IDC_INSTALL, "the directory page", [&] {
        return e2e::IsShown(dialog, IDC_DIRECTORY) && e2e::Settle(dialog);
    }));
    EXPECT_EQ(proposal, e2e::EditText(dialog, IDC_DIRECTORY));
    ASSERT_TRUE(wizard::ClickAndAwait(dialog, IDC_CANCEL, "the installed menu after Cancel", [&] {
        return e2e::IsEnabled(dialog, IDC_UNINSTALL) && e2e::Settle(dialog);
    }));
    install::UninstallFromTheMenu(setup_, dialog);
    EXPECT_FALSE(machine::FileExists(destination + "\\quor.exe")) << "the install just made is removed";
    const auto kept = machine::ReadBytes(proposal + "\\quor.exe");
    EXPECT_EQ("somebody else's", std::string(kept.begin(), kept.end())) << "the proposal is no install";
    machine::RemoveTree(proposal);
}

TEST_F(Launch, ReadMeOnAMenuThatFoundTheGameOpensTheInstalledCopy) {
    const std::string medium = MarkedMedium("launch\\found\\cd");
    const std::string destination = machine::FreshDirectory("launch\\found\\Quorvane");
    install::SimulateInstall(medium, destination);
    MarkInstalledReadme(destination);
    ASSERT_TRUE(setup_.StartWith(medium + "\\setup.exe", "", medium));
    HWND dialog = setup_.WaitForWindow(wizard::kInstalledCaption);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(e2e::Click(dialog, IDC_README));
    ExpectReadmeOpened("installed copy", "from the menu that found the game");
}

TEST_F(Launch, PlayStartsTheGameInItsDirectoryAndEndsTheSetup) {
    const std::string medium = e2e::MediumDir();
    const std::string destination = machine::FreshDirectory("launch\\play\\Quorvane");
    install::SimulateInstall(medium, destination);
    ASSERT_TRUE(setup_.StartWith(medium + "\\setup.exe", "", "C:\\"));
    HWND dialog = setup_.WaitForWindow(wizard::kInstalledCaption);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(e2e::Click(dialog, IDC_PLAY));
    HWND game = WaitForWindowOfClass(kGameClass);
    ASSERT_NE(nullptr, game) << "the game's window did not appear";
    EXPECT_TRUE(setup_.WaitForExit()) << "the setup ends once the game runs";
    EXPECT_EQ(0u, setup_.ExitCode());
    // The game reports what it finds in its working directory: the whole install.
    EXPECT_TRUE(e2e::WaitFor([&] { return e2e::ControlText(game, 100).find("139/139") != std::string::npos; },
                             e2e::kWindowTimeoutMs))
        << "awaited the game's report of 139/139 files, came " << e2e::ControlText(game, 100);
    e2e::SaveScreenshot("game", game);
}

TEST_F(Launch, PlayFindsTheGameInADirectoryWithBlanks) {
    const std::string medium = e2e::MediumDir();
    const std::string parent = machine::FreshDirectory("launch\\blanks");
    const std::string destination = parent + "\\My Games\\Quorvane";
    machine::MakeDirectories(destination);
    install::SimulateInstall(medium, destination);
    // Unquoted, the system would run this one instead.
    ASSERT_TRUE(CopyFileA((medium + "\\go32.exe").c_str(), (parent + "\\My.exe").c_str(), FALSE));
    ASSERT_TRUE(setup_.StartWith(medium + "\\setup.exe", "", "C:\\"));
    HWND dialog = setup_.WaitForWindow(wizard::kInstalledCaption);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(e2e::Click(dialog, IDC_PLAY));
    EXPECT_NE(nullptr, WaitForWindowOfClass(kGameClass)) << "the game in " << destination;
    EXPECT_TRUE(setup_.WaitForExit());
}

TEST_F(Launch, PlayAfterTheGameWasDeletedLeavesTheMenuOpenWithoutAMessage) {
    const std::string medium = e2e::MediumDir();
    const std::string destination = machine::FreshDirectory("launch\\deleted\\Quorvane");
    install::SimulateInstall(medium, destination);
    ASSERT_TRUE(setup_.StartWith(medium + "\\setup.exe", "", "C:\\"));
    HWND dialog = setup_.WaitForWindow(wizard::kInstalledCaption);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(DeleteFileA((destination + "\\quor.exe").c_str()));
    ASSERT_TRUE(e2e::Click(dialog, IDC_PLAY));
    ASSERT_TRUE(e2e::Settle(dialog));
    EXPECT_EQ(nullptr, e2e::WaitForOwnedDialog(dialog, 1000)) << "no message";
    EXPECT_TRUE(setup_.Running());
    wizard::ExpectLooks(dialog, wizard::kMenuInstalled, "menu after a game that did not start");
    EXPECT_EQ(nullptr, FindWindowA(kGameClass, nullptr));
}

}  // namespace
