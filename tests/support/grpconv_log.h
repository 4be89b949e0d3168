// The log of the group converter stand-in (tools/grpconv.cpp): every run appends to grpconv.log in
// the Windows directory what it was given, the SETUP.INI it found and what it made of it, so that a
// test can tell when it ran and what it read.
#ifndef QUORVANE_TESTS_GRPCONV_LOG_H
#define QUORVANE_TESTS_GRPCONV_LOG_H

#include <windows.h>

#include <string>
#include <vector>

namespace grpconv {

// What the converter stand-in wrote about one of its runs.
struct ConverterRun {
    DWORD tick = 0;
    std::string arguments;
    bool sawIni = false;
    ULONGLONG iniWritten = 0;  // FILETIME of SETUP.INI as the run found it
    std::string iniContent;
    std::string notes;
    int exitCode = -1;
};

std::string LogPath();
size_t LogSize();
// The complete runs logged after `offset` bytes of the log.
std::vector<ConverterRun> RunsSince(size_t offset);

}  // namespace grpconv

#endif
