// Stand-in for the system's command interpreter, which the setup starts by the name "command":
//
//   command /C <batch file>       runs the batch file's lines itself, one after another
//   command /C <command line>     anything else: hands the line to the system's cmd.exe
//
// The setup's batch file pipes an answer into one program per line ("echo n|prog args"). The
// interpreter starts such a program itself, with the answer on its standard input, instead of
// having cmd.exe start further processes for the pipe: under Wine every process start counts,
// and the conversion has 83 of them. Every other line goes to cmd.exe (taken from the system
// directory, not by search, so that this program is never started again in its place), so
// nothing that cmd.exe ran stops working. The exit code is that of the last line run.
//
// Like the system's interpreters it reads the batch file in the OEM code page, starts a program
// by the ANSI form of its line, and reads "%" in a batch line as they do before anything else:
// %0 to %9 are the batch file's parameters, %% is one "%", %NAME% is the variable's value (none
// when it is not set), and a "%" without its closing one is dropped.
//
// It is as strict as COMMAND.COM, the DOS program that the systems start under this name: it reads
// only the first 127 bytes of a batch line, and on NT 4, whose DOS machine has no long-name calls,
// it starts a program only by a path whose every part is 8.3. Windows 95's COMMAND.COM makes those
// calls, so there a program's long path serves as well.
//
// Unlike the system's interpreter it does not show each line before running it: under Wine every
// write to a console window costs milliseconds, which added up to seconds over the batch file.
// What the programs themselves write, and what cannot run, still shows.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command_line.h"
#include "dos_names.h"

