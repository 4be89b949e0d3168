// A stand-in of an outside program run as its own process, as a batch line or the install would
// run it, and the files it leaves behind.
#ifndef QUORVANE_TESTS_TOOL_RUN_H
#define QUORVANE_TESTS_TOOL_RUN_H

#include <windows.h>

#include <string>
#include <vector>

namespace tool_run {

constexpr DWORD kToolTimeoutMs = 60000;

struct ToolRun {
    bool finished = false;
    DWORD exitCode = 0;
    std::string output;
    std::string errors;
};

// Runs `program` with `commandLine` in `directory`, `input` on its standard input; its output
// goes through files (not pipes, which Wine's services would hold open).
ToolRun RunTool(const std::string& program, const std::string& commandLine, const std::string& directory,
                const std::string& input);

}  // namespace tool_run

#endif
