// Planted as winmm.dll beside a setup program, where a system that searches the program's own
// folder first would load it in place of the system's. When it is loaded it leaves the empty file
// "<its own path>.loaded". It serves the one function the program ever asked of that library, so
// that a program that loads it still starts.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char mark[MAX_PATH + 8] = {};
    const DWORD length = GetModuleFileNameA(module, mark, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    lstrcatA(mark, ".loaded");
    const HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI PlaySoundA(LPCSTR, HMODULE, DWORD) { return TRUE; }
