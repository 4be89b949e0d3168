// The main menu and install wizard window.
#ifndef QUORVANE_MASTER_DIALOG_H
#define QUORVANE_MASTER_DIALOG_H

#include <windows.h>

// The menu's start-up: the dialog manager has made the window and its controls, then the window
// takes its steps in this order. Made with a creation parameter other than zero, as the bench
// makes it, the window takes that for a StartUpMarker and calls it as each of them ends, so that
// the bench times the program's own sequence. The program passes zero.
enum StartUpStep {
    kControlsMadeStep,
    kRecordReadStep,
    kPictureStep,
    kButtonFacesStep,
    kGameLookupStep,
    kSoundStartStep,
    kCaptionAndButtonsStep,
};
typedef void (*StartUpMarker)(StartUpStep step);

INT_PTR CALLBACK MasterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
