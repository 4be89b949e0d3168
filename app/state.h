// The program-wide state: every noun that more than one part of the program reads or changes.
// Each item is defined in the file that owns it, named beside it.
#ifndef QUORVANE_STATE_H
#define QUORVANE_STATE_H

#include <windows.h>

// Every path buffer holds MAX_PATH characters; every text loaded from the string table 512.
constexpr int kPathChars = MAX_PATH;
constexpr int kTextChars = 512;
// wsprintfA and wvsprintfA never write more than this many characters, NUL included, whatever
// their format and arguments: a buffer of this size takes any text they make.
constexpr int kFormattedChars = 1024;

// app/win_main.cpp
extern HINSTANCE AppInstance;                 // the program's own module
extern char ModuleDirectory[kPathChars];      // directory of the running program, no trailing separator
extern LONG RunGrpconvOnExit;                 // start "grpconv.exe" once the dialog has ended

// installer/install_chain.cpp
extern char InstallDirectory[kPathChars];     // destination of the install in this process

// installer/master_dialog.cpp
extern char WorkDirectory[kPathChars];        // the recorded install directory ("nada": none)
extern LONG GameInstalled;                    // 1: the game counts as installed
extern LONG BusyCount;                        // nonzero while the install sequence runs
extern char CaptionText[kTextChars];          // the wizard's caption, title of its message boxes

#endif
