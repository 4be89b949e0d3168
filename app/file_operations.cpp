#include "file_operations.h"

#include <shellapi.h>

#include "paths.h"

static int RunFileOperation(HWND owner, UINT function, const char* from, const char* to) {
    SHFILEOPSTRUCTA request = {};
    request.hwnd = owner;
    request.wFunc = function;
    request.pFrom = from;
    request.pTo = to;
    request.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    return SHFileOperationA(&request);
}

int ShellCopyFile(HWND owner, const char* source, const char* target) {
    return RunFileOperation(owner, FO_COPY, source, target);
}

int ShellDeleteFile(HWND owner, const char* path) {
    return RunFileOperation(owner, FO_DELETE, path, nullptr);
}

HANDLE ShellStart(HWND owner, const char* verb, const char* file, const char* parameters,
                  const char* directory, int show) {
    SHELLEXECUTEINFOA request = {};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    request.hwnd = owner;
    request.lpVerb = verb;
    request.lpFile = file;
    request.lpParameters = parameters;
    request.lpDirectory = directory;
    request.nShow = show;
    if (!ShellExecuteExA(&request)) return nullptr;
    return request.hProcess;
}

bool IsFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsDirectory(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// `path` holds a folder of `length` characters, as the system answered: is `name` a file in it?
static bool FoundIn(char* path, int capacity, UINT length, const char* name) {
    if (length == 0 || length >= static_cast<UINT>(capacity)) return false;
    return AppendPathComponent(path, capacity, name) && IsFile(path);
}

bool FindSystemProgram(char* path, int capacity, const char* name) {
    if (capacity <= 0) return false;
    const UINT size = static_cast<UINT>(capacity);
    if (FoundIn(path, capacity, GetSystemDirectoryA(path, size), name)) return true;
    if (FoundIn(path, capacity, GetWindowsDirectoryA(path, size), name)) return true;
    path[0] = '\0';
    return false;
}
