// The main menu and install wizard window.
#ifndef QUORVANE_MASTER_DIALOG_H
#define QUORVANE_MASTER_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK MasterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
