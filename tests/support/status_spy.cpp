// A hook procedure that the tests place into the setup program's dialog thread. It appends every
// text set on the wizard's status line or the uninstall dialog's text field to a log file, in
// order, as it happens, with the time: texts that stay up for a few milliseconds only are not
// missed.
#include <windows.h>

#include "resource_ids.h"

namespace {
constexpr char kLogName[] = "quorvane-status.log";

void AppendToLog(int control, const char* text) {
    char path[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH - 32);
    if (length == 0 || length >= MAX_PATH - 32) return;
    lstrcatA(path, "\\temp\\");
    lstrcatA(path, kLogName);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    char line[2048];
    // The time stamp lets a run be profiled: how long each status text stayed up.
    const int size = wsprintfA(line, "%lu\t%d\t%.2000s\n", GetTickCount(), control, text);
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
}
}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK StatusSpyProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message->message == WM_SETTEXT && message->lParam != 0) {
            const int control = GetDlgCtrlID(message->hwnd);
            if (control == IDC_STATUS || control == IDC_REMOVE_TEXT) {
                AppendToLog(control, reinterpret_cast<const char*>(message->lParam));
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
