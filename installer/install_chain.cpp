// The install sequence. It runs inside the Next command from start to end without returning to
// the dialog's message loop; the status line is its only progress report, and the Retry/Cancel
// prompt of a failed copy its only question.
#include "install_chain.h"

#include "audio_conversion.h"
#include "dialog_utils.h"
#include "file_operations.h"
#include "manifest.h"
#include "paths.h"
#include "program_group.h"
#include "records.h"
#include "resource_ids.h"
#include "state.h"

char InstallDirectory[kPathChars];

namespace {

void ShowStatusString(HWND dialog, int stringId) {
    char text[kTextChars];
    LoadStringA(AppInstance, stringId, text, kTextChars);
    SetWizardStatus(dialog, text);
}

void ClearStatus(HWND dialog) { SetWizardStatus(dialog, ""); }

bool IsBlankText(const char* text) {
    for (; *text != '\0'; ++text) {
        if (*text != ' ' && *text != '\t') return false;
    }
    return true;
}

}  // namespace

// The destination becomes a full path once, here: a relative name ("Games\Q", "C:Games") means
// the current directory of the moment the user pressed Next, and every later step (the records,
// the shortcuts, the conversion run from inside the directory, the menu after Finish) must name
// that same directory. An empty name would put the files into whatever directory is current.
bool MakeDestinationFull(char* directory) {
    if (IsBlankText(directory)) return false;
    MakeBareDriveItsRoot(directory);
    char full[kPathChars];
    char* namePart = nullptr;
    const DWORD length = GetFullPathNameA(directory, kPathChars, full, &namePart);
    if (length == 0 || length >= static_cast<DWORD>(kPathChars) || IsDevicePath(full)) return false;
    lstrcpynA(directory, full, kPathChars);
    return true;
}

namespace {

// A destination that is empty, cannot be made a full path of a folder or is too long for its copy
// paths is refused before anything is written, as one that cannot be created: the user stays on
// the directory page with the text as typed and may correct it.
bool PrepareDestination(HWND dialog) {
    ShowStatusString(dialog, IDS_CREATING_DIR);
    const bool prepared = MakeDestinationFull(InstallDirectory) && lstrlenA(InstallDirectory) <= kLongestDestination &&
                          ProbeDestination(dialog, InstallDirectory);
    ClearStatus(dialog);
    return prepared;
}

void CopyDemoFiles(HWND dialog) {
    ShowStatusString(dialog, IDS_COPYING_FILES);
    for (const FileGroup& group : kCopyGroups) {
        for (int i = 0; i < group.count; ++i) CopyManifestFile(dialog, group[i]);
    }
}

void CreateStartMenuGroup(HWND dialog) {
    ClearStatus(dialog);
    ShowStatusString(dialog, IDS_CREATING_GROUP);
    CreateProgramGroup(InstallDirectory);
    ClearStatus(dialog);
}

}  // namespace

void CopyManifestFile(HWND dialog, const char* entry) {
    char source[kPathChars];
    char target[kPathChars];
    // A path that does not fit cannot be copied; the prompt below then lets the user skip it.
    const bool joined = JoinPath(source, kPathChars, ModuleDirectory, entry) &&
                        JoinPath(target, kPathChars, InstallDirectory, entry);

    char format[kTextChars];
    LoadStringA(AppInstance, IDS_COPYING_FILE, format, kTextChars);
    SetWizardStatus(dialog, format, entry);
    for (;;) {
        if (joined && ShellCopyFile(dialog, source, target) == 0) {
            SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
            return;
        }
        char message[kFormattedChars];
        LoadStringA(AppInstance, IDS_COPY_FAILED, format, kTextChars);
        wsprintfA(message, format, entry);
        if (MessageBoxA(dialog, message, CaptionText, MB_RETRYCANCEL) == IDCANCEL) return;
    }
}

// A cancelled copy skips its file and the install goes on to its end. When the work-directory
// record cannot be written, the files still go where the user asked and where the probe created
// the directory.
InstallOutcome InstallChain(HWND dialog, const char* typed, InstallStep leaveDirectoryFields) {
    lstrcpynA(InstallDirectory, typed, kPathChars);
    if (!PrepareDestination(dialog)) return kInstallRefused;
    WriteWorkDirectory(InstallDirectory);
    ShowStatusString(dialog, IDS_CHECKING_SPACE);
    ClearStatus(dialog);
    // Copies of the medium's files onto themselves could never succeed, however the user answers;
    // nor could the copy of the decoder's extender.
    const bool inPlace = SameFolder(InstallDirectory, ModuleDirectory);
    if (!inPlace) CopyDemoFiles(dialog);

    ShowStatusString(dialog, IDS_DECOMPRESSING);
    HANDLE conversion = StartAudioConversion(dialog, ModuleDirectory, InstallDirectory, inPlace);
    if (WriteDeleteFilesRecord(InstallDirectory)) RunGrpconvOnExit = 1;
    CreateStartMenuGroup(dialog);
    leaveDirectoryFields(dialog);
    WriteUninstallEntry(InstallDirectory);
    WaitForAudioConversion(dialog, conversion);
    return kInstallFinished;
}
