// What the start-up hands WinMain of the process's command line.
#ifndef QUORVANE_COMMAND_LINE_H
#define QUORVANE_COMMAND_LINE_H

// The command line less the program name (quoted or not) and the blanks and control characters
// behind it. Trailing characters stay.
const char* SkipProgramName(const char* commandLine);

// Cuts the last path component and the separator before it off a full file name, in place. Both
// '\' and '/' separate; a name without a separator becomes empty.
void CutFileName(char* path);

#endif
