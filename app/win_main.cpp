// The process's one job: choose install or remove mode, run that dialog, then start the group
// converter when a step of the dialog asked for it.
#include <windows.h>
#include <shellapi.h>

#include "command_line.h"
#include "file_operations.h"
#include "master_dialog.h"
#include "paths.h"
#include "program_group.h"
#include "remove_dialog.h"
#include "resource_ids.h"
#include "state.h"
#include "system_libraries.h"

HINSTANCE AppInstance;
char ModuleDirectory[kPathChars];
LONG RunGrpconvOnExit;

#ifndef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "the launch request is 60 bytes on 32-bit Windows");
static_assert(sizeof(SHFILEOPSTRUCTA) == 30, "the file request is 30 bytes on 32-bit Windows");
#endif

// Nobody waits for the converter. Without one in the system's folders nothing is started.
static void StartGrpconv() {
    char program[kPathChars];
    if (!FindSystemProgram(program, kPathChars, kGroupConverter)) return;
    ShellStart(nullptr, nullptr, program, nullptr, nullptr, SW_HIDE);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    KeepLibrarySearchInSystemFolder();
    AppInstance = instance;
    GetModuleFileNameA(instance, ModuleDirectory, kPathChars);
    ModuleDirectory[kPathChars - 1] = '\0';
    CutFileName(ModuleDirectory);

    if (lstrcmpA(commandLine, kRemoveArgument) == 0) {
        DialogBoxParamA(instance, DLG_REMOVE_NAME, nullptr, RemoveDialogProc, 0);
    } else {
        DialogBoxParamA(instance, DLG_MASTER_NAME, nullptr, MasterDialogProc, 0);
    }
    if (RunGrpconvOnExit != 0) StartGrpconv();
    return 0;
}
