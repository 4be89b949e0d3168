#include "tool_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e.h"
#include "machine.h"

namespace tool_run {

namespace {

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}


}  // namespace

ToolRun RunTool(const std::string& program, const std::string& commandLine, const std::string& directory,
                const std::string& input) {
    ToolRun run;
    const std::string io = machine::FreshDirectory("audio-io");
    EXPECT_TRUE(machine::WriteBytes(io + "\\in.txt", input));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritableFile(io + "\\in.txt", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = InheritableFile(io + "\\out.txt", GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = InheritableFile(io + "\\err.txt", GENERIC_WRITE, CREATE_ALWAYS);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    PROCESS_INFORMATION info{};
    const bool started = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, directory.c_str(), &startup, &info) != FALSE;
    EXPECT_TRUE(started) << "cannot start " << program << " (error " << GetLastError() << ")";
    if (started) {
        run.finished = WaitForSingleObject(info.hProcess, kToolTimeoutMs) == WAIT_OBJECT_0;
        if (!run.finished) TerminateProcess(info.hProcess, 1);
        GetExitCodeProcess(info.hProcess, &run.exitCode);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    CloseHandle(startup.hStdInput);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    run.output = machine::ReadText(io + "\\out.txt");
    run.errors = machine::ReadText(io + "\\err.txt");
    return run;
}

}  // namespace tool_run
