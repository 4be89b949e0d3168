// The wizard's actions outside the directory page: Read Me, Play, Uninstall, Exit.
#ifndef QUORVANE_LAUNCH_ACTIONS_H
#define QUORVANE_LAUNCH_ACTIONS_H

#include <windows.h>

void OpenReadme(HWND dialog);
void PlayGame(HWND dialog);
void RunUninstall(HWND dialog);
void ExitWizard(HWND dialog);

#endif
