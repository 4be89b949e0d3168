#include "records.h"

#include "command_line.h"
#include "file_operations.h"
#include "manifest.h"
#include "paths.h"
#include "state.h"

namespace {

// Every record lives below HKEY_LOCAL_MACHINE\Software; these are the levels beneath it.
constexpr char kSoftwareKey[] = "Software";
constexpr char kProductName[] = "Quorvane";
constexpr const char* kWorkDirectoryKey[] = {kCompanyKey, kProductName};
constexpr const char* kDeleteFilesKey[] = {"Microsoft", "Windows", "CurrentVersion", "DeleteFiles", kProductName};
constexpr const char* kUninstallKey[] = {"Microsoft", "Windows", "CurrentVersion", "Uninstall", kProductName};
// The key whose subkey the removal deletes: the uninstall entry without its last level.
constexpr const char* kUninstallParentKey[] = {"Microsoft", "Windows", "CurrentVersion", "Uninstall"};

constexpr char kWorkDirValue[] = "WorkDir";
constexpr char kDefaultValue[] = "";
constexpr char kDisplayNameValue[] = "DisplayName";
constexpr char kUninstallStringValue[] = "UninstallString";

constexpr char kDisplayName[] = "Quorvane July 4th Demo";

// The read leaves two characters of its 260-character buffer unused, so a recorded directory of up to
// 257 characters comes back and the buffer always has room for a NUL of our own behind the data.
constexpr DWORD kWorkDirReadSize = 258;

constexpr char kProbeSource[] = "WIN.INI";
constexpr char kProbeTarget[] = "SMAG.INI";
// Names tried in turn when SMAG.INI is taken: SMAG0.INI to SMAG99.INI.
constexpr char kProbeAlternativeFormat[] = "SMAG%d.INI";
constexpr int kProbeAlternatives = 100;

template <int Count>
HKEY ReachKey(const char* const (&names)[Count], REGSAM access) {
    return ReachSoftwareKey(names, Count, access);
}

}  // namespace

bool SetTextValue(HKEY key, const char* name, const char* text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenA(text) + 1)) == ERROR_SUCCESS;
}

// Each key is opened with the rights its step uses and no more: NT gives a user who is no
// administrator query, set value, create and delete below HKEY_LOCAL_MACHINE\Software, but not
// every right there is, and refuses a request for every right (KEY_ALL_ACCESS) outright.
HKEY ReachSoftwareKey(const char* const* names, int count, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSoftwareKey, 0, count > 0 ? KEY_CREATE_SUB_KEY : access, &key) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    // Creating rather than opening each level makes a missing record's keys come into being,
    // also on a read.
    for (int level = 0; level < count; ++level) {
        HKEY next = nullptr;
        DWORD disposition = 0;
        const REGSAM levelAccess = level + 1 < count ? KEY_CREATE_SUB_KEY : access;
        if (RegCreateKeyExA(key, names[level], 0, nullptr, REG_OPTION_NON_VOLATILE, levelAccess, nullptr, &next,
                            &disposition) != ERROR_SUCCESS) {
            return nullptr;
        }
        key = next;
    }
    return key;
}

