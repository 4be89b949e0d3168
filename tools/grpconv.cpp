// Stand-in for the system's program group converter. It reads the group description SETUP.INI in
// the Windows directory and makes each item a shortcut in the Start Menu's Programs folder, where
// the shell keeps it: the Windows directory's "Start Menu\Programs" on Windows 95 without user
// profiles, the user's profile on NT (and so under Wine):
//
//   [progman.groups]
//   groupX=Group Name          one line per group: the section name, then the group's name
//   [groupX]
//   "Title","target arguments",,,,"working directory"
//
// "-o" converts the file; without arguments it converts it when there is one. Every run appends
// what it saw and did to grpconv.log in the Windows directory, so tests can tell when it ran.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char kSetupIniName[] = "SETUP.INI";
constexpr char kLogName[] = "grpconv.log";
// What the last conversion read: SETUP.INI's write time and content.
constexpr char kStateName[] = "grpconv.state";
constexpr char kGroupsSection[] = "progman.groups";
// Where a system without user profiles keeps the Start Menu, below the Windows directory.
constexpr char kWindowsProgramsFolder[] = "Start Menu\\Programs";
constexpr char kLinkExtension[] = ".lnk";
// More than any group description; a larger file is read only this far.
constexpr DWORD kMaxIniBytes = 1 << 20;
// IShellLink's limit for arguments (INFOTIPSIZE).
constexpr size_t kMaxArgumentChars = 1024;

struct Item {
    std::string title;
    std::string target;
    std::string arguments;
    std::string workingDirectory;
};

struct IniFile {
    bool found = false;
    std::string content;
    ULONGLONG lastWrite = 0;  // FILETIME, 100 ns units
};

std::string WindowsDirectory() {
    char path[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "C:\\windows";
    return path;
}

std::string Trim(const std::string& text) {
    const char* blanks = " \t";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string Unquote(const std::string& text) {
    const std::string trimmed = Trim(text);
    if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"') {
        return trimmed.substr(1, trimmed.size() - 2);
    }
    return trimmed;
}

std::string ReadWholeFile(const std::string& path) {
    std::string content;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return content;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0) content.append(chunk, got);
    fclose(file);
    return content;
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
}

IniFile ReadIni(const std::string& path) {
    IniFile ini;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ini;
    ini.found = true;
    FILETIME written = {};
    if (GetFileTime(file, nullptr, nullptr, &written)) {
        ini.lastWrite = (static_cast<ULONGLONG>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    }
    char chunk[4096];
    DWORD got = 0;
    while (ini.content.size() < kMaxIniBytes && ReadFile(file, chunk, sizeof(chunk), &got, nullptr) &&
           got > 0) {
        ini.content.append(chunk, got);
    }
    if (ini.content.size() > kMaxIniBytes) ini.content.resize(kMaxIniBytes);
    CloseHandle(file);
    return ini;
}

std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : content) {
        if (c == '\r' || c == '\n') {
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// "[name]" gives name; anything else is not a section header.
bool SectionName(const std::string& line, std::string* name) {
    const std::string trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed.front() != '[') return false;
    const size_t close = trimmed.find(']');
    if (close == std::string::npos) return false;
    *name = Trim(trimmed.substr(1, close - 1));
    return true;
}

// The lines of every section called `section`, in file order.
std::vector<std::string> SectionLines(const std::vector<std::string>& lines, const std::string& section) {
    std::vector<std::string> result;
    bool inside = false;
    for (const std::string& line : lines) {
        std::string name;
        if (SectionName(line, &name)) {
            inside = SameName(name, section);
            continue;
        }
        const std::string trimmed = Trim(line);
        if (inside && !trimmed.empty() && trimmed.front() != ';') result.push_back(trimmed);
    }
    return result;
}

// Comma-separated fields; a comma inside double quotes belongs to its field.
std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            fields.push_back(Unquote(field));
            field.clear();
        } else {
            field.push_back(c);
        }
    }
    fields.push_back(Unquote(field));
    return fields;
}

// The target is the first word of the command line, or its quoted first part; the rest are the
// arguments.
void SplitCommandLine(const std::string& commandLine, std::string* target, std::string* arguments) {
    const std::string line = Trim(commandLine);
    size_t end;
    if (!line.empty() && line.front() == '"') {
        const size_t close = line.find('"', 1);
        *target = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        end = close == std::string::npos ? line.size() : close + 1;
    } else {
        end = line.find_first_of(" \t");
        if (end == std::string::npos) end = line.size();
        *target = line.substr(0, end);
    }
    *arguments = end < line.size() ? Trim(line.substr(end)) : "";
}

bool ParseItem(const std::string& line, Item* item) {
    const std::vector<std::string> fields = SplitFields(line);
    if (fields.size() < 2) return false;
    item->title = fields[0];
    SplitCommandLine(fields[1], &item->target, &item->arguments);
    item->workingDirectory = fields.size() >= 6 ? fields[5] : "";
    return !item->title.empty() && !item->target.empty();
}

// A group or item name becomes one file name: no separators, no wildcards, no way upwards.
bool UsableName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name) {
        if (c < 32 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) {
            return false;
        }
    }
    return true;
}

bool MakeFolders(const std::string& base, const std::string& relative) {
    std::string path = base;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('\\', start);
        if (end == std::string::npos) end = relative.size();
        path += "\\" + relative.substr(start, end - start);
        if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return L"";
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

HRESULT SaveShortcut(const std::string& linkPath, const Item& item) {
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&link));
    if (FAILED(result)) return result;
    link->SetPath(item.target.c_str());
    link->SetArguments(item.arguments.c_str());
    link->SetWorkingDirectory(item.workingDirectory.c_str());
    IPersistFile* file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) {
        result = file->Save(Wide(linkPath).c_str(), TRUE);
        file->Release();
    }
    link->Release();
    return result;
}

