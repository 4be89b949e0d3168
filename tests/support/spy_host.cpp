// Places the status hook (status_spy.cpp) into the dialog thread of the shipped 32-bit program. A
// hook library goes only into a process of its own width, and only a process of that width can
// place it, so the tests of the 32-bit program start this 32-bit host beside it:
//   spy_host THREAD_ID EVENT_NAME
// It sets the hook on the thread, signals the named event, and keeps the hook until it is ended.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    DWORD thread = 0;
    const char* p = arguments;
    while (*p >= '0' && *p <= '9') thread = thread * 10 + static_cast<DWORD>(*p++ - '0');
    while (*p == ' ') ++p;
    char library[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, library, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char* name = library + length;
    while (name > library && name[-1] != '\\') --name;
    if (lstrlenA("status_spy.dll") >= MAX_PATH - (name - library)) return 1;
    lstrcpyA(name, "status_spy.dll");
    HMODULE module = LoadLibraryA(library);
    auto procedure = reinterpret_cast<HOOKPROC>(GetProcAddress(module, "StatusSpyProc"));
    if (module == nullptr || procedure == nullptr) return 1;
    if (SetWindowsHookExA(WH_CALLWNDPROC, procedure, module, thread) == nullptr) return 1;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, p);
    if (ready == nullptr || !SetEvent(ready)) return 1;
    Sleep(INFINITE);
    return 0;
}
