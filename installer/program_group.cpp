#include "program_group.h"

#include "command_line.h"
#include "dialog_utils.h"
#include "file_operations.h"
#include "manifest.h"
#include "paths.h"
#include "resource_ids.h"
#include "shell_imports.h"
#include "shell_link.h"
#include "state.h"

// The converter reads the file the moment it starts; it is given time to finish one item before
// the file is replaced by the next.
static constexpr DWORD kConverterPauseMs = 4000;

static constexpr char kSetupIniName[] = "SETUP.INI";
static constexpr char kConverterArguments[] = " -o";
static constexpr char kQuote[] = "\"";
static constexpr char kStartMenuFolder[] = "Start Menu";
static constexpr char kProgramsFolder[] = "Programs";
// The user's own Programs folder and that of all users; Windows 95 has only the first.
static constexpr int kShellProgramsFolders[] = {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS};
static constexpr char kGroupFileFormat[] =
    "[progman.groups]\r\ngroupX=%s\r\n[groupX]\r\n\"%s\",\"%s\",,,,\"%s\"\r\n";

int FormatGroupFile(char* out, const char* group, const char* title, const char* commandLine,
                    const char* workingDirectory) {
    char text[kFormattedChars];
    const int length = wsprintfA(text, kGroupFileFormat, group, title, commandLine, workingDirectory);
    // A cut description would make the converter read a different item than the one meant.
    if (length < 0 || length >= kGroupFileChars) {
        out[0] = '\0';
        return 0;
    }
    lstrcpynA(out, text, kGroupFileChars);
    return length;
}

// The command line of a program of the install directory `directory`: its short form, so that the converter
// never meets a blank, then a blank and `arguments` when there are any. A program that was not
// copied has no short form; it is named by its long path, which still says what was meant.
static bool MakeProgramCommand(char* command, const char* directory, const char* program, const char* arguments) {
    char longPath[kPathChars];
    if (!JoinPath(longPath, kPathChars, directory, program)) return false;
    const DWORD length = GetShortPathNameA(longPath, command, kPathChars);
    if (length == 0 || length >= static_cast<DWORD>(kPathChars)) {
        lstrcpynA(command, longPath, kPathChars);
    }
    if (arguments[0] == '\0') return true;
    if (lstrlenA(command) + 1 + lstrlenA(arguments) >= kPathChars) return false;
    lstrcatA(command, " ");
    lstrcatA(command, arguments);
    return true;
}

// SETUP.INI describes exactly one item; each write replaces the whole file.
static bool WriteGroupFile(const char* iniPath, const char* content, int length) {
    const HFILE file = _lcreat(iniPath, 0);
    if (file == HFILE_ERROR) return false;
    _lwrite(file, content, static_cast<UINT>(length));
    _lclose(file);
    return true;
}

// The converter by its full path, quoted in case a folder's name has a blank. When the system has
// none, nothing is started.
static void StartConverter() {
    // An opening quote, the path, the closing quote, the arguments.
    char command[kPathChars + sizeof(kQuote) + sizeof(kConverterArguments)];
    lstrcpyA(command, kQuote);
    if (!FindSystemProgram(command + 1, kPathChars, kGroupConverter)) return;
    lstrcatA(command, kQuote);
    lstrcatA(command, kConverterArguments);
    WinExec(command, SW_HIDE);
}

// One item of the group for a program of `directory`, handed to the converter. False when
// SETUP.INI was not written; the converter is then not started.
static bool PublishGroupItem(const char* iniPath, const char* group, const char* directory, UINT titleId,
                             int programEntry, const char* arguments) {
    char command[kPathChars];
    if (!MakeProgramCommand(command, directory, CoreFileList[programEntry], arguments)) return false;
    char title[kTextChars];
    title[0] = '\0';
    LoadStringA(AppInstance, titleId, title, kTextChars);
    char content[kGroupFileChars];
    const int length = FormatGroupFile(content, group, title, command, directory);
    if (length == 0) return false;
    if (!WriteGroupFile(iniPath, content, length)) return false;
    StartConverter();
    return true;
}

