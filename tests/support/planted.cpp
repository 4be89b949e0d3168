// Planted under the name of one of the system's programs (command.com, grpconv.exe, ...) where
// the setup must not look for them. When it runs it leaves the empty file "<its own path>.ran".
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char mark[MAX_PATH + 8] = {};
    const DWORD length = GetModuleFileNameA(nullptr, mark, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    lstrcatA(mark, ".ran");
    const HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(file);
    return 0;
}
