// Small procedures that both dialogs use: path joins, bitmaps on controls, status lines.
#ifndef QUORVANE_DIALOG_UTILS_H
#define QUORVANE_DIALOG_UTILS_H

#include <windows.h>
#include <shlobj.h>

// A status line shows at most this many characters.
constexpr int kStatusChars = 127;

// Joins `component` to the path in `path` (a buffer of `capacity` characters) with one separator,
// and puts a second NUL behind the result, the list form that SHFileOperationA takes. When the
// result and both NULs do not fit, the path is left as it was and the answer is false.
bool AppendPathComponent(char* path, int capacity, const char* component);

// Whether a path holds a blank, and so must be quoted on a command line.
bool ContainsBlank(const char* text);

// Put the bitmap resource `name` on a static control or a button; the control's previous image
// is deleted. A missing control or resource leaves the control as it was.
void SetStaticBitmap(HWND dialog, int control, const char* name, int width, int height);
void SetButtonBitmap(HWND dialog, int control, const char* name, int width, int height);

// Format a status text (wvsprintfA rules) and show it, cut at kStatusChars characters, in the
// wizard's status line or in the uninstall dialog's text field.
void SetWizardStatus(HWND dialog, const char* format, ...);
void SetRemoveStatus(HWND dialog, const char* format, ...);

// Free an item list that the folder browser returned.
void FreeIdList(LPITEMIDLIST list);

#endif
