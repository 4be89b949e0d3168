// Shared steps of the tests that install: a private copy of the distribution medium, the walk
// from the menu to the finish page, and the checks of what an install leaves behind.
#ifndef QUORVANE_TESTS_INSTALL_SUPPORT_H
#define QUORVANE_TESTS_INSTALL_SUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

#include "e2e.h"

namespace install {

// Copies build\win64\medium to C:\qtest\<name> (emptied first) and returns that folder.
std::string CopyMedium(const std::string& name);
// Copies a whole folder tree.
void CopyTree(const std::string& from, const std::string& to);

// The WAV name of an MP3 entry: the entry less its "mp3", followed by "wav".
std::string ConvertedName(const std::string& mp3Entry);
// The entries the install copies and the WAV names the conversion makes, in order.
std::vector<std::string> CopiedEntries();
std::vector<std::string> ConvertedNames();

// Starts the medium's setup.exe and opens the directory page. Null, with a failure that says which
// step failed and what the window showed, when the program, its window or the page did not come.
HWND OpenDirectoryPage(e2e::Program& setup, const std::string& medium);
// Types `destination` and presses Next. Does not wait.
bool StartInstall(HWND dialog, const std::string& destination);
// Waits until the finish page is up (or the time-out passes).
bool WaitForFinishPage(HWND dialog, DWORD timeoutMs = e2e::kInstallTimeoutMs);
// Waits until the install has returned to the directory page with Next enabled again.
bool WaitForDirectoryPageAgain(HWND dialog, DWORD timeoutMs = e2e::kInstallTimeoutMs);
// Starts the program on the medium and installs into `destination`, ending on the finish page;
// null, with a failure as above, when a step did not come.
HWND InstallToFinishPage(e2e::Program& setup, const std::string& medium, const std::string& destination);

// Presses Uninstall on the installed menu of `setup`'s wizard `dialog`, then OK in the uninstall
// dialog, and waits for the removal's end.
void UninstallFromTheMenu(e2e::Program& setup, HWND dialog);

// Describes what is wrong with the installed files: the copied entries must equal the medium's
// byte for byte and be plain writable files (Wine shows a plain file as FILE_ATTRIBUTE_ARCHIVE),
// and every converted name must be a RIFF WAVE file (or, without `converted`, be absent). Empty
// when all is well.
std::string CheckInstalledFiles(const std::string& medium, const std::string& destination, bool converted = true);

// Lays out what an install leaves, without running one: the copied files and stand-ins for the
// converted sounds in `destination`, the three records and a group folder with our two shortcuts.
void SimulateInstall(const std::string& medium, const std::string& destination);

// What the install writes, built here from its description rather than by the program: a line
// of mp3.bat for one MP3 entry (below the short form of `source`, when it has one, the decoder
// there or, `decoderBeside`, as "l3dec.exe" alone), the whole mp3.bat (the first of those forms
// whose every line fits COMMAND.COM's 127 bytes, else empty), and SETUP.INI with one item.
std::string ExpectedBatchLine(const std::string& source, const std::string& entry, bool decoderBeside = false);
std::string ExpectedBatchFile(const std::string& source);
std::string ExpectedGroupFile(const std::string& title, const std::string& commandLine,
                              const std::string& workingDirectory, const std::string& group = "Vexelworks");
// The lines of a text, each without its CR LF.
std::vector<std::string> BatchLines(const std::string& text);
// The short (8.3) form of an existing path; empty when there is none.
std::string ShortPath(const std::string& path);

// A shortcut file as the shell's link object reads it.
struct Shortcut {
    bool loaded = false;
    std::string path;
    std::string arguments;
    std::string workingDirectory;
};
Shortcut ReadShortcut(const std::string& file);
// A shortcut file that starts `target`, as the shell's link object writes one.
bool WriteShortcut(const std::string& file, const std::string& target);

// The grpconv stand-in's log: one entry per run, with its arguments.
std::vector<std::string> GrpconvRuns();
void ClearGrpconvLog();

}  // namespace install

#endif
