// The install from end to end, from the CD and from copies of the distribution medium, through the
// real program.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e.h"
#include "install_support.h"
#include "machine.h"
#include "resource_ids.h"
#include "wizard_states.h"

namespace {

class Install : public ::testing::Test {
  protected:
    void SetUp() override {
        machine::ResetSetupState();
        install::ClearGrpconvLog();
    }
    void TearDown() override { machine::ResetSetupState(); }

    static void ExpectNoRecords(const std::string& context) {
        EXPECT_FALSE(machine::ReadValue(machine::kProductKey, "WorkDir").exists) << context;
        EXPECT_FALSE(machine::KeyExists(machine::kUninstallKey)) << context;
        EXPECT_FALSE(machine::KeyExists(machine::kDeleteFilesKey)) << context;
        EXPECT_FALSE(machine::FileExists(machine::SetupIniPath())) << context;
    }

    e2e::Program setup_;
};

// A record as the install stores it: REG_SZ, the text and its NUL, nothing more.
void ExpectStored(const char* key, const char* name, const std::string& text) {
    const machine::RegValue value = machine::ReadValue(key, name);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type) << key << " " << name;
    EXPECT_EQ(std::vector<unsigned char>(text.c_str(), text.c_str() + text.size() + 1), value.bytes) << key << " " << name;
}

size_t CountOf(const std::vector<std::string>& texts, const std::string& text) {
    return static_cast<size_t>(std::count(texts.begin(), texts.end(), text));
}

TEST_F(Install, AFullInstallFromTheCdIntoANewDirectoryLeavesEverythingInPlace) {
    const std::string medium = e2e::kCdDrive;
    ASSERT_EQ(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA("D:\\"));
    const std::string destination = "C:\\qtest\\install\\full\\My Games\\Quorvane";
    machine::RemoveTree("C:\\qtest\\install\\full");
    HWND dialog = install::OpenDirectoryPage(setup_, medium);
    ASSERT_NE(nullptr, dialog);
    e2e::StatusSpy spy;
    ASSERT_TRUE(spy.Attach(dialog));
    ASSERT_TRUE(install::StartInstall(dialog, destination));
    ASSERT_TRUE(e2e::WaitFor([&] { return !e2e::IsEnabled(dialog, IDC_NEXT) && !e2e::IsEnabled(dialog, IDC_CANCEL); },
                             e2e::kWindowTimeoutMs, 5)) << wizard::Awaited("Next and Cancel off after Next", dialog);
    wizard::ExpectLooks(dialog, wizard::kInstalling, "installing");
    ASSERT_TRUE(install::WaitForFinishPage(dialog)) << wizard::Awaited("the finish page", dialog);
    wizard::ExpectLooks(dialog, wizard::kFinishPage, "finish page");
    EXPECT_EQ("&Finish", e2e::ControlText(dialog, IDC_NEXT));
    EXPECT_EQ(wizard::kSetupCaption, e2e::WindowText(dialog));
    e2e::SaveScreenshot("finish-page", dialog);

    // The status line, text by text.
    const std::vector<std::string> texts = spy.Texts(IDC_STATUS);
    std::vector<std::string> expected = {"Creating directory..", "", "Checking disk space.", "", "Copying files."};
    for (const std::string& entry : install::CopiedEntries()) expected.push_back("Copying " + entry);
    expected.insert(expected.end(), {"Decompressing MP3 files...", "", "Creating StartMenu shortcut", "",
                                     "Please wait...  Decompressing Audio...",
                                     "Please wait...  Decompressing Audio..."});
    ASSERT_GE(texts.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], texts[i]) << "status text #" << i;
    std::string dots;
    for (size_t i = expected.size(); i < texts.size(); ++i) {
        dots += ".";
        EXPECT_EQ("Please wait...  Decompressing Audio..." + dots, texts[i]) << "status text #" << i;
    }

    EXPECT_EQ("", install::CheckInstalledFiles(medium, destination));
    const auto batch = machine::ReadBytes(destination + "\\mp3.bat");
    EXPECT_EQ(install::ExpectedBatchFile(medium), std::string(batch.begin(), batch.end()));
    EXPECT_TRUE(machine::FileExists(destination + "\\go32.exe"));
    EXPECT_FALSE(machine::FileExists(destination + "\\SMAG.INI"));
    EXPECT_FALSE(machine::FileExists(destination + "\\sfx\\8acc3863.mp3")) << "MP3 files are not copied";

    ExpectStored(machine::kProductKey, "WorkDir", destination);
    ExpectStored(machine::kDeleteFilesKey, "", destination);
    ExpectStored(machine::kUninstallKey, "UninstallString", "\"" + destination + "\\setup.exe\" -REMOVE");
    ExpectStored(machine::kUninstallKey, "DisplayName", "Quorvane July 4th Demo");

    const std::string setupShort = install::ShortPath(destination + "\\setup.exe");
    const auto ini = machine::ReadBytes(machine::SetupIniPath());
    EXPECT_EQ(install::ExpectedGroupFile("Uninstall Quorvane", setupShort + " -REMOVE", destination),
              std::string(ini.begin(), ini.end()));
    install::Shortcut game, uninstall;
    EXPECT_TRUE(e2e::WaitFor([&] {
        game = install::ReadShortcut(machine::GroupFolder() + "\\Quorvane.lnk");
        uninstall = install::ReadShortcut(machine::GroupFolder() + "\\Uninstall Quorvane.lnk");
        return game.loaded && uninstall.loaded;
    }, e2e::kWindowTimeoutMs)) << "awaited both shortcuts in " << machine::GroupFolder() << ", loaded: game "
                               << game.loaded << ", uninstaller " << uninstall.loaded;
    EXPECT_EQ(install::ShortPath(destination + "\\quor.exe"), game.path);
    EXPECT_EQ("", game.arguments);
    EXPECT_EQ(destination, game.workingDirectory);
    EXPECT_EQ(setupShort, uninstall.path);
    EXPECT_EQ("-REMOVE", uninstall.arguments);
    EXPECT_EQ(destination, uninstall.workingDirectory);

    // Exit after a completed install starts the group converter once more, without arguments.
    ASSERT_TRUE(e2e::Click(dialog, IDC_EXIT));
    ASSERT_TRUE(setup_.WaitForExit());
    EXPECT_EQ(0u, setup_.ExitCode());
    EXPECT_TRUE(e2e::WaitFor([] {
        const auto runs = install::GrpconvRuns();
        return runs.size() == 3 && runs[2].empty();
    }, e2e::kWindowTimeoutMs)) << "awaited 3 runs of grpconv, the last without arguments; came "
                               << install::GrpconvRuns().size();
    const auto runs = install::GrpconvRuns();
    ASSERT_EQ(3u, runs.size());
    EXPECT_EQ("-o", runs[0]);
    EXPECT_EQ("-o", runs[1]);
}

