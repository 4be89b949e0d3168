// What the install leaves in the registry: the work-directory record, the delete-files record and
// the uninstall entry; and the probe through which the destination directory comes into being.
#ifndef QUORVANE_RECORDS_H
#define QUORVANE_RECORDS_H

#include <windows.h>

// Reaches HKEY_LOCAL_MACHINE\Software, then creates each of `names` level by level. Null at the
// first call that fails. Keys are left open: the process's end releases them.
HKEY ReachSoftwareKey(const char* const* names, int count);

// Sets a REG_SZ value; its size counts the NUL.
bool SetTextValue(HKEY key, const char* name, const char* text);

// The maker's key below HKEY_LOCAL_MACHINE\Software, which holds the work-directory record; the
// removal names it as it goes.
constexpr char kCompanyKey[] = "Vexelworks";

// Reads "WorkDir" into WorkDirectory. False, with WorkDirectory unchanged, on any failure.
bool ReadWorkDirectory();
// Copies InstallDirectory into WorkDirectory and writes it as "WorkDir", when the keys can be
// reached. False, with WorkDirectory unchanged, when they cannot.
bool WriteWorkDirectory();
// The delete-files record: sets RunGrpconvOnExit when its keys can be reached.
void WriteDeleteFilesRecord();
// The uninstall entry: "DisplayName" and "UninstallString".
void WriteUninstallEntry();
// The command line of the uninstall entry for `directory`: its setup.exe and " -REMOVE", the
// program path quoted when it holds a blank. False when it does not fit `capacity`.
bool ComposeUninstallString(char* out, int capacity, const char* directory);
// Deletes the work-directory record's keys: the product's, and the maker's when it holds nothing
// else.
void RemoveWorkDirectoryRecord();
// Deletes the uninstall entry. Right after an install into the running program's own directory,
// also records the program's own file for the system to delete, and asks for the group converter.
void RemoveUninstallEntry();
// Copies the Windows directory's WIN.INI into InstallDirectory as SMAG.INI, which creates the
// directory, and deletes the copy again; a SMAG.INI already there is left alone and the probe takes
// another name. True when the copy succeeded.
bool ProbeDestination(HWND dialog);

#endif
