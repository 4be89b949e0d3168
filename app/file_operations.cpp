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
