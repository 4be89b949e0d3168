// Paths as the program composes and takes them apart: fixed buffers of ANSI text in which a
// separator is '\\' or '/'.
#ifndef QUORVANE_PATHS_H
#define QUORVANE_PATHS_H

// Joins `component` to the path in `path` (a buffer of `capacity` characters) with one separator,
// and puts a second NUL behind the result, the list form that SHFileOperationA takes. When the
// result and both NULs do not fit, the path is left as it was and the answer is false.
bool AppendPathComponent(char* path, int capacity, const char* component);

// `directory` joined with `name` into `out`, a buffer of `capacity` characters, in the same list
// form. False when the result does not fit; `out` then names no file.
bool JoinPath(char* out, int capacity, const char* directory, const char* name);

// Cuts the last path component and the separator before it off a full file name, in place. Both
// '\\' and '/' separate; a name without a separator becomes empty.
void CutFileName(char* path);

// Whether a path holds a blank, and so must be quoted on a command line.
bool ContainsBlank(const char* text);

#endif
