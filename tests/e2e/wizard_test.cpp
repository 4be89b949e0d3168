// The main menu and the directory page, through the real program.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <ostream>

#include "e2e.h"
#include "machine.h"
#include "picture_layout.h"
#include "resource_ids.h"
#include "wizard_states.h"

std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
}

namespace {

using wizard::ExpectLooks;

// Where the window shows a control, in its client area's pixels.
RECT PlaceOf(HWND dialog, int id) {
    RECT place{};
    GetWindowRect(GetDlgItem(dialog, id), &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// A box of the picture's own pixels (picture_layout.h) where the window shows it, stretched or not.
RECT OnThePicture(const PictureBox& box, const RECT& picture) {
    const int width = picture.right - picture.left, height = picture.bottom - picture.top;
    return {picture.left + MulDiv(box.left, width, kPictureWidth), picture.top + MulDiv(box.top, height, kPictureHeight),
            picture.left + MulDiv(box.right, width, kPictureWidth),
            picture.top + MulDiv(box.bottom, height, kPictureHeight)};
}

// At the standard dpi the picture shows at its own size; at a larger one (Large Fonts) the controls
// grow beyond what its art tolerates, and the picture must grow with them and cover the window.
// Either way every menu button lies right of its painted label, on the label's rows.
void ExpectTheButtonsBesideTheirLabels(HWND dialog) {
    const RECT picture = PlaceOf(dialog, IDC_PICTURE);
    RECT client{};
    GetClientRect(dialog, &client);
    if (e2e::ScreenDpi() == e2e::kStandardDpi) {
        EXPECT_EQ(kPictureWidth, picture.right - picture.left) << "the picture at " << picture;
        EXPECT_EQ(kPictureHeight, picture.bottom - picture.top) << "the picture at " << picture;
    } else {
        EXPECT_TRUE(picture.left <= 0 && picture.top <= 0 && picture.right >= client.right &&
                    picture.bottom >= client.bottom)
            << "the picture at " << picture << " covers the client area " << client;
    }
    for (const MenuLabel& m : kMenuLabels) {
        const RECT label = OnThePicture(m.box, picture), button = PlaceOf(dialog, m.button);
        EXPECT_TRUE(label.right <= button.left && label.top + label.bottom >= 2 * button.top &&
                    label.top + label.bottom < 2 * button.bottom && label.bottom <= client.bottom)
            << m.text << ": the label at " << label << ", its button at " << button << ", the client area " << client;
    }
}

// The directory page's texts, edit field and buttons on the picture's calm area, where they read well.
void ExpectTheFieldsOnTheCalmArea(HWND dialog) {
    const RECT calm = OnThePicture(kCalmArea, PlaceOf(dialog, IDC_PICTURE));
    for (int id : {IDC_STATUS, IDC_WILL_INSTALL, IDC_MODIFY_NOTE, IDC_DIR_LABEL, IDC_DIRECTORY, IDC_BROWSE, IDC_BACK,
                   IDC_NEXT, IDC_CANCEL}) {
        const RECT field = PlaceOf(dialog, id);
        EXPECT_TRUE(field.left >= calm.left && field.top >= calm.top && field.right <= calm.right &&
                    field.bottom <= calm.bottom)
            << "control " << id << " at " << field << ", the calm area at " << calm;
    }
}

// Cancel hides the page's controls first and sets the menu buttons last.
bool BackOnTheMenu(HWND dialog) {
    return !e2e::IsShown(dialog, IDC_DIRECTORY) && e2e::IsEnabled(dialog, IDC_INSTALL) && e2e::Settle(dialog);
}

bool OnTheDirectoryPage(HWND dialog) { return e2e::IsShown(dialog, IDC_DIRECTORY) && e2e::Settle(dialog); }

::testing::AssertionResult InstallOpensTheDirectoryPage(HWND dialog) {
    return wizard::ClickAndAwait(dialog, IDC_INSTALL, "the directory page", [=] { return OnTheDirectoryPage(dialog); });
}

class Wizard : public ::testing::Test {
  protected:
    void SetUp() override { machine::ResetSetupState(); }
    void TearDown() override { machine::ResetSetupState(); }

    // Records `directory` as the install directory and, when asked, puts a real program there as
    // the game.
    static void RecordInstall(const std::string& directory, bool withGame) {
        ASSERT_TRUE(machine::WriteStringValue(machine::kProductKey, "WorkDir", directory));
        if (withGame) {
            const std::string game = machine::Join(directory, "quor.exe");
            ASSERT_TRUE(CopyFileA((e2e::Win64Dir() + "\\tools\\go32.exe").c_str(), game.c_str(), FALSE));
        }
    }

    HWND Open(const std::string& caption) {
        EXPECT_TRUE(setup_.StartWith(e2e::SetupProgram()));
        HWND dialog = setup_.WaitForWindow(caption);
        EXPECT_NE(nullptr, dialog) << "awaited a window titled " << caption << "; " << wizard::DescribeProgram(setup_);
        return dialog;
    }

    void ExpectEndsWithZero() {
        EXPECT_TRUE(setup_.WaitForExit()) << "the program did not end";
        EXPECT_EQ(0u, setup_.ExitCode());
    }

    e2e::Program setup_;
};

TEST_F(Wizard, OpensTheNotInstalledMenuWhenNothingIsRecorded) {
    HWND dialog = Open(wizard::kSetupCaption);
    ASSERT_NE(nullptr, dialog);
    ExpectLooks(dialog, wizard::kMenuNotInstalled, "menu, not installed");
    e2e::SaveScreenshot("menu", dialog);
    EXPECT_TRUE(machine::KeyExists(machine::kProductKey)) << "the start-up read creates the keys";
    EXPECT_FALSE(machine::ReadValue(machine::kProductKey, "WorkDir").exists);
    ASSERT_TRUE(e2e::Click(dialog, IDC_EXIT));
    ExpectEndsWithZero();
}

// Also for a user who is no administrator, with NT 4's rights on HKEY_LOCAL_MACHINE\Software: an
// administrator's install is found all the same.
TEST_F(Wizard, OpensTheInstalledMenuWhenTheRecordedDirectoryHoldsTheGame) {
    const std::string directory = machine::FreshDirectory("wizard\\installed");
    RecordInstall(directory, true);
    const machine::RestrictedKey software("Software", machine::kPlainUserDacl);
    ASSERT_TRUE(software.Restricted());
    HWND dialog = Open(wizard::kInstalledCaption);
    ASSERT_NE(nullptr, dialog);
    ExpectLooks(dialog, wizard::kMenuInstalled, "menu, installed");
    ExpectTheButtonsBesideTheirLabels(dialog);
    e2e::SaveScreenshot("menu-installed", dialog);

    ASSERT_TRUE(InstallOpensTheDirectoryPage(dialog));
    ExpectLooks(dialog, wizard::kDirectoryPage, "directory page");
    ExpectTheFieldsOnTheCalmArea(dialog);
    e2e::SaveScreenshot("directory-page-installed", dialog);
    EXPECT_EQ(directory, e2e::EditText(dialog, IDC_DIRECTORY));
    ASSERT_TRUE(wizard::ClickAndAwait(dialog, IDC_CANCEL, "the menu again", [&] { return BackOnTheMenu(dialog); }));
    ExpectLooks(dialog, wizard::kMenuInstalled, "menu, installed, after Cancel");
    EXPECT_EQ(wizard::kInstalledCaption, e2e::WindowText(dialog));

    ASSERT_TRUE(e2e::Click(dialog, IDC_EXIT));
    ExpectEndsWithZero();
}

TEST_F(Wizard, ARecordWithoutTheGameOpensTheNotInstalledMenuButProposesTheRecordedDirectory) {
    const std::string directory = machine::FreshDirectory("wizard\\emptied");
    RecordInstall(directory, false);
    HWND dialog = Open(wizard::kSetupCaption);
    ASSERT_NE(nullptr, dialog);
    ExpectLooks(dialog, wizard::kMenuNotInstalled, "menu, not installed");
    ASSERT_TRUE(InstallOpensTheDirectoryPage(dialog));
    EXPECT_EQ(directory, e2e::EditText(dialog, IDC_DIRECTORY));
}

// An empty record names no install, so the page proposes the default.
TEST_F(Wizard, TheDirectoryPageProposesTheDefaultAndCancelReturnsToTheMenu) {
    ASSERT_TRUE(machine::WriteStringValue(machine::kProductKey, "WorkDir", ""));
    HWND dialog = Open(wizard::kSetupCaption);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(InstallOpensTheDirectoryPage(dialog));
    ExpectLooks(dialog, wizard::kDirectoryPage, "directory page");
    EXPECT_EQ("C:\\Quorvane", e2e::EditText(dialog, IDC_DIRECTORY));
    EXPECT_EQ("Next >", e2e::ControlText(dialog, IDC_NEXT));
    EXPECT_EQ(260, SendMessageA(GetDlgItem(dialog, IDC_DIRECTORY), EM_GETLIMITTEXT, 0, 0));
    const DWORD selection = static_cast<DWORD>(SendMessageA(GetDlgItem(dialog, IDC_DIRECTORY), EM_GETSEL, 0, 0));
    EXPECT_EQ(0u, LOWORD(selection)) << "the whole text is selected";
    EXPECT_EQ(11u, HIWORD(selection)) << "the whole text is selected";
    GUITHREADINFO focus{};
    focus.cbSize = sizeof(focus);
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &focus));
    EXPECT_EQ(GetDlgItem(dialog, IDC_DIRECTORY), focus.hwndFocus) << "the edit has the keyboard focus";
    e2e::SaveScreenshot("directory-page", dialog);

    const std::string typed = machine::FreshDirectory("wizard\\typed") + "\\Quorvane";
    e2e::SetEditText(dialog, IDC_DIRECTORY, typed);
    ASSERT_TRUE(wizard::ClickAndAwait(dialog, IDC_CANCEL, "the menu again", [&] { return BackOnTheMenu(dialog); }));
    ExpectLooks(dialog, wizard::kMenuNotInstalled, "menu after Cancel");
    // Enter on the menu goes to button 1, the default button, hidden there: it must not install
    // into what the hidden edit still holds. The Exit posted behind it is handled after it.
    PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
    e2e::PostCommand(dialog, IDC_EXIT, BN_CLICKED);
    ExpectEndsWithZero();
    EXPECT_FALSE(machine::DirectoryExists(typed)) << "Enter on the menu installed";
}

TEST_F(Wizard, CommandsWithANotificationCodeAndIdsOutsideTheTableDoNothing) {
    HWND dialog = Open(wizard::kSetupCaption);
    ASSERT_NE(nullptr, dialog);
    for (int id : {IDC_INSTALL, IDC_EXIT, IDC_README, IDC_NEXT, IDC_CANCEL}) {
        ASSERT_TRUE(e2e::SendCommand(dialog, id, BN_DOUBLECLICKED)) << "id " << id;
    }
    for (int id : {IDC_DIRECTORY, IDC_BACK, IDC_DIRECTX, 1020, 1030, IDC_STATUS}) {
        ASSERT_TRUE(e2e::SendCommand(dialog, id, BN_CLICKED)) << "id " << id;
    }
    EXPECT_TRUE(setup_.Running());
    ExpectLooks(dialog, wizard::kMenuNotInstalled, "menu after ignored commands");

    ASSERT_TRUE(InstallOpensTheDirectoryPage(dialog));
    for (int id : {IDC_CANCEL, IDC_EXIT, IDC_BROWSE}) {
        ASSERT_TRUE(e2e::SendCommand(dialog, id, BN_DOUBLECLICKED)) << "id " << id;
    }
    ASSERT_TRUE(e2e::SendCommand(dialog, IDC_DIRECTX, BN_CLICKED));
    EXPECT_TRUE(setup_.Running());
    ExpectLooks(dialog, wizard::kDirectoryPage, "directory page after ignored commands");
}

TEST_F(Wizard, ExitEndsTheProgramFromTheDirectoryPage) {
    HWND dialog = Open(wizard::kSetupCaption);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(InstallOpensTheDirectoryPage(dialog));
    ASSERT_TRUE(e2e::Click(dialog, IDC_EXIT));
    ExpectEndsWithZero();
}

TEST_F(Wizard, TheCloseBoxEndsTheProgramFromEitherMenu) {
    HWND dialog = Open(wizard::kSetupCaption);
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectEndsWithZero();

    const std::string directory = machine::FreshDirectory("wizard\\closebox");
    RecordInstall(directory, true);
    e2e::Program installed;
    ASSERT_TRUE(installed.StartWith(e2e::SetupProgram()));
    dialog = installed.WaitForWindow(wizard::kInstalledCaption);
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(installed.WaitForExit());
    EXPECT_EQ(0u, installed.ExitCode());
}

TEST_F(Wizard, TheCloseBoxOnTheDirectoryPageReturnsToTheMenu) {
    HWND dialog = Open(wizard::kSetupCaption);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(InstallOpensTheDirectoryPage(dialog));
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return BackOnTheMenu(dialog); }, e2e::kWindowTimeoutMs))
        << wizard::Awaited("the menu again", dialog);
    ExpectLooks(dialog, wizard::kMenuNotInstalled, "menu after the close box on the directory page");
    EXPECT_TRUE(setup_.Running());
}

