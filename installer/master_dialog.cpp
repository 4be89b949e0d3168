#include "master_dialog.h"

#include "resource_ids.h"
#include "state.h"

char InstallDirectory[kPathChars];
char WorkDirectory[kPathChars] = "nada";
LONG GameInstalled;
LONG SavedGameInstalled;
LONG BusyCount;
char CaptionText[kTextChars];

INT_PTR CALLBACK MasterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_EXIT && HIWORD(wParam) == BN_CLICKED) {
        EndDialog(dialog, -1);
    }
    return FALSE;
}
