// The uninstall dialog, through the real program: in remove mode and from the wizard's menu.
#include <gtest/gtest.h>

#include "e2e.h"
#include "install_support.h"
#include "machine.h"
#include "manifest.h"
#include "resource_ids.h"
#include "wizard_states.h"

namespace {

constexpr char kPrompt[] = "This will completely remove Quorvane demo 4 from your system.  Click OK to proceed...";
constexpr char kDone[] = "Removal complete!  Thanks for playing!";
constexpr char kUninstallCaption[] = "Uninstall Quorvane";

class Uninstall : public ::testing::Test {
  protected:
    void SetUp() override {
        machine::ResetSetupState();
        install::ClearGrpconvLog();
    }
    void TearDown() override { machine::ResetSetupState(); }

    // Starts `program` with "-REMOVE" and waits for the uninstall dialog.
    HWND OpenRemoveMode(e2e::Program& program, const std::string& path) {
        EXPECT_TRUE(program.StartWith(path, "-REMOVE"));
        HWND dialog = program.WaitForWindow(kUninstallCaption);
        EXPECT_NE(nullptr, dialog) << "awaited " << kUninstallCaption << "; " << wizard::DescribeProgram(program);
        return dialog;
    }

    // What an install leaves in C:\qtest\<name>, and its copy started with "-REMOVE".
    HWND OpenSimulatedInstall(e2e::Program& remover, const std::string& name, std::string* destination) {
        *destination = machine::FreshDirectory(name);
        install::SimulateInstall(e2e::MediumDir(), *destination);
        return OpenRemoveMode(remover, *destination + "\\setup.exe");
    }

    static bool RemovalDone(HWND dialog) {
        return e2e::ControlText(dialog, IDC_REMOVE_TEXT) == kDone && e2e::IsEnabled(dialog, IDC_REMOVE_OK) &&
               e2e::Settle(dialog, 1000);
    }

