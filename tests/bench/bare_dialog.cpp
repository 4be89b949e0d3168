// The smallest dialog program that starts as the setup program does: the yardstick for its
// start-up and memory. Like the setup program it has no C runtime and its own entry point, and it
// imports the same system libraries, so that its start loads what the setup program's loads and
// the difference between the two is the setup program's own work.
#include <windows.h>
#include <shellapi.h>

namespace {

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
    return FALSE;
}

// One function of each library that the setup program imports and this program would not need:
// the loader then maps and initialises every one of them at the start, as it does for the setup
// program. The bench compares the two import tables.
const void* const volatile kLibraryAnchors[] = {
    reinterpret_cast<const void*>(&DeleteObject),    // gdi32
    reinterpret_cast<const void*>(&RegOpenKeyExA),   // advapi32
    reinterpret_cast<const void*>(&SHGetFileInfoA),  // shell32
};

}  // namespace

extern "C" void WinMainCRTStartup() {
    (void)kLibraryAnchors[0];
    DialogBoxParamA(GetModuleHandleA(nullptr), "BARE_DIALOG", nullptr, BareDialogProc, 0);
    ExitProcess(0);
}
