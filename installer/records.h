// What the install leaves in the registry: the work-directory record, the delete-files record and
// the uninstall entry; and the probe through which the destination directory comes into being.
#ifndef QUORVANE_RECORDS_H
#define QUORVANE_RECORDS_H

#include <windows.h>

// Reaches HKEY_LOCAL_MACHINE\Software, then creates each of `names` level by level; the last key
// is opened with `access`, the levels before it only to create below them. Null at the first call
// that fails. Keys are left open: the process's end releases them.
HKEY ReachSoftwareKey(const char* const* names, int count, REGSAM access);

// Sets a REG_SZ value; its size counts the NUL.
bool SetTextValue(HKEY key, const char* name, const char* text);

// The maker's key below HKEY_LOCAL_MACHINE\Software, which holds the work-directory record; the
// removal names it as it goes.
constexpr char kCompanyKey[] = "Vexelworks";

// Reads "WorkDir" into `directory`, a buffer of 260 characters. False, with the buffer unchanged,
// on any failure.
bool ReadWorkDirectory(char* directory);
// Writes `directory` as "WorkDir". False when the keys or the value cannot be written.
bool WriteWorkDirectory(const char* directory);
// The delete-files record of an install in `directory`, which names no file of its own. False
// when its keys cannot be reached; the group converter is then not asked for.
bool WriteDeleteFilesRecord(const char* directory);
// The uninstall entry of an install in `directory`: "DisplayName" and "UninstallString".
void WriteUninstallEntry(const char* directory);
// The command line of the uninstall entry for `directory`: its setup.exe and " -REMOVE", the
// program path quoted when it holds a blank. False when it does not fit `capacity`.
bool ComposeUninstallString(char* out, int capacity, const char* directory);
// Deletes the work-directory record's keys of an install in `directory`: the product's when its
// WorkDir names that folder or nothing, and the maker's when it then holds nothing else.
void RemoveWorkDirectoryRecord(const char* directory);
// Deletes the uninstall entry when the program it starts lies in `directory`, or it starts none.
void RemoveUninstallEntry(const char* directory);
// Asks the system to delete `directory`'s setup.exe at the next start: the running program's own
// file, which it cannot delete itself.
void WriteOwnFileRecord(const char* directory);
// Copies the Windows directory's WIN.INI into `directory` as SMAG.INI, which creates the directory,
// and deletes the copy again; a SMAG.INI already there is left alone and the probe takes another
// name. True when the copy succeeded.
bool ProbeDestination(HWND dialog, const char* directory);

#endif
