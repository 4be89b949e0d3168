// A stand-in of an outside program run as its own process, as a batch line or the install would
// run it, and the files it leaves behind.
#ifndef QUORVANE_TESTS_TOOL_RUN_H
#define QUORVANE_TESTS_TOOL_RUN_H

#include <windows.h>

#include <string>
#include <vector>

namespace tool_run {

constexpr DWORD kToolTimeoutMs = 60000;

std::string ToolsDir();  // build\win64\tools, where the build puts the stand-ins

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

std::string ReadText(const std::string& path);
// Copies a file, making the folders of `to` first.
bool CopyInto(const std::string& from, const std::string& to);
// Every file below `directory`, by relative name, sorted.
std::vector<std::string> FilesIn(const std::string& directory);
// The names one to a line, for a failure message that shows the difference.
std::string Listing(const std::vector<std::string>& names);

}  // namespace tool_run

#endif
