// The uninstall dialog: confirm, then remove the installed files, the program's registry keys and
// its Start Menu group in one pass inside the OK command; a second OK closes.
#include "remove_dialog.h"

#include "dialog_utils.h"
#include "file_operations.h"
#include "manifest.h"
#include "paths.h"
#include "program_group.h"
#include "records.h"
#include "resource_ids.h"
#include "state.h"

namespace {

LONG RemoveBusy;                 // nonzero while the removal runs
LONG RemoveRuns;                 // completed removals since the dialog opened
const char* RemovalDirectory;    // the directory whose installed files a removal deletes
bool RemovingOwnDirectory;       // opened by the wizard on the directory that holds the program

constexpr char kControlPanelEntry[] = "Control Panel Add/Remove";

// The files to remove, in this order. The setup program's own file stays; the MP3 entries name
// the WAV files that the install converted them into.
struct RemovalStep {
    FileGroup group;
    bool converted;
};
constexpr RemovalStep kRemovalSteps[] = {
    {RootFiles, false}, {EngineResFiles, false}, {ResFiles, false},     {ReadmeFile, false},
    {BitmapFiles, false}, {SfxWavFiles, false},  {SfxMp3Files, true},   {MusicMp3Files, true},
};

void ShowRemoveString(HWND dialog, int stringId) {
    char text[kTextChars];
    LoadStringA(AppInstance, stringId, text, kTextChars);
    SetRemoveStatus(dialog, text);
}

void ShowRemovingKey(HWND dialog, const char* key) {
    char format[kTextChars];
    LoadStringA(AppInstance, IDS_REMOVING_KEY, format, kTextChars);
    SetRemoveStatus(dialog, format, key);
}

// `shown` is what the status line names: the entry, or for a converted sound its stem. Only a file
// is asked for: the shell answers a name that is not there with an error box of its own, one click
// for each sound a failed conversion never made, and would take a folder of that name, which is
// none of ours, with everything in it. A file that is there and cannot be deleted keeps its box.
void RemoveFile(HWND dialog, const char* format, const char* relative, const char* shown) {
    char path[kPathChars];
    SetRemoveStatus(dialog, format, shown);
    if (JoinPath(path, kPathChars, RemovalDirectory, relative) && IsFile(path)) ShellDeleteFile(dialog, path);
}

void RemoveFiles(HWND dialog) {
    char format[kTextChars];
    LoadStringA(AppInstance, IDS_REMOVING_FILE, format, kTextChars);
    // Without a directory the names would be the current directory's files, whoever's they are.
    if (RemovalDirectory[0] == '\0') return;
    const char* setupProgram = CoreFileList[kSetupProgramEntry];
    for (const RemovalStep& step : kRemovalSteps) {
        for (int i = 0; i < step.group.count; ++i) {
            const char* entry = step.group[i];
            if (entry == setupProgram) continue;
            if (!step.converted) {
                RemoveFile(dialog, format, entry, entry);
                continue;
            }
            char wave[kPathChars];
            char stem[kPathChars];
            if (!MakeConvertedName(wave, kPathChars, entry)) continue;
            lstrcpynA(stem, entry, ConvertedStemLength(entry) + 1);
            RemoveFile(dialog, format, wave, stem);
        }
    }
}

void RunRemoval(HWND dialog) {
    ++RemoveBusy;
    EnableWindow(GetDlgItem(dialog, IDC_REMOVE_OK), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_REMOVE_CANCEL), FALSE);
    ShowWaitCursor();

    RemoveFiles(dialog);
    ShowRemovingKey(dialog, kCompanyKey);
    RemoveWorkDirectoryRecord(RemovalDirectory);
    ShowRemovingKey(dialog, kControlPanelEntry);
    RemoveUninstallEntry(RemovalDirectory);
    // The running program cannot delete its own file: the system is asked to at the next start.
    if (RemovingOwnDirectory) {
        RunGrpconvOnExit = 1;
        WriteOwnFileRecord(RemovalDirectory);
    }
    ShowRemoveString(dialog, IDS_REMOVING_SHORTCUTS);
    RemoveProgramGroup(dialog, RemovalDirectory);

    EnableWindow(GetDlgItem(dialog, IDC_REMOVE_OK), TRUE);
    ShowRemoveString(dialog, IDS_REMOVAL_DONE);
    --RemoveBusy;
    ++RemoveRuns;
}

// Opened by the wizard, the dialog is handed the recorded install directory; in remove mode it
// empties the directory of the running program, which the system's uninstall entry started and
// which stays as the one file of the install.
void OnInitDialog(HWND dialog, LPARAM directory) {
    RemovalDirectory = directory != 0 ? reinterpret_cast<const char*>(directory) : ModuleDirectory;
    RemovingOwnDirectory = directory != 0 && SameFolder(RemovalDirectory, ModuleDirectory);
    ShowWindow(GetDlgItem(dialog, IDC_REMOVE_TEXT), SW_SHOW);
    ShowRemoveString(dialog, IDS_REMOVE_PROMPT);
    RemoveRuns = 0;
}

void OnOk(HWND dialog, int notification) {
    if (RemoveBusy > 0) return;
    if (notification == BN_CLICKED && RemoveRuns == 0) {
        RunRemoval(dialog);
    } else if (RemoveRuns == 1) {
        RunGrpconvOnExit = 1;
        EndDialog(dialog, 0);
    }
}

void OnCancel(HWND dialog, int notification) {
    if (RemoveBusy == 0 && notification == BN_CLICKED) EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK RemoveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR: return SetCursorWhileBusy(RemoveBusy);
        case WM_INITDIALOG: OnInitDialog(dialog, lParam); return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_REMOVE_OK) OnOk(dialog, HIWORD(wParam));
            if (LOWORD(wParam) == IDC_REMOVE_CANCEL) OnCancel(dialog, HIWORD(wParam));
            return FALSE;
        default: return FALSE;
    }
}