namespace {

enum ExitCode {
    kUsage = 1,
    kNoInterpreter = 2,
    // What the system's interpreter reports for a command it cannot find or start.
    kCannotRun = 9009,
};

// The order in which the interpreter tries the extensions of a program named without one.
constexpr const char* kProgramExtensions[] = {".com", ".exe", ".bat"};
constexpr char kBatchExtension[] = ".bat";
constexpr char kEcho[] = "echo";
// The echo text ends at the pipe; these would make it mean more than text.
constexpr char kSpecialInEchoText[] = "\"<>&^";
// Outside quotes these redirect, chain or escape.
constexpr char kSpecialOutsideQuotes[] = "<>|&^";
constexpr char kPercent = '%';
constexpr char kLineEnd[] = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string SkipBlanks(const std::string& text, size_t from = 0) {
    while (from < text.size() && IsBlank(text[from])) ++from;
    return text.substr(from);
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    return text;
}

bool EndsWithNoCase(const std::string& text, const char* tail) {
    const size_t length = strlen(tail);
    return text.size() >= length && lstrcmpiA(text.c_str() + text.size() - length, tail) == 0;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The first word of `text`, quoted or bare, without its quotes; `rest` gets what follows it.
std::string FirstWord(const std::string& text, std::string* rest) {
    size_t end = 0;
    std::string word;
    if (!text.empty() && text[0] == '"') {
        end = text.find('"', 1);
        if (end == std::string::npos) end = text.size();
        word = text.substr(1, end - 1);
        if (end < text.size()) ++end;
    } else {
        while (end < text.size() && !IsBlank(text[end])) ++end;
        word = text.substr(0, end);
    }
    *rest = text.substr(end);
    return word;
}

// A program file as the system's interpreter finds it: a name with a directory is looked for
// there only, a bare name in the current directory and then along PATH; a name without an
// extension gets each of kProgramExtensions in turn. Empty when there is none.
std::string ResolveProgram(const std::string& name) {
    if (name.empty()) return "";
    std::vector<std::string> directories;
    if (name.find_first_of("\\/:") != std::string::npos) {
        directories.push_back("");
    } else {
        directories.push_back(".\\");
        char path[32767];
        const DWORD length = GetEnvironmentVariableA("PATH", path, sizeof(path));
        if (length > 0 && length < sizeof(path)) {
            std::string list = path;
            for (size_t start = 0; start <= list.size();) {
                size_t end = list.find(';', start);
                if (end == std::string::npos) end = list.size();
                std::string directory = list.substr(start, end - start);
                if (!directory.empty()) {
                    if (directory.back() != '\\' && directory.back() != '/') directory += '\\';
                    directories.push_back(directory);
                }
                start = end + 1;
            }
        }
    }
    const size_t nameStart = name.find_last_of("\\/:");
    const bool hasExtension = name.find('.', nameStart == std::string::npos ? 0 : nameStart) != std::string::npos;
    for (const std::string& directory : directories) {
        if (hasExtension) {
            if (IsFile(directory + name)) return directory + name;
            continue;
        }
        for (const char* extension : kProgramExtensions) {
            if (IsFile(directory + name + extension)) return directory + name + extension;
        }
    }
    return "";
}

// Starts `program` with `commandLine` (its own name first), the caller's console and standard
// handles, and `input` (when given) on a pipe as its standard input. Null when it cannot start.
HANDLE StartProgram(const std::string& program, std::string commandLine, HANDLE input) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (input != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        fprintf(stderr, "command: cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

DWORD WaitForExitCode(HANDLE process) {
    WaitForSingleObject(process, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    return exitCode;
}

std::string InterpreterPath() {
    char systemDirectory[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(systemDirectory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    return std::string(systemDirectory) + "\\cmd.exe";
}

// Runs `commands` through the system's interpreter and waits for it.
DWORD HandOver(const std::string& commands) {
    const std::string interpreter = InterpreterPath();
    if (interpreter.empty()) {
        fprintf(stderr, "command: cannot find the system directory\n");
        return kNoInterpreter;
    }
    const HANDLE process = StartProgram(interpreter, "\"" + interpreter + "\" /C " + commands, nullptr);
    return process == nullptr ? DWORD(kNoInterpreter) : WaitForExitCode(process);
}

// A line "echo TEXT|PROGRAM ARGUMENTS" that holds nothing else the interpreter would act on.
struct PipedEcho {
    std::string text;
    std::string program;      // without its quotes
    std::string commandLine;  // the program as written and its arguments
};

bool ParsePipedEcho(const std::string& line, PipedEcho* piped) {
    const size_t echoLength = strlen(kEcho);
    if (line.size() <= echoLength || !IsBlank(line[echoLength]) ||
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, line.c_str(), int(echoLength), kEcho, int(echoLength)) !=
            CSTR_EQUAL) {
        return false;
    }
    const size_t pipe = line.find('|');
    if (pipe == std::string::npos) return false;
    // The one blank after "echo" separates; the text is everything up to the pipe, blanks too.
    piped->text = line.substr(echoLength + 1, pipe - echoLength - 1);
    if (piped->text.find_first_of(kSpecialInEchoText) != std::string::npos) return false;
    piped->commandLine = TrimEnd(SkipBlanks(line, pipe + 1));
    bool quoted = false;
    for (char c : piped->commandLine) {
        if (c == '"') quoted = !quoted;
        if (!quoted && strchr(kSpecialOutsideQuotes, c) != nullptr) return false;
    }
    std::string arguments;
    piped->program = FirstWord(piped->commandLine, &arguments);
    return !piped->program.empty();
}

// Starts the program with the echo text and a line end on its standard input.
DWORD RunPipedEcho(const std::string& program, const PipedEcho& piped) {
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        fprintf(stderr, "command: cannot make a pipe for %s (error %lu)\n", piped.program.c_str(), GetLastError());
        return kCannotRun;
    }
    // Only the reading end goes to the program, so that it sees the end of its input.
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    const HANDLE process = StartProgram(program, piped.commandLine, readEnd);
    CloseHandle(readEnd);
    if (process == nullptr) {
        CloseHandle(writeEnd);
        return kCannotRun;
    }
    // Written after the start: a program that never reads ends the write with a broken pipe.
    const std::string input = piped.text + kLineEnd;
    DWORD written = 0;
    WriteFile(writeEnd, input.data(), DWORD(input.size()), &written, nullptr);
    CloseHandle(writeEnd);
    return WaitForExitCode(process);
}

std::string OemToAnsi(const std::string& oem) {
    std::string ansi(oem.size(), '\0');
    if (!oem.empty()) OemToCharBuffA(oem.data(), &ansi[0], DWORD(oem.size()));
    return ansi;
}

// `line` is in the OEM code page. The echo text goes to the program as it stands, as the
// system's echo writes it.
DWORD RunLine(const std::string& line) {
    PipedEcho piped;
    if (!ParsePipedEcho(line, &piped)) return HandOver(OemToAnsi(line));
    piped.program = OemToAnsi(piped.program);
    piped.commandLine = OemToAnsi(piped.commandLine);
    if (!OnWindows95() && !IsDosPath(piped.program)) {
        fprintf(stderr, "command: %s: bad command or file name (not a DOS name)\n", piped.program.c_str());
        return kCannotRun;
    }
    const std::string program = ResolveProgram(piped.program);
    if (program.empty()) {
        fprintf(stderr, "command: %s: bad command or file name\n", piped.program.c_str());
        return kCannotRun;
    }
    // A batch file at the end of a pipe needs an interpreter of its own.
    if (EndsWithNoCase(program, kBatchExtension)) return HandOver(OemToAnsi(line));
    return RunPipedEcho(program, piped);
}

std::string Variable(const std::string& name) {
    char value[32767];
    const DWORD length = GetEnvironmentVariableA(name.c_str(), value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value, length) : std::string();
}

// `line` with its "%" read as the interpreter reads a batch line; `parameters` are %0 to %9.
std::string ExpandPercent(const std::string& line, const std::vector<std::string>& parameters) {
    std::string expanded;
    for (size_t at = 0; at < line.size(); ++at) {
        if (line[at] != kPercent) {
            expanded += line[at];
            continue;
        }
        const char next = at + 1 < line.size() ? line[at + 1] : '\0';
        if (next == kPercent) {
            expanded += kPercent;
            ++at;
        } else if (next >= '0' && next <= '9') {
            const size_t index = size_t(next - '0');
            if (index < parameters.size()) expanded += parameters[index];
            ++at;
        } else {
            const size_t close = line.find(kPercent, at + 1);
            if (close == std::string::npos) continue;
            expanded += Variable(line.substr(at + 1, close - at - 1));
            at = close;
        }
    }
    return expanded;
}

// `name` is the batch file as it was named after /C, its parameter %0.
DWORD RunBatchFile(const std::string& path, const std::string& name) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        fprintf(stderr, "command: cannot read %s\n", path.c_str());
        return kCannotRun;
    }
    std::string content;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0) content.append(chunk, n);
    fclose(file);

    const std::vector<std::string> parameters = {name};
    DWORD exitCode = 0;
    for (size_t start = 0; start < content.size();) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > kDosBatchLineBytes) line.resize(kDosBatchLineBytes);
        // Trailing blanks stay: an echo that cmd.exe runs writes them. A line handed to cmd.exe
        // is read by it once more as a command line, which expands a variable's %NAME% again.
        line = SkipBlanks(ExpandPercent(line, parameters));
        if (TrimEnd(line).empty()) continue;
        exitCode = RunLine(line);
    }
    return exitCode;
}

}  // namespace

int main() {
    const char* arguments = SkipProgramName(GetCommandLineA());
    if ((arguments[0] != '/' && arguments[0] != '-') || (arguments[1] != 'C' && arguments[1] != 'c') ||
        (arguments[2] != ' ' && arguments[2] != '\t')) {
        fprintf(stderr, "command: usage: command /C <command line>\n");
        return kUsage;
    }
    const std::string commands = TrimEnd(SkipBlanks(arguments + 3));
    if (commands.empty()) {
        fprintf(stderr, "command: nothing to run after /C\n");
        return kUsage;
    }
    // A batch file named alone is run here; anything more is the system interpreter's.
    std::string rest;
    const std::string named = FirstWord(commands, &rest);
    const std::string batch = ResolveProgram(named);
    if (rest.empty() && EndsWithNoCase(batch, kBatchExtension)) return int(RunBatchFile(batch, named));
    return int(HandOver(commands));
}
