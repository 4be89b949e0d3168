// The uninstall dialog.
#ifndef QUORVANE_REMOVE_DIALOG_H
#define QUORVANE_REMOVE_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK RemoveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
