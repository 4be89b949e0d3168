#include "grpconv_log.h"

#include <algorithm>
#include <string>
#include <vector>

#include "machine.h"

namespace grpconv {

namespace {

std::string Text(const std::vector<unsigned char>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

std::string LogPath() { return machine::WindowsDirectory() + "\\grpconv.log"; }
size_t LogSize() { return machine::ReadBytes(LogPath()).size(); }

std::vector<ConverterRun> RunsSince(size_t offset) {
    const std::string log = Text(machine::ReadBytes(LogPath()));
    std::vector<ConverterRun> runs;
    const std::string head = "grpconv run: tick=";
    const std::string tail = "end of run, exit ";
    size_t at = log.find(head, std::min(offset, log.size()));
    while (at != std::string::npos) {
        ConverterRun run;
        const size_t lineEnd = log.find("\r\n", at);
        if (lineEnd == std::string::npos) break;
        const std::string line = log.substr(at, lineEnd - at);
        run.tick = static_cast<DWORD>(std::stoul(line.substr(head.size())));
        const size_t args = line.find(" args=\"");
        if (args != std::string::npos) run.arguments = line.substr(args + 7, line.size() - args - 8);
        size_t next = lineEnd + 2;
        const std::string written = "setup.ini written=";
        if (log.compare(next, written.size(), written) == 0) {
            run.sawIni = true;
            run.iniWritten = std::stoull(log.substr(next + written.size()));
            const size_t bytesAt = log.find(" bytes=", next);
            const size_t count = std::stoul(log.substr(bytesAt + 7));
            const size_t contentAt = log.find("\r\n", bytesAt) + 2;
            run.iniContent = log.substr(contentAt, count);
            next = contentAt + count;
        }
        const size_t end = log.find(tail, next);
        if (end == std::string::npos) break;  // still being written
        run.notes = log.substr(next, end - next);
        run.exitCode = std::stoi(log.substr(end + tail.size()));
        runs.push_back(run);
        at = log.find(head, end);
    }
    return runs;
}

}  // namespace grpconv
