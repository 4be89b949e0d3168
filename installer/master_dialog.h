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

// Steps of the menu's start-up, each on its own so that the bench can time it: the picture, the
// faces of the bitmap buttons, and whether the recorded directory holds the game.
void SetMenuPicture(HWND dialog);
void SetMenuButtonFaces(HWND dialog);
bool GameIsInstalled();

INT_PTR CALLBACK MasterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
