#include "command_line.h"

#include <windows.h>

const char* SkipProgramName(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        // Unsigned: a byte of 0x80 or more ("Größe") is part of the name, not a blank.
        while (static_cast<unsigned char>(*p) > ' ') ++p;
    }
    // Control characters count as blanks here, as in the usual start-up code.
    while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
    return p;
}