bool ReadWorkDirectory(char* directory) {
    HKEY key = ReachKey(kWorkDirectoryKey, KEY_QUERY_VALUE);
    if (key == nullptr) return false;
    // The stored value may be of any type and need not end in a NUL; it is read aside and ended
    // here, so `directory` only ever takes a terminated text.
    char text[kPathChars];
    DWORD type = 0;
    DWORD size = kWorkDirReadSize;
    if (RegQueryValueExA(key, kWorkDirValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    if (size < kWorkDirReadSize) text[size] = '\0';
    text[kWorkDirReadSize] = '\0';
    // An empty directory, or a value that is no text, names no install: taken as one, it would
    // make the current directory the game's, and Play, Read Me and Uninstall would act there.
    if (type != REG_SZ || text[0] == '\0') return false;
    lstrcpynA(directory, text, kPathChars);
    return true;
}

bool WriteWorkDirectory(const char* directory) {
    HKEY key = ReachKey(kWorkDirectoryKey, KEY_SET_VALUE);
    return key != nullptr && SetTextValue(key, kWorkDirValue, directory);
}

// The record names no file of its own: a "setup.exe" value that an earlier removal left would
// have the system delete this install's uninstaller at the next start.
bool WriteDeleteFilesRecord(const char* directory) {
    HKEY key = ReachKey(kDeleteFilesKey, KEY_SET_VALUE);
    if (key == nullptr) return false;
    RegDeleteValueA(key, CoreFileList[kSetupProgramEntry]);
    SetTextValue(key, kDefaultValue, directory);
    return true;
}

void WriteUninstallEntry(const char* directory) {
    HKEY key = ReachKey(kUninstallKey, KEY_SET_VALUE);
    if (key == nullptr) return;
    SetTextValue(key, kDisplayNameValue, kDisplayName);
    char command[kPathChars];
    if (ComposeUninstallString(command, kPathChars, directory)) {
        SetTextValue(key, kUninstallStringValue, command);
    }
}

bool ComposeUninstallString(char* out, int capacity, const char* directory) {
    if (capacity > 0) out[0] = '\0';
    char program[kPathChars];
    char quoted[kPathChars + 2];
    if (!JoinPath(program, kPathChars, directory, CoreFileList[kSetupProgramEntry]) ||
        !QuoteProgramPath(quoted, kPathChars + 2, program)) {
        return false;
    }
    if (lstrlenA(quoted) + 1 + lstrlenA(kRemoveArgument) + 1 > capacity) return false;
    wsprintfA(out, "%s %s", quoted, kRemoveArgument);
    return true;
}

namespace {

// The text of value `name` of `parent`'s subkey `subkey`, in `text` (kPathChars): true with an
// empty text when the key or the value is missing or holds no text, false when it cannot be read.
bool ReadRecordText(HKEY parent, const char* subkey, const char* name, char* text) {
    text[0] = '\0';
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(parent, subkey, 0, KEY_QUERY_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD size = kPathChars - 1;
    const LONG queried = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (queried == ERROR_FILE_NOT_FOUND) return true;
    if (queried != ERROR_SUCCESS) return false;
    text[size < static_cast<DWORD>(kPathChars) ? size : kPathChars - 1] = '\0';
    if (type != REG_SZ) text[0] = '\0';
    return true;
}

// The folder of the program that an uninstall command starts, in place: the quoted path, or the
// text before " -REMOVE".
void CutToProgramFolder(char* command) {
    if (command[0] == '"') {
        int end = 1;
        for (; command[end] != '\0' && command[end] != '"'; ++end) command[end - 1] = command[end];
        command[end - 1] = '\0';
    } else {
        const int length = lstrlenA(command);
        const int argument = lstrlenA(kRemoveArgument) + 1;
        if (length > argument && command[length - argument] == ' ' &&
            lstrcmpA(command + length - argument + 1, kRemoveArgument) == 0) {
            command[length - argument] = '\0';
        }
    }
    CutFileName(command);
}

// A record is ours when it names the folder that the removal empties, or names nothing: a copy
// left behind by an install elsewhere must not take the records of the install they name.
bool RecordIsOurs(const char* recorded, const char* directory) {
    return recorded[0] == '\0' || SameFolder(recorded, directory);
}

}  // namespace

// Windows NT refuses to delete a key that has subkeys, so the product key goes first. Windows 95
// deletes a key with everything below it, so the maker's key goes only when nothing is left in
// it: the maker's other products keep their settings there. It is opened, not created: a machine
// without it keeps none.
void RemoveWorkDirectoryRecord(const char* directory) {
    HKEY software = ReachSoftwareKey(nullptr, 0, KEY_QUERY_VALUE);
    HKEY company = nullptr;
    if (software == nullptr ||
        RegOpenKeyExA(software, kCompanyKey, 0, KEY_QUERY_VALUE, &company) != ERROR_SUCCESS) {
        return;
    }
    char recorded[kPathChars];
    if (ReadRecordText(company, kProductName, kWorkDirValue, recorded) && RecordIsOurs(recorded, directory)) {
        RegDeleteKeyA(company, kProductName);
    }
    DWORD subkeys = 0;
    DWORD values = 0;
    const LONG queried = RegQueryInfoKeyA(company, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                          nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(company);
    if (queried == ERROR_SUCCESS && subkeys == 0 && values == 0) RegDeleteKeyA(software, kCompanyKey);
}

void RemoveUninstallEntry(const char* directory) {
    HKEY parent = ReachKey(kUninstallParentKey, KEY_QUERY_VALUE);
    char command[kPathChars];
    if (parent == nullptr || !ReadRecordText(parent, kProductName, kUninstallStringValue, command)) return;
    CutToProgramFolder(command);
    if (RecordIsOurs(command, directory)) RegDeleteKeyA(parent, kProductName);
}

void WriteOwnFileRecord(const char* directory) {
    HKEY key = ReachKey(kDeleteFilesKey, KEY_SET_VALUE);
    if (key == nullptr) return;
    const char* setupProgram = CoreFileList[kSetupProgramEntry];
    SetTextValue(key, kDefaultValue, directory);
    SetTextValue(key, setupProgram, setupProgram);
}

// The probe's name in the destination: SMAG.INI, or when something of that name is already there
// (a reinstall, another program's file, a folder), the first free name of the same kind. The
// probe replaces and then deletes what it copies to, so it must never meet a thing of the user's.
static bool ChooseProbeTarget(char* target, int capacity, const char* directory) {
    if (!JoinPath(target, capacity, directory, kProbeTarget)) return false;
    for (int n = 0; GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES; ++n) {
        if (n == kProbeAlternatives) return false;
        char name[sizeof(kProbeAlternativeFormat) + 8];
        wsprintfA(name, kProbeAlternativeFormat, n);
        if (!JoinPath(target, capacity, directory, name)) return false;
    }
    return true;
}

bool ProbeDestination(HWND dialog, const char* directory) {
    char source[kPathChars];
    if (!MakeWindowsPath(source, kPathChars, kProbeSource)) return false;
    char target[kPathChars];
    if (!ChooseProbeTarget(target, kPathChars, directory)) return false;
    // The copy creates every missing folder on the way to the target: this is how the install
    // directory comes into being, and its success shows that the directory can be written.
    if (ShellCopyFile(dialog, source, target) != 0) return false;
    ShellDeleteFile(dialog, target);
    return true;
}
