// Paths as the program composes and takes them apart: fixed buffers of ANSI text in which a
// separator is '\\' or '/'.
#ifndef QUORVANE_PATHS_H
#define QUORVANE_PATHS_H

// '\\' or '/', the two separators that the systems take.
bool IsSeparator(char c);

// Joins `component` to the path in `path` (a buffer of `capacity` characters) with one separator,
// and puts a second NUL behind the result, the list form that SHFileOperationA takes. When the
// result and both NULs do not fit, the path is left as it was and the answer is false.
bool AppendPathComponent(char* path, int capacity, const char* component);

// `directory` joined with `name` into `out`, a buffer of `capacity` characters, in the same list
// form. False when the result does not fit; `out` then names no file.
bool JoinPath(char* out, int capacity, const char* directory, const char* name);

// The Windows directory joined with `name` into `path`, a buffer of `capacity` characters, in the
// same list form. False when either does not fit.
bool MakeWindowsPath(char* path, int capacity, const char* name);

// `path` into `out` (a buffer of `capacity` characters), in quotes when it holds a blank: whoever
// reads a command line splits it at the first blank outside quotes and would take the part before
// it for a program of its own (C:\My.exe for C:\My Games\...). False when it does not fit.
bool QuoteProgramPath(char* out, int capacity, const char* path);

// Cuts the last path component and the separator before it off a full file name, in place. Both
// '\\' and '/' separate; a name without a separator becomes empty.
void CutFileName(char* path);

// A drive named alone, "D:", as the joins take it: that drive's root ("D:\SMAG.INI"). The buffer
// must have room for one more character.
void MakeBareDriveItsRoot(char* directory);

// `path` in its short (8.3) form as the system gives it, into `out` (a buffer of `capacity`
// characters): every DOS program opens it. The path as it stands where the system gives none (a
// name that does not exist, a volume without short names) or the short form does not fit; a drive
// named alone is its root. False when not even that fits.
bool MakeShortForm(char* out, int capacity, const char* path);

// Whether two names mean the same folder: compared full, without trailing separators (a drive's
// root keeps its "\", and a drive named alone is its root), each in its short form when it
// exists, without regard to case as the file system folds it. A name that does not fit or cannot
// be made full matches nothing.
bool SameFolder(const char* first, const char* second);

// Whether `text` holds any of `characters` (a blank: a path that must be quoted on a command
// line). Byte by byte, so a trail byte of a double-byte character that equals one counts too.
bool ContainsAnyOf(const char* text, const char* characters);
inline bool ContainsBlank(const char* text) { return ContainsAnyOf(text, " "); }

// Whether a full path begins with "\\?\" or "\\.\" (either separator): the system's raw file and
// device spaces, not a folder. Windows 95 knows neither, the shell's file requests take neither
// on NT 4, and a reserved name such as "CON" in a typed path becomes one when it is made full.
bool IsDevicePath(const char* path);

#endif
