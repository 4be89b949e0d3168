#include "file_operations.h"

#include <shellapi.h>

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
