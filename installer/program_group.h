// The Start Menu group: made by the system's group converter from SETUP.INI, removed as a folder.
#ifndef QUORVANE_PROGRAM_GROUP_H
#define QUORVANE_PROGRAM_GROUP_H

#include <windows.h>

// The system's group converter, which makes the group's items from SETUP.INI and, started alone,
// brings the Start Menu up to date.
constexpr char kGroupConverter[] = "grpconv.exe";

// Size of the buffer that holds the content of SETUP.INI, NUL included. The longest content is
// that of the uninstaller's item for the longest accepted destination (232 characters) whose
// names have no short form: 560 characters.
constexpr int kGroupFileChars = 640;

// The content of SETUP.INI for one item; returns its length in characters (buffer:
// kGroupFileChars). A content that would not fit is not cut: the answer is 0 and `out` is empty.
int FormatGroupFile(char* out, const char* group, const char* title, const char* commandLine,
                    const char* workingDirectory);

// Hands the converter the group's two items for an install in `directory`, one after the other.
void CreateProgramGroup(const char* directory);
// Deletes the group's items that start programs of `installDirectory`, and the group's folder when
// that leaves it empty.
void RemoveProgramGroup(HWND dialog, const char* installDirectory);

#endif
