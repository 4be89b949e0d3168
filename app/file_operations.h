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

#endif
