// Every copy and delete of the program is one request to the shell's file operation: one name
// (double-NUL-terminated, as AppendPathComponent leaves it), no progress window, every question
// answered yes, nothing to the recycle bin.
#ifndef QUORVANE_FILE_OPERATIONS_H
#define QUORVANE_FILE_OPERATIONS_H

#include <windows.h>

// Both return the shell's result: 0 on success.
int ShellCopyFile(HWND owner, const char* source, const char* target);
int ShellDeleteFile(HWND owner, const char* path);

// Starts a program or opens a document through the shell, without an error box of the shell's
// own. Null verb: the default one. Returns the started process, or null when nothing started or
// the shell did not say; nobody closes it, the process's end releases it.
HANDLE ShellStart(HWND owner, const char* verb, const char* file, const char* parameters,
                  const char* directory, int show);

// Whether `path` names an existing file, or an existing folder.
bool IsFile(const char* path);
bool IsDirectory(const char* path);

// The full path of the system's own program `name` (the interpreter, the group converter) in
// `path`, a buffer of `capacity` characters: the system directory's file of that name, else the
// Windows directory's. False when neither exists. A bare name would also be looked for in the
// program's own directory and the current one, both of them the install directory at times, where
// anybody who can write there could have put a program of that name.
bool FindSystemProgram(char* path, int capacity, const char* name);

#endif
