// Small procedures that both dialogs use: bitmaps on controls, status lines, the folder browser's
// item lists. The path procedures are in paths.h.
#ifndef QUORVANE_DIALOG_UTILS_H
#define QUORVANE_DIALOG_UTILS_H

#include <windows.h>
#include <shlobj.h>

// A status line shows at most this many characters.
constexpr int kStatusChars = 127;

// Put the bitmap resource `name` on a static control or a button; the control's previous image
// is deleted. A missing control or resource leaves the control as it was.
void SetStaticBitmap(HWND dialog, int control, const char* name, int width, int height);
void SetButtonBitmap(HWND dialog, int control, const char* name, int width, int height);

// Format a status text (wvsprintfA rules) and show it, cut at kStatusChars characters, in the
// wizard's status line or in the uninstall dialog's text field.
void SetWizardStatus(HWND dialog, const char* format, ...);
void SetRemoveStatus(HWND dialog, const char* format, ...);

// The system's wait cursor, while a long action runs inside a command.
void ShowWaitCursor();
// A dialog's answer to WM_SETCURSOR: the wait cursor and TRUE while `busyCount` is nonzero,
// otherwise FALSE for the usual cursor.
BOOL SetCursorWhileBusy(LONG busyCount);

// Free an item list that the folder browser returned.
void FreeIdList(LPITEMIDLIST list);

#endif
