// What the start-up hands WinMain of the process's command line.
#ifndef QUORVANE_COMMAND_LINE_H
#define QUORVANE_COMMAND_LINE_H

// The command line less the program name (quoted or not) and the blanks and control characters
// behind it. Trailing characters stay.
const char* SkipProgramName(const char* commandLine);

// The one argument that selects remove mode, exactly as written, case and all.
constexpr char kRemoveArgument[] = "-REMOVE";

#endif
