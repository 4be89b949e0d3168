#include "paths.h"

#include <windows.h>

// The last character, not the last byte: in a double-byte code page (932) the second byte of a
// character such as "\x95\x5C" equals '\', and that character is no separator.
static bool EndsInSeparator(const char* path, int length) {
    const char* last = CharPrevA(path, path + length);
    return *last == '\\' || *last == '/';
}

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

bool ContainsBlank(const char* text) {
    for (; *text != '\0'; ++text) {
        if (*text == ' ') return true;
    }
    return false;
}

void CutFileName(char* path) {
    char* cut = path;
    // CharNextA steps over whole double-byte characters, so a trail byte that equals '\' is never
    // taken for a separator.
    for (char* p = path; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/') cut = p;
    }
    *cut = '\0';
}
