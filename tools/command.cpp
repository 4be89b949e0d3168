// Stand-in for the system's command interpreter, which the setup starts by the name "command":
//
//   command /C <command line>
//
// Hands the command line to the interpreter that this system has (cmd.exe from the system
// directory, not by search, so that this program is never started again in its place), waits
// for it and ends with its exit code. The console and the working directory are passed on.
#include <windows.h>

#include <cstdio>
#include <string>

#include "command_line.h"

namespace {

enum ExitCode {
    kUsage = 1,
    kNoInterpreter = 2,
};

}  // namespace

int main() {
    const char* arguments = SkipProgramName(GetCommandLineA());
    if ((arguments[0] != '/' && arguments[0] != '-') || (arguments[1] != 'C' && arguments[1] != 'c') ||
        (arguments[2] != ' ' && arguments[2] != '\t')) {
        fprintf(stderr, "command: usage: command /C <command line>\n");
        return kUsage;
    }
    const char* commands = arguments + 3;
    while (*commands == ' ' || *commands == '\t') ++commands;
    if (*commands == '\0') {
        fprintf(stderr, "command: nothing to run after /C\n");
        return kUsage;
    }

    char systemDirectory[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(systemDirectory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        fprintf(stderr, "command: cannot find the system directory\n");
        return kNoInterpreter;
    }
    const std::string interpreter = std::string(systemDirectory) + "\\cmd.exe";
    std::string line = "\"" + interpreter + "\" /C " + commands;

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(interpreter.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        fprintf(stderr, "command: cannot start %s (error %lu)\n", interpreter.c_str(), GetLastError());
        return kNoInterpreter;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    return int(exitCode);
}