    // OK, and the removal through to its end.
    static ::testing::AssertionResult Remove(HWND dialog) {
        return wizard::ClickAndAwait(dialog, IDC_REMOVE_OK, "the end of the removal",
                                     [=] { return RemovalDone(dialog); }, e2e::kInstallTimeoutMs);
    }
};

// What a removal leaves of an install in `directory`: setup.exe, every folder, the files that
// lie outside the manifest; everything else of the manifest is gone.
void ExpectRemoved(const std::string& directory) {
    for (const std::string& entry : install::CopiedEntries()) {
        const std::string relative = entry[0] == '\\' ? entry.substr(1) : entry;
        if (relative == "setup.exe") continue;
        EXPECT_FALSE(machine::FileExists(directory + "\\" + relative)) << relative << " was not removed";
    }
    for (const std::string& name : install::ConvertedNames()) {
        EXPECT_FALSE(machine::FileExists(directory + "\\" + name)) << name << " was not removed";
    }
    EXPECT_TRUE(machine::FileExists(directory + "\\setup.exe"));
    for (const char* folder : {"", "\\kq_res", "\\res", "\\bitmaps", "\\sfx", "\\docs"}) {
        EXPECT_TRUE(machine::DirectoryExists(directory + folder)) << "folder " << directory + folder;
    }
    EXPECT_TRUE(machine::FileExists(directory + "\\mp3.bat"));
    EXPECT_TRUE(machine::FileExists(directory + "\\go32.exe"));
}

// `gone`: the maker's key, or only the product's when the maker's holds another product too.
void ExpectKeysRemoved(const char* gone = machine::kCompanyKey) {
    EXPECT_FALSE(machine::KeyExists(gone));
    EXPECT_FALSE(machine::KeyExists(machine::kUninstallKey));
    EXPECT_FALSE(machine::DirectoryExists(machine::GroupFolder()));
    EXPECT_FALSE(machine::DirectoryExists(machine::WindowsGroupFolder()));
}

// Programs under the names of the system's own, in a directory that anybody may write to.
constexpr const char* kPlantedNames[] = {"command.com", "command.exe", "grpconv.exe"};

// And a library under the name of one of the system's that is no known DLL of Windows 95 and NT 4,
// which they would take from the program's folder first (as every start of a program tells Wine to).
constexpr char kPlantedLibrary[] = "winmm.dll";

void PlantLibrary(const std::string& directory) {
    const std::string planted = (e2e::ShippedProgram() ? e2e::Win32Dir() : e2e::Win64Dir()) + "\\tests\\planted\\";
    ASSERT_TRUE(CopyFileA((planted + kPlantedLibrary).c_str(), (directory + "\\" + kPlantedLibrary).c_str(), FALSE));
}

void ExpectNonePlantedRan(const std::string& directory, const std::string& context) {
    for (const char* name : kPlantedNames) {
        EXPECT_FALSE(machine::FileExists(directory + "\\" + name + ".ran")) << name << " ran " << context;
    }
    EXPECT_FALSE(machine::FileExists(directory + "\\" + kPlantedLibrary + ".loaded")) << "loaded " << context;
}

TEST_F(Uninstall, TheInstalledCopyWithDashREMOVERemovesTheInstallAndRunsNothingPlantedBesideIt) {
    const std::string medium = install::CopyMedium("uninstall\\real\\cd");
    // An existing destination, where the install and then the installed copy would find these
    // first if they started the system's programs by bare names.
    const std::string destination = machine::FreshDirectory("uninstall\\real\\Quorvane");
    const std::string planted = e2e::Win64Dir() + "\\tests\\planted.exe";
    for (const char* name : kPlantedNames) {
        ASSERT_TRUE(CopyFileA(planted.c_str(), (destination + "\\" + name).c_str(), FALSE)) << name;
    }
    PlantLibrary(medium);
    PlantLibrary(destination);
    {
        e2e::Program setup;
        HWND wizardWindow = install::InstallToFinishPage(setup, medium, destination);
        ASSERT_NE(nullptr, wizardWindow);
        // The start-up's sound came from the system's library all the same.
        e2e::StatusSpy spy;
        ASSERT_TRUE(spy.Attach(wizardWindow) && e2e::Settle(wizardWindow));
        ASSERT_TRUE(e2e::WaitFor([&] { return !spy.Texts(spy::kSoundLibraryRecord).empty(); }, e2e::kWindowTimeoutMs))
            << "awaited the record of the sound's library; none came";
        EXPECT_EQ(std::vector<std::string>{machine::SystemDirectory() + "\\" + kPlantedLibrary},
                  spy.Texts(spy::kSoundLibraryRecord)) << "the sound's library";
        ExpectNonePlantedRan(medium, "by the medium's setup");
        ASSERT_TRUE(e2e::Click(wizardWindow, IDC_EXIT)) << wizard::Describe(wizardWindow);
        ASSERT_TRUE(setup.WaitForExit());
    }
    ExpectNonePlantedRan(destination, "during the install");
    ASSERT_EQ("", install::CheckInstalledFiles(medium, destination));
    ASSERT_TRUE(e2e::WaitFor([] { return install::GrpconvRuns().size() == 3; }, e2e::kWindowTimeoutMs))
        << "awaited 3 runs of the group converter, came " << install::GrpconvRuns().size();
    ASSERT_TRUE(e2e::WaitFor([] { return machine::FileExists(machine::GroupFolder() + "\\Quorvane.lnk"); },
                             e2e::kWindowTimeoutMs)) << "awaited the game's item in " << machine::GroupFolder();
    install::ClearGrpconvLog();

    e2e::Program remover;
    HWND dialog = OpenRemoveMode(remover, destination + "\\setup.exe");
    ASSERT_NE(nullptr, dialog);
    e2e::SaveScreenshot("uninstall-confirm", dialog);
    ASSERT_TRUE(Remove(dialog));
    e2e::SaveScreenshot("uninstall-done", dialog);
    ExpectRemoved(destination);
    ExpectKeysRemoved();
    ASSERT_TRUE(e2e::Click(dialog, IDC_REMOVE_OK)) << wizard::Describe(dialog);
    ASSERT_TRUE(remover.WaitForExit());
    EXPECT_TRUE(e2e::WaitFor([] { return install::GrpconvRuns().size() == 1; }, e2e::kWindowTimeoutMs))
        << "awaited the group converter's run after the removal, came " << install::GrpconvRuns().size();
    EXPECT_FALSE(machine::FileExists(machine::GroupFolder() + "\\Uninstall Quorvane.lnk"))
        << "the converter does not make it again";
    ExpectNonePlantedRan(destination, "during the removal");
}

// The status line names each file as the removal takes it: the copied entries in the install's
// order less the running program's own file, then each converted sound by its stem.
TEST_F(Uninstall, TheTextShowsTheConfirmationThenEachFileAndStepAndCancelStaysOff) {
    std::string destination;
    e2e::Program remover;
    HWND dialog = OpenSimulatedInstall(remover, "uninstall\\texts", &destination);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(kPrompt, e2e::ControlText(dialog, IDC_REMOVE_TEXT));
    EXPECT_TRUE(e2e::IsShown(dialog, IDC_REMOVE_TEXT));
    e2e::StatusSpy spy;
    ASSERT_TRUE(spy.Attach(dialog));
    ASSERT_TRUE(Remove(dialog));
    EXPECT_FALSE(e2e::IsEnabled(dialog, IDC_REMOVE_CANCEL));

    std::vector<std::string> expected;
    for (const std::string& entry : install::CopiedEntries()) {
        if (entry != "setup.exe") expected.push_back("Removing File " + entry);
    }
    for (const std::string& wave : install::ConvertedNames()) {
        expected.push_back("Removing File " + wave.substr(0, wave.size() - 3));
    }
    expected.insert(expected.end(), {"Removing Registry Entry Vexelworks",
                                     "Removing Registry Entry Control Panel Add/Remove", "Removing Shortcuts...", kDone});
    const std::vector<std::string> texts = spy.Texts(IDC_REMOVE_TEXT);
    EXPECT_EQ(expected, texts);
    ASSERT_EQ(221u + 4u, texts.size()) << "221 files, the two keys, the shortcuts and the end";
    EXPECT_EQ("Removing File kq_res\\bground.tga", texts[9]);
    EXPECT_EQ("Removing File \\docs\\README.doc", texts[48]);
    EXPECT_EQ("Removing File sfx\\8acc3863.", texts[138]);
}

// The maker's other product, the maker's other demo in its folder and, among all users' groups, a
// note of the user's and the item of a copy of the game installed elsewhere, under our title. That
// install came later, so the records name it: this folder holds a copy left behind.
TEST_F(Uninstall, TheRemovalKeepsWhatIsNotOursAndTheRecordsItDoesNotOwn) {
    const std::string destination = machine::FreshDirectory("uninstall\\others\\Quorvane");
    install::SimulateInstall(e2e::MediumDir(), destination);
    const std::string later = machine::FreshDirectory("uninstall\\others\\Quorvane 2");
    ASSERT_TRUE(machine::WriteStringValue(machine::kProductKey, "WorkDir", later));
    ASSERT_TRUE(machine::WriteStringValue(machine::kUninstallKey, "UninstallString", later + "\\setup.exe -REMOVE"));
    const std::string groupFile = install::ExpectedGroupFile("Uninstall Quorvane", destination + "\\setup.exe -REMOVE",
                                                             destination);
    ASSERT_TRUE(machine::WriteBytes(machine::SetupIniPath(), groupFile));
    const std::string otherProduct = std::string(machine::kCompanyKey) + "\\Skyward";
    ASSERT_TRUE(machine::WriteStringValue(otherProduct, "Level", "7"));
    // The group as well where Windows 95 without user profiles keeps it.
    machine::MakeDirectories(machine::WindowsGroupFolder());
    ASSERT_TRUE(install::WriteShortcut(machine::WindowsGroupFolder() + "\\Quorvane.lnk", destination + "\\quor.exe"));
    const std::string otherDemo = machine::GroupFolder() + "\\Other Demo.lnk";
    const std::string notes = machine::CommonGroupFolder() + "\\Notes.txt";
    ASSERT_TRUE(machine::WriteBytes(otherDemo, "another demo"));
    ASSERT_TRUE(machine::WriteBytes(notes, "the user's notes"));
    const std::string otherCopy = later + "\\quor.exe";
    const std::string othersItem = machine::CommonGroupFolder() + "\\Quorvane.lnk";
    ASSERT_TRUE(install::WriteShortcut(othersItem, otherCopy));

    e2e::Program remover;
    HWND dialog = OpenRemoveMode(remover, destination + "\\setup.exe");
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(Remove(dialog));
    EXPECT_EQ(later, machine::ReadValue(machine::kProductKey, "WorkDir").Text()) << "the later install's";
    EXPECT_EQ(later + "\\setup.exe -REMOVE", machine::ReadValue(machine::kUninstallKey, "UninstallString").Text());
    EXPECT_EQ("7", machine::ReadValue(otherProduct, "Level").Text()) << "the maker's other product";
    for (const char* item : {"\\Quorvane.lnk", "\\Uninstall Quorvane.lnk"}) {
        EXPECT_FALSE(machine::FileExists(machine::GroupFolder() + item)) << item;
    }
    EXPECT_FALSE(machine::DirectoryExists(machine::WindowsGroupFolder())) << "it held only ours";
    for (const std::string& kept : {otherDemo, notes}) {
        const auto bytes = machine::ReadBytes(kept);
        EXPECT_EQ(kept == notes ? "the user's notes" : "another demo", std::string(bytes.begin(), bytes.end())) << kept;
    }
    EXPECT_EQ(otherCopy, install::ReadShortcut(othersItem).path) << "the other copy's item";
    EXPECT_TRUE(machine::KeyExists(machine::kDeleteFilesKey)) << "the delete-files record stays";
    EXPECT_FALSE(machine::ReadValue(machine::kDeleteFilesKey, "setup.exe").exists) << "not written in remove mode";
    const auto ini = machine::ReadBytes(machine::SetupIniPath());
    EXPECT_EQ(groupFile, std::string(ini.begin(), ini.end())) << "SETUP.INI stays as the install left it";
}

TEST_F(Uninstall, OKOnceMoreClosesTheDialogAndTheGroupConverterRunsAfterItWithoutArguments) {
    std::string destination;
    e2e::Program remover;
    HWND dialog = OpenSimulatedInstall(remover, "uninstall\\again", &destination);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(Remove(dialog));
    EXPECT_TRUE(install::GrpconvRuns().empty()) << "the converter ran before the dialog closed";
    ASSERT_TRUE(e2e::Click(dialog, IDC_REMOVE_OK)) << wizard::Describe(dialog);
    ASSERT_TRUE(remover.WaitForExit());
    EXPECT_EQ(0u, remover.ExitCode());
    EXPECT_TRUE(e2e::WaitFor([] { return install::GrpconvRuns().size() == 1; }, e2e::kWindowTimeoutMs))
        << "awaited one run of the group converter, came " << install::GrpconvRuns().size();
    const auto runs = install::GrpconvRuns();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ("", runs[0]);
}

// On a Japanese system (code page 932; tests/CMakeLists.txt starts this test in that locale) the
// second byte of "\x95\x5C" equals '\'. A directory whose name ends in that character still
// holds the install, and the installed copy removes the files from there.
TEST_F(Uninstall, ADirectoryNamedWithADoubleByteCharacterEndingIn5CHoldsTheInstallAndItsRemoval) {
    ASSERT_EQ(932u, GetACP()) << "the Japanese code page";
    const std::string destination = machine::FreshDirectory("uninstall\\dbcs\\F7") + "\\Q\x95\x5C";
    e2e::Program setup, remover;
    ASSERT_NE(nullptr, install::InstallToFinishPage(setup, e2e::kCdDrive, destination));
    ASSERT_EQ("", install::CheckInstalledFiles(e2e::kCdDrive, destination));
    HWND dialog = OpenRemoveMode(remover, destination + "\\setup.exe");
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(Remove(dialog));
    ExpectRemoved(destination);
}

TEST_F(Uninstall, CancelFirstRemovesNothingAndStartsNothing) {
    const std::string medium = e2e::MediumDir();
    std::string destination;
    e2e::Program remover;
    HWND dialog = OpenSimulatedInstall(remover, "uninstall\\cancel", &destination);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(e2e::Click(dialog, IDC_REMOVE_CANCEL));
    ASSERT_TRUE(remover.WaitForExit());
    EXPECT_EQ(0u, remover.ExitCode());
    EXPECT_EQ("", install::CheckInstalledFiles(medium, destination));
    EXPECT_TRUE(machine::KeyExists(machine::kProductKey));
    EXPECT_TRUE(machine::KeyExists(machine::kUninstallKey));
    EXPECT_TRUE(machine::DirectoryExists(machine::GroupFolder()));
    // A converter started on the way out would exist by now, or have logged its run.
    EXPECT_TRUE(e2e::WaitFor([] { return !e2e::ProcessRunning("grpconv.exe"); }, e2e::kWindowTimeoutMs))
        << "awaited the end of a running grpconv.exe";
    EXPECT_TRUE(install::GrpconvRuns().empty()) << "nothing is started after Cancel";
}

TEST_F(Uninstall, EscapeDoesNothingAndCancelIsOffOnceTheRemovalStarted) {
    std::string destination;
    e2e::Program remover;
    HWND dialog = OpenSimulatedInstall(remover, "uninstall\\escape", &destination);
    ASSERT_NE(nullptr, dialog);

    // Escape reaches the dialog as the command IDCANCEL.
    PostMessageA(GetDlgItem(dialog, IDC_REMOVE_OK), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(e2e::SendCommand(dialog, IDCANCEL, BN_CLICKED));
    EXPECT_TRUE(remover.Running());
    EXPECT_EQ(kPrompt, e2e::ControlText(dialog, IDC_REMOVE_TEXT));

    ASSERT_TRUE(e2e::Click(dialog, IDC_REMOVE_OK));
    // Both buttons are disabled as the removal begins, one right after the other.
    ASSERT_TRUE(e2e::WaitFor([&] {
        return !e2e::IsEnabled(dialog, IDC_REMOVE_OK) && !e2e::IsEnabled(dialog, IDC_REMOVE_CANCEL);
    }, e2e::kWindowTimeoutMs, 5)) << wizard::Awaited("OK and Cancel off as the removal began", dialog);
    EXPECT_FALSE(e2e::Click(dialog, IDC_REMOVE_CANCEL)) << "Cancel is disabled while removing";
    ASSERT_TRUE(e2e::WaitFor([&] { return RemovalDone(dialog); }, e2e::kInstallTimeoutMs))
        << wizard::Awaited("the end of the removal", dialog);
    EXPECT_FALSE(e2e::IsEnabled(dialog, IDC_REMOVE_CANCEL));
    ASSERT_TRUE(e2e::SendCommand(dialog, IDCANCEL, BN_CLICKED));
    EXPECT_TRUE(remover.Running()) << "Escape does nothing when the removal is done";
    ExpectRemoved(destination);
}

// As after a conversion that made no WAV file: Windows would answer every delete of a name that is
// not there with an error box (e2e::StatusSpy counts them), and one of a folder with the folder.
// The records name the folder by its short form, as typed, and the removal takes them as its own.
TEST_F(Uninstall, MissingFilesCostNoErrorBoxAndAFileHeldOpenStillGetsOne) {
    const std::string destination = machine::FreshDirectory("uninstall\\missing files");
    install::SimulateInstall(e2e::MediumDir(), install::ShortPath(destination));
    for (const std::string& gone : install::ConvertedNames()) {
        ASSERT_TRUE(DeleteFileA((destination + "\\" + gone).c_str())) << gone;
    }
    for (const char* gone : {"quor.exe", "res\\play.bmp", "docs\\README.doc"}) {
        ASSERT_TRUE(DeleteFileA((destination + "\\" + gone).c_str())) << gone;
    }
    const std::string folder = destination + "\\sfx\\8acc3863.wav";
    ASSERT_TRUE(machine::WriteBytes(folder + "\\mine.txt", "the user's"));
    const std::string held = destination + "\\kq_res\\bground.tga";
    const HANDLE open = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    machine::RemoveTree(machine::GroupFolder());
    e2e::Program remover;
    HWND dialog = OpenRemoveMode(remover, destination + "\\setup.exe");
    ASSERT_NE(nullptr, dialog);
    e2e::StatusSpy spy;
    ASSERT_TRUE(spy.Attach(dialog) && e2e::Settle(dialog));
    ASSERT_TRUE(Remove(dialog));
    CloseHandle(open);
    EXPECT_EQ(std::vector<std::string>{held}, spy.Texts(spy::kShellErrorBoxRecord)) << "error boxes Windows shows";
    EXPECT_TRUE(machine::FileExists(folder + "\\mine.txt")) << "a folder of a WAV file's name";
    machine::RemoveTree(folder);
    DeleteFileA(held.c_str());
    ExpectRemoved(destination);
    ExpectKeysRemoved();
}

TEST_F(Uninstall, FromTheCdsMenuAfterAnInstallTheInstalledFilesGoAndTheCdStays) {
    const std::string medium = e2e::kCdDrive;
    const std::string destination = machine::FreshDirectory("uninstall\\menu\\Quorvane");
    e2e::Program setup;
    HWND wizardWindow = install::InstallToFinishPage(setup, medium, destination);
    ASSERT_NE(nullptr, wizardWindow);
    ASSERT_EQ("", install::CheckInstalledFiles(medium, destination));
    ASSERT_TRUE(wizard::ClickAndAwait(wizardWindow, IDC_NEXT, "the installed menu after Finish", [&] {
        return e2e::IsEnabled(wizardWindow, IDC_UNINSTALL) && e2e::Settle(wizardWindow);
    }));
    ASSERT_TRUE(e2e::Click(wizardWindow, IDC_UNINSTALL));
    HWND dialog = setup.WaitForWindow(kUninstallCaption);
    ASSERT_NE(nullptr, dialog) << "Uninstall opens the uninstall dialog in the same process";
    EXPECT_FALSE(IsWindowVisible(wizardWindow)) << "the wizard has ended";
    ASSERT_TRUE(Remove(dialog));
    ASSERT_TRUE(e2e::Click(dialog, IDC_REMOVE_OK));
    ASSERT_TRUE(setup.WaitForExit());

    ExpectRemoved(destination);
    ExpectKeysRemoved();
    for (const std::string& entry : install::CopiedEntries()) {
        const std::string relative = entry[0] == '\\' ? entry.substr(1) : entry;
        EXPECT_TRUE(machine::FileExists(medium + "\\" + relative)) << "the CD lost " << relative;
    }
    EXPECT_TRUE(machine::FileExists(medium + "\\sfx\\8acc3863.mp3"));
    EXPECT_TRUE(machine::FileExists(medium + "\\l3dec.exe"));
}

TEST_F(Uninstall, RemovedFromTheMenuOfTheCopyInTheInstallDirectoryTheProgramAsksToBeDeletedUntilTheNextInstall) {
    const std::string medium = install::CopyMedium("uninstall\\own\\cd");
    e2e::Program setup;
    HWND wizardWindow = install::InstallToFinishPage(setup, medium, medium);
    ASSERT_NE(nullptr, wizardWindow);
    ASSERT_TRUE(wizard::ClickAndAwait(wizardWindow, IDC_NEXT, "the installed menu after Finish", [&] {
        return e2e::IsEnabled(wizardWindow, IDC_UNINSTALL) && e2e::Settle(wizardWindow);
    }));
    ASSERT_TRUE(e2e::Click(wizardWindow, IDC_UNINSTALL));
    HWND dialog = setup.WaitForWindow(kUninstallCaption);
    ASSERT_NE(nullptr, dialog) << "awaited " << kUninstallCaption << "; " << wizard::DescribeProgram(setup);
    ASSERT_TRUE(Remove(dialog));

    const machine::RegValue directory = machine::ReadValue(machine::kDeleteFilesKey, "");
    EXPECT_EQ(REG_SZ, directory.type);
    EXPECT_EQ(medium, directory.Text());
    const machine::RegValue own = machine::ReadValue(machine::kDeleteFilesKey, "setup.exe");
    EXPECT_EQ(REG_SZ, own.type);
    EXPECT_EQ(10u, own.bytes.size());
    EXPECT_EQ("setup.exe", own.Text());
    EXPECT_TRUE(machine::FileExists(medium + "\\setup.exe"));
    EXPECT_FALSE(machine::FileExists(medium + "\\quor.exe"));

    // The request was that removal's: an install made afterwards keeps its uninstaller.
    ASSERT_TRUE(e2e::Click(dialog, IDC_REMOVE_OK));
    ASSERT_TRUE(setup.WaitForExit());
    // Typed in its short form, which the records keep.
    const std::string other = machine::FreshDirectory("uninstall\\own\\Other");
    const std::string typed = install::ShortPath(other);
    ASSERT_NE(other, typed);
    e2e::Program second;
    ASSERT_NE(nullptr, install::InstallToFinishPage(second, e2e::MediumDir(), typed));
    EXPECT_EQ(typed, machine::ReadValue(machine::kDeleteFilesKey, "").Text());
    EXPECT_FALSE(machine::ReadValue(machine::kDeleteFilesKey, "setup.exe").exists) << "after the install into " << other;

    // The installed copy, started by its long name without arguments, removes its own directory
    // from its menu.
    e2e::Program installed;
    ASSERT_TRUE(installed.StartWith(other + "\\setup.exe", "", other));
    wizardWindow = installed.WaitForWindow(wizard::kInstalledCaption);
    ASSERT_TRUE(wizardWindow != nullptr && e2e::Click(wizardWindow, IDC_UNINSTALL));
    dialog = installed.WaitForWindow(kUninstallCaption);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(Remove(dialog));
    EXPECT_EQ(typed, machine::ReadValue(machine::kDeleteFilesKey, "").Text());
    EXPECT_EQ("setup.exe", machine::ReadValue(machine::kDeleteFilesKey, "setup.exe").Text()) << "the installed copy's";
}

}  // namespace