// The shell's Programs folder, as the system answers for the user who runs the converter.
std::string ProgramsFolder(const std::string& windows) {
    LPITEMIDLIST list = nullptr;
    char path[MAX_PATH] = {};
    const bool found = SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list)) && list != nullptr &&
                       SHGetPathFromIDListA(list, path);
    if (list != nullptr) CoTaskMemFree(list);
    return found ? path : windows + "\\" + kWindowsProgramsFolder;
}

class Converter {
  public:
    explicit Converter(std::string programs) : programs_(std::move(programs)) {}

    void Convert(const std::string& content) {
        const std::vector<std::string> lines = SplitLines(content);
        bool anyGroup = false;
        for (const std::string& entry : SectionLines(lines, kGroupsSection)) {
            const size_t equals = entry.find('=');
            if (equals == std::string::npos) {
                Note("skipped group line without '=': " + entry);
                continue;
            }
            anyGroup = true;
            ConvertGroup(lines, Trim(entry.substr(0, equals)), Unquote(entry.substr(equals + 1)));
        }
        if (!anyGroup) Note("no group in [progman.groups]");
    }

    const std::string& Notes() const { return notes_; }
    void Note(const std::string& text) { notes_ += text + "\r\n"; }

  private:

    void ConvertGroup(const std::vector<std::string>& lines, const std::string& section,
                      const std::string& group) {
        if (section.empty()) {
            Note("skipped group without a section name: " + group);
            return;
        }
        if (!UsableName(group)) {
            Note("skipped group with unusable name: " + group);
            return;
        }
        const std::string folder = programs_ + "\\" + group;
        bool haveFolder = false;
        for (const std::string& line : SectionLines(lines, section)) {
            Item item;
            if (!ParseItem(line, &item)) {
                Note("skipped item line: " + line);
                continue;
            }
            const std::string linkPath = folder + "\\" + item.title + kLinkExtension;
            if (!UsableName(item.title) || linkPath.size() >= MAX_PATH || item.target.size() >= MAX_PATH ||
                item.workingDirectory.size() >= MAX_PATH || item.arguments.size() >= kMaxArgumentChars) {
                Note("skipped item that does not fit a shortcut: " + line);
                continue;
            }
            // A group gets its folder with its first shortcut, so a group without items leaves none.
            if (!haveFolder && !(haveFolder = MakeFolders(programs_, group))) {
                Note("cannot make the folder " + folder);
                return;
            }
            const HRESULT result = SaveShortcut(linkPath, item);
            char code[16];
            snprintf(code, sizeof(code), "0x%08lx", static_cast<unsigned long>(result));
            Note(std::string(SUCCEEDED(result) ? "made " : "failed ") + code + " " + linkPath);
        }
        if (!haveFolder) Note("no item made for group " + group);
    }

    std::string programs_;
    std::string notes_;
};

std::string LocalTimeText() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char text[64];
    snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

// One run's entry is written at its end with one call, so runs that overlap never interleave.
void AppendLog(const std::string& windows, const std::string& entry) {
    const HANDLE log = CreateFileA((windows + "\\" + kLogName).c_str(), FILE_APPEND_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(log, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    CloseHandle(log);
}

// The words of the command line behind the program's name; only "-o" means anything.
bool AskedToConvert(const std::string& arguments) {
    size_t at = 0;
    while (at < arguments.size()) {
        const size_t start = arguments.find_first_not_of(" \t", at);
        if (start == std::string::npos) break;
        size_t end = arguments.find_first_of(" \t", start);
        if (end == std::string::npos) end = arguments.size();
        const std::string word = arguments.substr(start, end - start);
        if (word == "-o" || word == "-O" || word == "/o" || word == "/O") return true;
        at = end;
    }
    return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const DWORD startTick = GetTickCount();
    const std::string started = LocalTimeText();
    const std::string arguments = commandLine != nullptr ? commandLine : "";
    const std::string windows = WindowsDirectory();
    const bool asked = AskedToConvert(arguments);
    const IniFile ini = ReadIni(windows + "\\" + kSetupIniName);

    Converter converter(ProgramsFolder(windows));
    int exitCode = 0;
    const std::string statePath = windows + "\\" + kStateName;
    const std::string converted = ini.found ? std::to_string(ini.lastWrite) + "\n" + ini.content : "";
    // Started without arguments the converter looks for work of its own accord: a SETUP.INI that
    // it has converted already is left alone, so a group removed since is not made again.
    const bool alreadyConverted = !asked && ini.found && ReadWholeFile(statePath) == converted;
    if (alreadyConverted) {
        converter.Note("setup.ini converted before; nothing to do");
    } else if (ini.found) {
        WriteWholeFile(statePath, converted);
        if (SUCCEEDED(CoInitialize(nullptr))) {
            converter.Convert(ini.content);
            CoUninitialize();
        }
    } else if (asked) {
        exitCode = 2;
    }

    std::string entry = "grpconv run: tick=" + std::to_string(startTick) + " local=" + started +
                        " args=\"" + arguments + "\"\r\n";
    if (ini.found) {
        entry += "setup.ini written=" + std::to_string(ini.lastWrite) +
                 " bytes=" + std::to_string(ini.content.size()) + "\r\n" + ini.content;
        if (ini.content.empty() || ini.content.back() != '\n') entry += "\r\n";
    } else {
        entry += "setup.ini missing\r\n";
    }
    entry += converter.Notes();
    entry += "end of run, exit " + std::to_string(exitCode) + "\r\n";
    AppendLog(windows, entry);
    return exitCode;
}