// The medium lies on a user's desktop in "Größe%20R&D^Quorvane Demo 4 Full CD", as a download
// unpacks. The interpreter reads no more than 127 bytes of a line and the decoder opens 8.3 names
// only, so the lines take the folder's short form, which under Wine holds none of its letters and
// signs (the tests of BatchLine have those). It leaves no room to name the decoder in it as well:
// the lines name "l3dec.exe" alone, which the install copies beside the extender.
constexpr char kDesktopMedium[] = "\\Profiles\\Administrator\\Desktop\\Gr\xF6\xDF" "e%20R&D^Quorvane Demo 4 Full CD";

TEST_F(Install, FromALongNamedFolderOverAnEarlierInstallEveryFileIsReplacedAndTheLinesNameTheDecoderBeside) {
    const std::string medium = install::CopyMedium(std::string("install\\over") + kDesktopMedium);
    ASSERT_GT(install::ShortPath(medium).size(), 37u) << "a short form that leaves no room for the decoder in it";
    const std::string destination = machine::FreshDirectory("install\\over\\Quorvane");
    ASSERT_TRUE(machine::WriteBytes(destination + "\\quor.exe", "an older game"));
    ASSERT_TRUE(machine::WriteBytes(destination + "\\bitmaps\\zoom.bmp", "an older bitmap"));
    ASSERT_TRUE(machine::WriteBytes(destination + "\\SMAG.INI", "the player's own settings"));
    ASSERT_TRUE(machine::WriteBytes(destination + "\\mp3.bat", "echo n|l3dec\r\n"));
    SetFileAttributesA((destination + "\\quor.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((destination + "\\bitmaps\\zoom.bmp").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((destination + "\\mp3.bat").c_str(), FILE_ATTRIBUTE_READONLY);

    HWND dialog = install::InstallToFinishPage(setup_, medium, destination);
    ASSERT_NE(nullptr, dialog) << "the install did not reach the finish page by itself";
    EXPECT_EQ("", install::CheckInstalledFiles(medium, destination));
    // Read-only and hidden files in the way are replaced, and none stays read-only or hidden
    // (CheckInstalledFiles). The copies' own sources are writable here: the install from the
    // read-only CD is what shows that the copies' attributes are cleared.
    const auto kept = machine::ReadBytes(destination + "\\SMAG.INI");
    EXPECT_EQ("the player's own settings", std::string(kept.begin(), kept.end())) << "a SMAG.INI of the user's";
    EXPECT_FALSE(machine::FileExists(destination + "\\SMAG0.INI")) << "the probe is deleted";
    const auto batch = machine::ReadBytes(destination + "\\mp3.bat");
    EXPECT_EQ(install::ExpectedBatchFile(medium), std::string(batch.begin(), batch.end()));
    // The strict stand-ins made the WAV files (above) only from lines they read whole, by 8.3 names.
    for (const std::string& line : install::BatchLines(std::string(batch.begin(), batch.end()))) {
        EXPECT_LE(line.size(), 127u) << line;
    }
    EXPECT_EQ(machine::ReadBytes(medium + "\\l3dec.exe"), machine::ReadBytes(destination + "\\l3dec.exe")) << "the decoder beside";
}

// The system's own interpreter, which nobody here wrote, reads the batch file that the install
// writes for that medium (the test above holds the install to it) as ours does. Without showing
// each line (/Q): under Wine every line shown costs more than its decoder run.
TEST_F(Install, WindowsOwnCmdRunsTheMp3BatWrittenForALongNamedFolder) {
    const std::string medium = install::CopyMedium(std::string("install\\cmd") + kDesktopMedium);
    const std::string destination = machine::FreshDirectory("install\\cmd\\Quorvane");
    install::SimulateInstall(medium, destination);
    ASSERT_TRUE(CopyFileA((medium + "\\l3dec.exe").c_str(), (destination + "\\l3dec.exe").c_str(), FALSE));
    const std::string batch = install::ExpectedBatchFile(medium);
    ASSERT_NE("", batch) << "no mp3.bat whose lines fit for " << medium;
    ASSERT_TRUE(machine::WriteBytes(destination + "\\mp3.bat", batch));
    for (const std::string& name : install::ConvertedNames()) DeleteFileA((destination + "\\" + name).c_str());
    e2e::Program interpreter;
    ASSERT_TRUE(interpreter.Start(machine::WindowsDirectory() + "\\system32\\cmd.exe", "cmd /Q /C mp3.bat", destination));
    ASSERT_TRUE(interpreter.WaitForExit(e2e::kInstallTimeoutMs));
    EXPECT_EQ("", install::CheckInstalledFiles(medium, destination)) << "after cmd.exe ran mp3.bat";
}

TEST_F(Install, ADestinationThatCannotBeCreatedReturnsToThePageAndAnMp3BatThatCannotBeWrittenIsNotRun) {
    const std::string medium = install::CopyMedium("install\\nodrive\\cd");
    ASSERT_EQ(DRIVE_NO_ROOT_DIR, static_cast<int>(GetDriveTypeA("Q:\\"))) << "drive Q: must not exist here";
    HWND dialog = install::OpenDirectoryPage(setup_, medium);
    ASSERT_NE(nullptr, dialog);
    // An empty or blank name is refused the same way: it would name the current directory.
    // The system's device and raw file spaces, Windows 95 knows neither, are no folder either.
    for (const std::string typed : {"Q:\\Games\\Quorvane", "", "   ", "\\\\?\\C:\\qtest\\install\\nodrive\\raw",
                                    "\\\\.\\C:\\qtest\\install\\nodrive\\device"}) {
        ASSERT_TRUE(install::StartInstall(dialog, typed));
        ASSERT_TRUE(install::WaitForDirectoryPageAgain(dialog))
            << wizard::Awaited("the directory page again after \"" + typed + "\"", dialog);
        wizard::ExpectLooks(dialog, wizard::kDirectoryPage, "directory page after \"" + typed + "\"");
        EXPECT_EQ("", e2e::ControlText(dialog, IDC_STATUS));
        EXPECT_EQ(typed, e2e::EditText(dialog, IDC_DIRECTORY));
        EXPECT_EQ(nullptr, e2e::WaitForOwnedDialog(dialog, 500)) << "no message";
        ExpectNoRecords("after \"" + typed + "\"");
    }

    // Corrected, the same page installs, into a directory that holds folders of the probe's and
    // the batch file's names. A batch file that cannot be written is not run, and so neither is an
    // mp3.bat that the interpreter would find along its search path instead.
    const std::string destination = machine::FreshDirectory("install\\nodrive\\Quorvane");
    ASSERT_TRUE(machine::WriteBytes(destination + "\\SMAG.INI\\notes.txt", "kept"));
    machine::MakeDirectories(destination + "\\mp3.bat");
    const std::string marker = machine::FreshDirectory("install\\nodrive\\marker") + "\\marker.exe";
    ASSERT_TRUE(CopyFileA((e2e::Win64Dir() + "\\tests\\planted.exe").c_str(), marker.c_str(), FALSE));
    const std::string stray = machine::WindowsDirectory() + "\\mp3.bat";
    ASSERT_TRUE(machine::WriteBytes(stray, marker + "\r\n"));
    ASSERT_TRUE(install::StartInstall(dialog, destination));
    const bool finished = install::WaitForFinishPage(dialog);
    DeleteFileA(stray.c_str());
    ASSERT_TRUE(finished) << wizard::Awaited("the finish page of the install into " + destination, dialog);
    EXPECT_FALSE(machine::FileExists(marker + ".ran")) << "the mp3.bat along the search path ran";
    EXPECT_EQ("", install::CheckInstalledFiles(medium, destination, false));
    const auto kept = machine::ReadBytes(destination + "\\SMAG.INI\\notes.txt");
    EXPECT_EQ("kept", std::string(kept.begin(), kept.end())) << "a folder SMAG.INI with its file";
}

TEST_F(Install, ADestinationTooLongIsRefusedAndASourceTooDeepForTheBatchLinesConvertsNothing) {
    const std::string medium = install::CopyMedium("install\\long\\Profiles\\Administrator\\Desktop\\Downloads\\"
                                                   "Vexelworks\\Quorvane Demo 4 Full CD");
    ASSERT_GT(install::ShortPath(medium).size(), 71u) << "a short form that leaves no room for any line";
    std::string destination = "C:\\qtest\\install\\long\\";
    while (destination.size() < 233) destination += "d";
    ASSERT_EQ(233u, destination.size());
    HWND dialog = install::OpenDirectoryPage(setup_, medium);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(install::StartInstall(dialog, destination));
    ASSERT_TRUE(install::WaitForDirectoryPageAgain(dialog)) << wizard::Awaited("the page again, refused", dialog);
    wizard::ExpectLooks(dialog, wizard::kDirectoryPage, "directory page after a refused destination");
    EXPECT_EQ("", e2e::ControlText(dialog, IDC_STATUS));
    EXPECT_FALSE(machine::DirectoryExists(destination));
    ExpectNoRecords("after a refused destination");

    // Corrected, it installs, and empties the mp3.bat of an earlier install rather than run it.
    const std::string valid = machine::FreshDirectory("install\\long\\Quorvane");
    ASSERT_TRUE(machine::WriteBytes(valid + "\\mp3.bat", install::ExpectedBatchFile(e2e::kCdDrive)));
    e2e::StatusSpy spy;
    ASSERT_TRUE(spy.Attach(dialog));
    ASSERT_TRUE(install::StartInstall(dialog, valid));
    ASSERT_TRUE(install::WaitForFinishPage(dialog)) << wizard::Awaited("the finish page, into " + valid, dialog);
    EXPECT_EQ(0u, machine::ReadBytes(valid + "\\mp3.bat").size()) << "bytes left in the mp3.bat of an earlier install";
    EXPECT_EQ(1u, CountOf(spy.Texts(IDC_STATUS), "Please wait...  Decompressing Audio...")) << "an interpreter waited for";
}

// In place is the medium's own folder however it is typed: in other letters with a trailing
// separator, or in its short form. Copies onto themselves could never succeed.
TEST_F(Install, InPlaceNothingIsCopiedAndTheConversionRunsThere) {
    const std::string medium = install::CopyMedium("install\\inplace\\QuorvaneMedium");
    std::string upper = medium;
    CharUpperA(&upper[0]);
    std::vector<std::string> spellings = {upper + "\\"};
    const std::string shortForm = install::ShortPath(medium);
    if (shortForm != medium) spellings.push_back(shortForm);
    for (const std::string& typed : spellings) {
        machine::ResetSetupState();
        e2e::Program setup;
        HWND dialog = install::OpenDirectoryPage(setup, medium);
        ASSERT_NE(nullptr, dialog);
        e2e::StatusSpy spy;
        ASSERT_TRUE(spy.Attach(dialog));
        ASSERT_TRUE(install::StartInstall(dialog, typed));
        ASSERT_TRUE(install::WaitForFinishPage(dialog)) << wizard::Awaited("the finish page, into " + typed, dialog);
        const auto texts = spy.Texts(IDC_STATUS);
        EXPECT_EQ(0u, CountOf(texts, "Copying files.")) << typed;
        EXPECT_EQ(0u, CountOf(texts, "Copying quor.exe")) << typed;
        EXPECT_EQ(1u, CountOf(texts, "Decompressing MP3 files...")) << typed;
        EXPECT_TRUE(machine::FileExists(medium + "\\mp3.bat"));
        EXPECT_EQ("", install::CheckInstalledFiles(e2e::MediumDir(), medium)) << typed << ": the medium's files keep "
                                                                                 "their bytes, the WAV files are made";
        EXPECT_EQ(typed, machine::ReadValue(machine::kProductKey, "WorkDir").Text());
        const std::string program = typed.back() == '\\' ? typed + "setup.exe" : typed + "\\setup.exe";
        EXPECT_EQ(program + " -REMOVE", machine::ReadValue(machine::kUninstallKey, "UninstallString").Text());
    }
}

TEST_F(Install, AFileMissingFromTheMediumIsAskedForAndRetryOrCancelWork) {
    const std::string medium = install::CopyMedium("install\\missing\\cd");
    const std::string destination = "C:\\qtest\\install\\missing\\Quorvane";
    const std::string playBmp = medium + "\\res\\play.bmp";
    const std::string putAside = medium + "\\play.bmp.aside";
    ASSERT_TRUE(MoveFileA(playBmp.c_str(), putAside.c_str()));
    ASSERT_TRUE(DeleteFileA((medium + "\\bitmaps\\zoom.bmp").c_str()));

    HWND dialog = install::OpenDirectoryPage(setup_, medium);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(install::StartInstall(dialog, destination));

    HWND box = e2e::WaitForOwnedDialog(dialog, e2e::kInstallTimeoutMs);
    ASSERT_NE(nullptr, box) << "no prompt for res\\play.bmp";
    EXPECT_EQ("Quorvane Setup", e2e::WindowText(box));
    EXPECT_EQ("Setup Failure: res\\play.bmp could not be copied.", e2e::MessageBoxText(box));
    EXPECT_NE(nullptr, GetDlgItem(box, IDRETRY));
    EXPECT_NE(nullptr, GetDlgItem(box, IDCANCEL));
    EXPECT_EQ(nullptr, GetDlgItem(box, IDOK));
    EXPECT_EQ("Copying res\\play.bmp", e2e::ControlText(dialog, IDC_STATUS));

    // Retry while the file is still missing asks again.
    e2e::AnswerMessageBox(box, IDRETRY);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(box); }, e2e::kWindowTimeoutMs))
        << wizard::Awaited("the prompt to close", dialog);
    box = e2e::WaitForOwnedDialog(dialog);
    ASSERT_NE(nullptr, box) << "Retry did not ask again";
    EXPECT_EQ("Setup Failure: res\\play.bmp could not be copied.", e2e::MessageBoxText(box));

    // Retry after the file is back copies it.
    ASSERT_TRUE(MoveFileA(putAside.c_str(), playBmp.c_str()));
    e2e::AnswerMessageBox(box, IDRETRY);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(box); }, e2e::kWindowTimeoutMs))
        << wizard::Awaited("the prompt to close", dialog);

    // Cancel skips a file for good.
    box = e2e::WaitForOwnedDialog(dialog, e2e::kInstallTimeoutMs);
    ASSERT_NE(nullptr, box) << "no prompt for bitmaps\\zoom.bmp";
    EXPECT_EQ("Setup Failure: bitmaps\\zoom.bmp could not be copied.", e2e::MessageBoxText(box));
    e2e::AnswerMessageBox(box, IDCANCEL);

    ASSERT_TRUE(install::WaitForFinishPage(dialog)) << wizard::Awaited("the finish page after the prompts", dialog);
    EXPECT_TRUE(machine::FileExists(destination + "\\res\\play.bmp"));
    EXPECT_EQ(machine::ReadBytes(playBmp), machine::ReadBytes(destination + "\\res\\play.bmp"));
    EXPECT_FALSE(machine::FileExists(destination + "\\bitmaps\\zoom.bmp"));
    EXPECT_TRUE(machine::FileExists(destination + "\\sfx\\b4e51ba6.wav")) << "the files after it are copied";
    EXPECT_TRUE(machine::KeyExists(machine::kUninstallKey));
}

}  // namespace
