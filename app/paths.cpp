#include "paths.h"

#include <windows.h>

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The last character, not the last byte: in a double-byte code page (932) the second byte of a
// character such as "\x95\x5C" equals '\', and that character is no separator.
static bool EndsInSeparator(const char* path, int length) { return IsSeparator(*CharPrevA(path, path + length)); }

// Room for any folder name that a 260-character buffer holds, made full against a current
// directory that may be as long.
static constexpr int kFolderChars = 2 * MAX_PATH;

bool AppendPathComponent(char* path, int capacity, const char* component) {
    const int length = lstrlenA(path);
    const bool needsSeparator = length > 0 && !EndsInSeparator(path, length);
    const int joined = length + (needsSeparator ? 1 : 0) + lstrlenA(component);
    // The joined text, its NUL and the list's second NUL.
    if (joined + 2 > capacity) {
        if (length + 1 < capacity) path[length + 1] = '\0';
        return false;
    }
    if (needsSeparator) lstrcatA(path, "\\");
    lstrcatA(path, component);
    path[joined + 1] = '\0';
    return true;
}

bool JoinPath(char* out, int capacity, const char* directory, const char* name) {
    if (capacity <= 0) return false;
    if (lstrlenA(directory) >= capacity) {
        out[0] = '\0';
        return false;
    }
    lstrcpynA(out, directory, capacity);
    if (AppendPathComponent(out, capacity, name)) return true;
    out[0] = '\0';
    return false;
}

bool MakeWindowsPath(char* path, int capacity, const char* name) {
    if (capacity <= 0) return false;
    const UINT length = GetWindowsDirectoryA(path, static_cast<UINT>(capacity));
    if (length == 0 || length >= static_cast<UINT>(capacity)) {
        path[0] = '\0';
        return false;
    }
    return AppendPathComponent(path, capacity, name);
}

bool QuoteProgramPath(char* out, int capacity, const char* path) {
    const bool quoted = ContainsBlank(path);
    if (lstrlenA(path) + (quoted ? 2 : 0) + 1 > capacity) {
        if (capacity > 0) out[0] = '\0';
        return false;
    }
    wsprintfA(out, quoted ? "\"%s\"" : "%s", path);
    return true;
}

bool ContainsAnyOf(const char* text, const char* characters) {
    for (; *text != '\0'; ++text) {
        for (const char* c = characters; *c != '\0'; ++c) {
            if (*text == *c) return true;
        }
    }
    return false;
}

bool IsDevicePath(const char* path) {
    return IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == '?' || path[2] == '.') &&
           IsSeparator(path[3]);
}

void MakeBareDriveItsRoot(char* directory) {
    const char letter = static_cast<char>(directory[0] | 0x20);
    if (letter >= 'a' && letter <= 'z' && directory[1] == ':' && directory[2] == '\0') lstrcpyA(directory + 2, "\\");
}

bool MakeShortForm(char* out, int capacity, const char* path) {
    if (capacity <= 0) return false;
    char named[kFolderChars];
    if (lstrlenA(path) + 1 >= kFolderChars) return false;
    lstrcpyA(named, path);
    MakeBareDriveItsRoot(named);
    const DWORD length = GetShortPathNameA(named, out, static_cast<DWORD>(capacity));
    if (length > 0 && length < static_cast<DWORD>(capacity)) return true;
    if (lstrlenA(named) >= capacity) {
        out[0] = '\0';
        return false;
    }
    lstrcpyA(out, named);
    return true;
}

// The one form in which two names of a folder are compared: full, without trailing separators
// but for a drive's root ("C:\", also when named "C:" as ModuleDirectory names it), short (8.3)
// when the folder exists and the system gives it one, and in capitals as the file system folds
// letters: one by one, never "ß" into "SS" or "Æ" into "AE", and no sign ignored. False when the
// name does not fit or cannot be made full in `capacity` characters: cut, it would name another.
static bool MakeCanonicalFolder(char* canonical, int capacity, const char* folder) {
    char named[kFolderChars];
    if (lstrlenA(folder) + 1 >= kFolderChars) return false;
    lstrcpyA(named, folder);
    MakeBareDriveItsRoot(named);
    char full[kFolderChars];
    char* namePart = nullptr;
    const DWORD length = GetFullPathNameA(named, kFolderChars, full, &namePart);
    if (length == 0 || length >= static_cast<DWORD>(kFolderChars)) return false;
    int end = static_cast<int>(length);
    // A root stripped to "C:" is its root again in the short form, which takes a drive named alone
    // as its root: so named, it would mean the drive's current directory.
    while (end > 0 && EndsInSeparator(full, end)) --end;
    full[end] = '\0';
    if (!MakeShortForm(canonical, capacity, full)) return false;
    CharUpperBuffA(canonical, static_cast<DWORD>(lstrlenA(canonical)));
    return true;
}

// Byte by byte: the system's string comparisons follow a language's rules, in which "Straße"
// equals "Strasse".
static bool SameBytes(const char* one, const char* other) {
    for (; *one == *other; ++one, ++other) {
        if (*one == '\0') return true;
    }
    return false;
}

bool SameFolder(const char* first, const char* second) {
    char one[kFolderChars];
    char other[kFolderChars];
    return MakeCanonicalFolder(one, kFolderChars, first) && MakeCanonicalFolder(other, kFolderChars, second) &&
           SameBytes(one, other);
}

void CutFileName(char* path) {
    char* cut = path;
    // CharNextA steps over whole double-byte characters, so a trail byte that equals '\' is never
    // taken for a separator.
    for (char* p = path; *p != '\0'; p = CharNextA(p)) {
        if (IsSeparator(*p)) cut = p;
    }
    *cut = '\0';
}
