// What the menu and the finish page do beyond the directory page: return to the menu, open the
// read-me, start the game, start the uninstaller, leave.
#include "launch_actions.h"

#include "file_operations.h"
#include "manifest.h"
#include "paths.h"
#include "remove_dialog.h"
#include "resource_ids.h"
#include "state.h"

namespace {

constexpr char kReadmeDocument[] = "docs\\readme.doc";
constexpr char kOpenVerb[] = "OPEN";

}  // namespace

// The installed menu opens the installed copy: the recorded directory holds it whether the game
// was installed by this process or found at start-up. The document is named by its full path:
// a relative name may be looked up in the process's current directory instead, which after an
// install or a failed Play is some other directory that may hold another copy.
void OpenReadme(HWND dialog) {
    if (GameInstalled != 0 && GameInstalled != 1) return;
    const char* directory = GameInstalled == 0 ? ModuleDirectory : WorkDirectory;
    char document[kPathChars];
    if (!JoinPath(document, kPathChars, directory, kReadmeDocument)) return;
    ShellStart(dialog, kOpenVerb, document, nullptr, directory, SW_SHOWNORMAL);
}

// The game's path is quoted when it holds a blank: unquoted, WinExec would try the path's first
// word as a program.
void PlayGame(HWND dialog) {
    if (GameInstalled != 1) return;
    SetCurrentDirectoryA(WorkDirectory);
    char path[kPathChars];
    if (!JoinPath(path, kPathChars, WorkDirectory, CoreFileList[kGameProgramEntry])) return;
    char commandLine[kPathChars + 2];
    if (!QuoteProgramPath(commandLine, kPathChars + 2, path)) return;
    if (WinExec(commandLine, SW_SHOWNORMAL) > 31) EndDialog(dialog, -1);
}

// The uninstaller works on the recorded install directory: the wizard may run from the
// distribution, whose own files must stay.
void RunUninstall(HWND dialog) {
    EndDialog(dialog, -1);
    DialogBoxParamA(AppInstance, DLG_REMOVE_NAME, nullptr, RemoveDialogProc,
                    reinterpret_cast<LPARAM>(WorkDirectory));
}

void ExitWizard(HWND dialog) { EndDialog(dialog, -1); }
