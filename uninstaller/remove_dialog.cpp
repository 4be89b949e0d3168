#include "remove_dialog.h"

#include "resource_ids.h"
#include "state.h"

LONG RemoveBusy;
LONG RemoveRuns;

INT_PTR CALLBACK RemoveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
        (LOWORD(wParam) == IDC_REMOVE_OK || LOWORD(wParam) == IDC_REMOVE_CANCEL)) {
        EndDialog(dialog, 0);
    }
    return FALSE;
}
