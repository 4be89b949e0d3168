// The wizard's actions outside the directory page: Finish, Read Me, Play, Uninstall, Exit.
#ifndef QUORVANE_LAUNCH_ACTIONS_H
#define QUORVANE_LAUNCH_ACTIONS_H

#include <windows.h>

// Enables and disables the six menu buttons as the menu shows them, installed or not.
void SetMenuButtons(HWND dialog, bool installed);

void FinishWizard(HWND dialog);
void OpenReadme(HWND dialog);
void PlayGame(HWND dialog);
void RunUninstall(HWND dialog);
void ExitWizard(HWND dialog);

#endif
