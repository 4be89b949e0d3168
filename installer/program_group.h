// The Start Menu group: made by the system's group converter from SETUP.INI, removed as a folder.
#ifndef QUORVANE_PROGRAM_GROUP_H
#define QUORVANE_PROGRAM_GROUP_H

#include <windows.h>

// The content of SETUP.INI for one item; returns its length in characters (buffer: 512).
int FormatGroupFile(char* out, const char* group, const char* title, const char* commandLine,
                    const char* workingDirectory);

void CreateProgramGroup();
void RemoveProgramGroup(HWND dialog);

#endif