// The folder browser: Cancel changes nothing; a chosen folder replaces the edit's text.
TEST_F(Wizard, BrowseCancelledChangesNothingAndBrowseConfirmedTakesTheFolder) {
    HWND dialog = Open(wizard::kSetupCaption);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(InstallOpensTheDirectoryPage(dialog));

    ASSERT_TRUE(e2e::Click(dialog, IDC_BROWSE));
    HWND browser = e2e::WaitForOwnedDialog(dialog);
    ASSERT_NE(nullptr, browser) << "the folder browser did not open";
    e2e::AnswerMessageBox(browser, IDCANCEL);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(browser); }, e2e::kWindowTimeoutMs))
        << wizard::Awaited("the folder browser to close", dialog);
    EXPECT_EQ("C:\\Quorvane", e2e::EditText(dialog, IDC_DIRECTORY));

    ASSERT_TRUE(e2e::Click(dialog, IDC_BROWSE));
    browser = e2e::WaitForOwnedDialog(dialog);
    ASSERT_NE(nullptr, browser);
    HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
    ASSERT_NE(nullptr, tree);
    LRESULT root = 0;
    ASSERT_TRUE(e2e::WaitFor([&] { return (root = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)) != 0; },
                             e2e::kWindowTimeoutMs)) << "awaited a root item in the browser's tree; it has none";
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, root);
    ASSERT_TRUE(e2e::WaitFor([&] { return IsWindowEnabled(GetDlgItem(browser, IDOK)) != FALSE; },
                             e2e::kWindowTimeoutMs)) << "awaited the browser's OK on for the root; it stayed off";
    e2e::AnswerMessageBox(browser, IDOK);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(browser); }, e2e::kWindowTimeoutMs))
        << wizard::Awaited("the folder browser to close", dialog);
    char desktop[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    EXPECT_EQ(desktop, e2e::EditText(dialog, IDC_DIRECTORY)) << "the desktop, the browser's root";
}

}  // namespace
