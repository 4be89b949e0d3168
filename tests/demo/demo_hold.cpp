// A hook that the demo walk places into the setup program's dialog thread. The install runs
// inside one handler and paints only when a modal loop lets it, so a screenshot taken from outside
// shows whatever was last drawn. At the two moments the walk shows, the first "Copying <entry>"
// and the first wait for the audio conversion, the hook paints the window and holds the thread
// until the walk has taken its picture.
#include <windows.h>

#include "resource_ids.h"

namespace {
constexpr char kHeldEvent[] = "QuorvaneDemoHeld";    // set here: the window shows the moment
constexpr char kGoOnEvent[] = "QuorvaneDemoGoOn";    // set by the walk: the picture is taken
constexpr char kCopyingPrefix[] = "Copying ";        // string 125 before its file name
constexpr char kCopyingFiles[] = "Copying files.";   // string 124, set before the first file
constexpr char kWaitPrefix[] = "Please wait";        // string 1031
constexpr DWORD kHoldLimitMs = 30000;  // the install goes on after this, whatever the walk does
constexpr DWORD kPollMs = 20;

bool HeldForCopying = false;
bool HeldForWaiting = false;

bool StartsWith(const char* text, const char* prefix) {
    while (*prefix != '\0' && *text == *prefix) {
        ++text;
        ++prefix;
    }
    return *prefix == '\0';
}

void Hold(HWND status) {
    RedrawWindow(GetParent(status), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, kHeldEvent);
    HANDLE goOn = OpenEventA(SYNCHRONIZE, FALSE, kGoOnEvent);
    if (held != nullptr && goOn != nullptr) {
        SetEvent(held);
        // A message wait, not a sleep: Wine puts what was painted on the screen while a thread waits
        // for messages. None is taken from the queue.
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kHoldLimitMs &&
               MsgWaitForMultipleObjects(1, &goOn, FALSE, kPollMs, 0) != WAIT_OBJECT_0) {
        }
    }
    if (held != nullptr) CloseHandle(held);
    if (goOn != nullptr) CloseHandle(goOn);
}
}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK DemoHoldProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (message->message == WM_SETTEXT && message->lParam != 0 && GetDlgCtrlID(message->hwnd) == IDC_STATUS) {
            const char* text = reinterpret_cast<const char*>(message->lParam);
            if (!HeldForCopying && StartsWith(text, kCopyingPrefix) && lstrcmpA(text, kCopyingFiles) != 0) {
                HeldForCopying = true;
                Hold(message->hwnd);
            } else if (!HeldForWaiting && StartsWith(text, kWaitPrefix)) {
                HeldForWaiting = true;
                Hold(message->hwnd);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
