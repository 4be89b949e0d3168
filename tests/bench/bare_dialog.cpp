// The smallest dialog program: the yardstick for the setup program's start-up and memory.
#include <windows.h>

static INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    DialogBoxParamA(instance, "BARE_DIALOG", nullptr, BareDialogProc, 0);
    return 0;
}
