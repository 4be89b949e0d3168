// What the menu and the finish page do beyond the directory page: return to the menu, open the
// read-me, start the game, start the uninstaller, leave.
#include "launch_actions.h"

#include "dialog_utils.h"
#include "file_operations.h"
#include "manifest.h"
#include "remove_dialog.h"
#include "resource_ids.h"
#include "state.h"

namespace {

constexpr char kReadmeDocument[] = "docs\\readme.doc";
constexpr char kOpenVerb[] = "OPEN";

struct MenuButtonState {
    int control;
    bool enabledWhenNotInstalled;
    bool enabledWhenInstalled;
};
// In the order the menu sets them.
constexpr MenuButtonState kMenuButtons[] = {
    {IDC_PLAY, false, true},      {IDC_INSTALL, true, true}, {IDC_DIRECTX, false, false},
    {IDC_UNINSTALL, false, true}, {IDC_README, true, true},  {IDC_EXIT, true, true},
};

constexpr int kFinishPageControlsToHide[] = {IDC_SUCCESS, IDC_BACK, IDC_NEXT, IDC_CANCEL, IDC_STATUS};

}  // namespace

// Button 2 stays hidden on the menu but enabled: the dialog manager refuses the window's close
// command while it is disabled, and the close box must reach the menu's own handling of it.
void SetMenuButtons(HWND dialog, bool installed) {
    for (const MenuButtonState& button : kMenuButtons) {
        const bool enabled = installed ? button.enabledWhenInstalled : button.enabledWhenNotInstalled;
        EnableWindow(GetDlgItem(dialog, button.control), enabled ? TRUE : FALSE);
    }
    ShowWindow(GetDlgItem(dialog, IDC_CANCEL), SW_HIDE);
    EnableWindow(GetDlgItem(dialog, IDC_CANCEL), TRUE);
}

void FinishWizard(HWND dialog) {
    for (int control : kFinishPageControlsToHide) ShowWindow(GetDlgItem(dialog, control), SW_HIDE);
    SetMenuButtons(dialog, true);
}

// The installed menu opens the installed copy: the recorded directory holds it whether the game
// was installed by this process or found at start-up. The document is named by its full path:
// a relative name may be looked up in the process's current directory instead, which after an
// install or a failed Play is some other directory that may hold another copy.
void OpenReadme(HWND dialog) {
    if (GameInstalled != 0 && GameInstalled != 1) return;
    const char* directory = GameInstalled == 0 ? ModuleDirectory : WorkDirectory;
    char document[kPathChars];
    lstrcpynA(document, directory, kPathChars);
    if (!AppendPathComponent(document, kPathChars, kReadmeDocument)) return;
    ShellStart(dialog, kOpenVerb, document, nullptr, directory, SW_SHOWNORMAL);
}

// The game's path is quoted when it holds a blank: unquoted, WinExec would try the path's first
// word as a program.
void PlayGame(HWND dialog) {
    if (GameInstalled != 1) return;
    char path[kPathChars];
    lstrcpynA(path, WorkDirectory, kPathChars);
    SetCurrentDirectoryA(path);
    if (!AppendPathComponent(path, kPathChars, CoreFileList[kGameProgramEntry])) return;
    char commandLine[kPathChars + 2];
    if (ContainsBlank(path)) {
        wsprintfA(commandLine, "\"%s\"", path);
    } else {
        lstrcpyA(commandLine, path);
    }
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
