// The main menu and install wizard window.
#ifndef QUORVANE_MASTER_DIALOG_H
#define QUORVANE_MASTER_DIALOG_H

#include <windows.h>

// What the window shows. The menu in its two modes and the two pages of the wizard are the same
// fixed controls of one template, shown, hidden, enabled and disabled; the install passes through
// two looks of its own on the way from the directory page to the finish page.
enum WizardLook {
    kMenuNotInstalledLook,
    kMenuInstalledLook,
    kDirectoryPageLook,
    kInstallingLook,            // Next and Cancel off
    kInstallingPastFieldsLook,  // the directory page's fields gone, the status line still there
    kFinishPageLook,            // button 1 enabled again, to be pressed as Finish
};

// Shows, hides, enables and disables the controls as `look` has them. Only the controls that the
// look names change.
void ShowWizardLook(HWND dialog, WizardLook look);

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