void CreateProgramGroup(const char* directory) {
    char iniPath[kPathChars];
    const bool haveIniPath = MakeWindowsPath(iniPath, kPathChars, kSetupIniName);
    char group[kTextChars];
    group[0] = '\0';
    LoadStringA(AppInstance, IDS_GROUP_NAME, group, kTextChars);

    if (haveIniPath) PublishGroupItem(iniPath, group, directory, IDS_GAME_ITEM, kGameProgramEntry, "");
    SleepEx(kConverterPauseMs, FALSE);
    if (haveIniPath) {
        PublishGroupItem(iniPath, group, directory, IDS_UNINSTALL_ITEM, kSetupProgramEntry, kRemoveArgument);
    }
}

// The items the converter made for this product: shortcuts named after their titles.
static constexpr UINT kItemTitles[] = {IDS_GAME_ITEM, IDS_UNINSTALL_ITEM};
static constexpr char kShortcutExtension[] = ".lnk";

// The shortcut file of the item titled by string `titleId` in `folder`.
static bool MakeItemPath(char* path, const char* folder, UINT titleId) {
    char name[kTextChars];
    const int length = LoadStringA(AppInstance, titleId, name, kTextChars);
    if (length <= 0 || length + lstrlenA(kShortcutExtension) >= kTextChars) return false;
    lstrcatA(name, kShortcutExtension);
    return JoinPath(path, kPathChars, folder, name);
}

// An item is ours when the program it starts lies in the directory that the removal empties: the
// maker's full game or a second copy of this demo installed elsewhere makes items of the same
// titles in the same folder. An item whose target cannot be read is not known to be ours.
static bool StartsFromDirectory(const char* item, const char* directory) {
    char target[kPathChars];
    if (!ReadShortcutTarget(item, target, kPathChars)) return false;
    CutFileName(target);
    return target[0] != '\0' && SameFolder(target, directory);
}

// The group's folder below `programs` is the maker's and may hold its other products and the
// user's own items: only this install's items are deleted, and the folder with them only when
// that leaves it empty. A folder without items of ours is not touched. Missing items are not
// asked for, since the shell reports each in a box of its own and most places hold no group.
static void RemoveGroupItems(HWND dialog, const char* programs, const char* group, const char* directory) {
    char folder[kPathChars];
    if (!JoinPath(folder, kPathChars, programs, group) || !IsDirectory(folder)) return;
    bool heldOurs = false;
    for (const UINT titleId : kItemTitles) {
        char item[kPathChars];
        if (!MakeItemPath(item, folder, titleId) || !IsFile(item) || !StartsFromDirectory(item, directory)) continue;
        ShellDeleteFile(dialog, item);
        heldOurs = true;
    }
    // Fails, and so keeps the folder, while anything is left in it.
    if (heldOurs) RemoveDirectoryA(folder);
}

// The path of one of the shell's folders; false when this system has no such folder.
static bool GetShellFolder(HWND dialog, int folderId, char* path) {
    LPITEMIDLIST list = nullptr;
    if (SHGetSpecialFolderLocation(dialog, folderId, &list) != NOERROR || list == nullptr) return false;
    const BOOL found = SHGetPathFromIDList(list, path);
    FreeIdList(list);
    return found != FALSE;
}

// The converter puts the group where the system keeps the Start Menu: the Windows directory's
// "Start Menu" on Windows 95 without user profiles, the user's profile on NT 4 and with profiles,
// where the common groups of all users lie beside it. Our items are removed from each of them.
void RemoveProgramGroup(HWND dialog, const char* installDirectory) {
    char group[kTextChars];
    // Without the group's own name the path would be the Programs folder itself.
    if (LoadStringA(AppInstance, IDS_GROUP_NAME, group, kTextChars) <= 0) return;
    char programs[kPathChars];
    if (MakeWindowsPath(programs, kPathChars, kStartMenuFolder) &&
        AppendPathComponent(programs, kPathChars, kProgramsFolder)) {
        RemoveGroupItems(dialog, programs, group, installDirectory);
    }
    for (const int folderId : kShellProgramsFolders) {
        if (GetShellFolder(dialog, folderId, programs)) RemoveGroupItems(dialog, programs, group, installDirectory);
    }
}
