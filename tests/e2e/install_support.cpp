#include "install_support.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "machine.h"
#include "manifest.h"
#include "resource_ids.h"
#include "wizard_states.h"

namespace install {

void CopyTree(const std::string& from, const std::string& to) {
    machine::MakeDirectories(to);
    for (const std::string& name : machine::Entries(from)) {
        if (machine::DirectoryExists(from + "\\" + name)) {
            CopyTree(from + "\\" + name, to + "\\" + name);
        } else {
            CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
        }
    }
}

std::string CopyMedium(const std::string& name) {
    const std::string copy = machine::FreshDirectory(name);
    CopyTree(e2e::MediumDir(), copy);
    return copy;
}

std::vector<std::string> CopiedEntries() {
    std::vector<std::string> entries;
    for (const FileGroup& group : kCopyGroups) {
        for (int i = 0; i < group.count; ++i) entries.push_back(group[i]);
    }
    return entries;
}

std::string ConvertedName(const std::string& mp3Entry) { return mp3Entry.substr(0, mp3Entry.size() - 3) + "wav"; }

std::vector<std::string> ConvertedNames() {
    std::vector<std::string> names;
    for (const FileGroup& group : kConvertedGroups) {
        for (int i = 0; i < group.count; ++i) names.push_back(ConvertedName(group[i]));
    }
    return names;
}

// Each step that fails says so, with what the window showed, and leaves null to the caller.
static HWND Failed(const std::string& why) {
    ADD_FAILURE() << why;
    return nullptr;
}

HWND OpenDirectoryPage(e2e::Program& setup, const std::string& medium) {
    const std::string program = medium + "\\setup.exe";
    if (!setup.StartWith(program, "", medium)) return Failed("could not start " + program);
    HWND dialog = setup.WaitForWindow(wizard::kSetupCaption);
    if (dialog == nullptr) dialog = setup.WaitForWindow(wizard::kInstalledCaption, 1000);
    if (dialog == nullptr) return Failed("no menu window of " + program + "; " + wizard::DescribeProgram(setup));
    if (!e2e::Click(dialog, IDC_INSTALL)) return Failed("Install cannot be clicked: " + wizard::Describe(dialog));
    if (!e2e::WaitFor([&] { return e2e::IsShown(dialog, IDC_DIRECTORY) && e2e::Settle(dialog); },
                      e2e::kWindowTimeoutMs)) {
        return Failed(wizard::Awaited("the directory page after Install on the menu of " + program, dialog));
    }
    return dialog;
}

bool StartInstall(HWND dialog, const std::string& destination) {
    e2e::SetEditText(dialog, IDC_DIRECTORY, destination);
    return e2e::Click(dialog, IDC_NEXT);
}

bool WaitForFinishPage(HWND dialog, DWORD timeoutMs) {
    return e2e::WaitFor([&] {
        return e2e::IsShown(dialog, IDC_SUCCESS) && e2e::IsEnabled(dialog, IDC_NEXT) && e2e::Settle(dialog, 1000);
    }, timeoutMs, 200);
}

bool WaitForDirectoryPageAgain(HWND dialog, DWORD timeoutMs) {
    // Next is disabled as soon as the sequence begins, and enabled again only at its end.
    e2e::WaitFor([&] { return !e2e::IsEnabled(dialog, IDC_NEXT); }, 2000, 5);
    return e2e::WaitFor([&] {
        return e2e::IsEnabled(dialog, IDC_NEXT) && e2e::IsShown(dialog, IDC_DIRECTORY) && e2e::Settle(dialog, 1000);
    }, timeoutMs, 100);
}

HWND InstallToFinishPage(e2e::Program& setup, const std::string& medium, const std::string& destination) {
    HWND dialog = OpenDirectoryPage(setup, medium);
    if (dialog == nullptr) return nullptr;
    if (!StartInstall(dialog, destination)) return Failed("Next cannot be clicked: " + wizard::Describe(dialog));
    if (!WaitForFinishPage(dialog)) return Failed(wizard::Awaited("the finish page, into " + destination, dialog));
    return dialog;
}

void UninstallFromTheMenu(e2e::Program& setup, HWND dialog) {
    ASSERT_TRUE(e2e::Click(dialog, IDC_UNINSTALL)) << wizard::Describe(dialog);
    HWND remover = setup.WaitForWindow("Uninstall Quorvane");
    ASSERT_NE(nullptr, remover) << "awaited the uninstall dialog; " << wizard::DescribeProgram(setup);
    ASSERT_TRUE(wizard::ClickAndAwait(remover, IDC_REMOVE_OK, "the end of the removal", [&] {
        return e2e::ControlText(remover, IDC_REMOVE_TEXT) == "Removal complete!  Thanks for playing!";
    }, e2e::kInstallTimeoutMs));
}

std::string CheckInstalledFiles(const std::string& medium, const std::string& destination, bool converted) {
    std::string problems;
    for (const std::string& entry : CopiedEntries()) {
        const std::string relative = entry[0] == '\\' ? entry.substr(1) : entry;
        const auto expected = machine::ReadBytes(medium + "\\" + relative);
        const std::string installed = destination + "\\" + relative;
        if (!machine::FileExists(installed)) {
            problems += "missing " + relative + "; ";
        } else if (machine::ReadBytes(installed) != expected || expected.empty()) {
            problems += "differs " + relative + "; ";
        } else if ((GetFileAttributesA(installed.c_str()) &
                    (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
            problems += "not a plain writable file " + relative + "; ";
        }
    }
    for (const std::string& name : ConvertedNames()) {
        if (!converted) {
            if (machine::FileExists(destination + "\\" + name)) problems += "converted " + name + "; ";
            continue;
        }
        const auto wave = machine::ReadBytes(destination + "\\" + name);
        if (wave.size() < 44 || memcmp(wave.data(), "RIFF", 4) != 0 || memcmp(wave.data() + 8, "WAVE", 4) != 0) {
            problems += "no WAV " + name + "; ";
        }
    }
    return problems;
}

void SimulateInstall(const std::string& medium, const std::string& destination) {
    for (const std::string& entry : CopiedEntries()) {
        const std::string relative = entry[0] == '\\' ? entry.substr(1) : entry;
        const std::string target = destination + "\\" + relative;
        machine::MakeDirectories(target.substr(0, target.find_last_of('\\')));
        CopyFileA((medium + "\\" + relative).c_str(), target.c_str(), FALSE);
    }
    const std::string anyWave = medium + "\\sfx\\16008c44.wav";
    for (const std::string& name : ConvertedNames()) {
        CopyFileA(anyWave.c_str(), (destination + "\\" + name).c_str(), FALSE);
    }
    CopyFileA((medium + "\\go32.exe").c_str(), (destination + "\\go32.exe").c_str(), FALSE);
    machine::WriteBytes(destination + "\\mp3.bat", "echo n|l3dec\r\n");
    machine::WriteStringValue(machine::kProductKey, "WorkDir", destination);
    machine::WriteStringValue(machine::kDeleteFilesKey, "", destination);
    machine::WriteStringValue(machine::kUninstallKey, "DisplayName", "Quorvane July 4th Demo");
    machine::WriteStringValue(machine::kUninstallKey, "UninstallString", destination + "\\setup.exe -REMOVE");
    machine::MakeDirectories(machine::GroupFolder());
    WriteShortcut(machine::GroupFolder() + "\\Quorvane.lnk", destination + "\\quor.exe");
    WriteShortcut(machine::GroupFolder() + "\\Uninstall Quorvane.lnk", destination + "\\setup.exe");
}

// A batch line names the source directory in its short form, which the interpreter and the
// decoder can open; the tests' directories hold no sign that the interpreter reads but the blank
// of a name that has no short form.
static std::string BatchPath(const std::string& directory, const std::string& name) {
    const std::string shortForm = ShortPath(directory);
    const std::string path = machine::Join(shortForm.empty() ? directory : shortForm, name);
    return path.find(' ') != std::string::npos ? "\"" + path + "\"" : path;
}

std::string ExpectedBatchLine(const std::string& source, const std::string& entry, bool decoderBeside) {
    return "echo n|" + (decoderBeside ? std::string("l3dec.exe") : BatchPath(source, "l3dec")) + " " +
           BatchPath(source, entry) + " " + ConvertedName(entry) + " -wav\r\n";
}

std::string ExpectedBatchFile(const std::string& source) {
    for (const bool decoderBeside : {false, true}) {
        std::string text;
        for (const FileGroup& group : {SfxMp3Files, MusicMp3Files}) {
            for (int i = 0; i < group.count; ++i) text += ExpectedBatchLine(source, group[i], decoderBeside);
        }
        const std::vector<std::string> lines = BatchLines(text);
        if (std::all_of(lines.begin(), lines.end(), [](const std::string& l) { return l.size() <= 127; })) return text;
    }
    return "";
}

// Four lines, each ended by CR LF: the section of groups naming the one group, that group's
// section, and its one item: six fields, the title, the command line, three empty ones and the
// working directory, all but the empty ones in double quotes.
std::string ExpectedGroupFile(const std::string& title, const std::string& commandLine,
                              const std::string& workingDirectory, const std::string& group) {
    const auto quoted = [](const std::string& field) { return "\"" + field + "\""; };
    const std::string fields[] = {quoted(title), quoted(commandLine), "", "", "", quoted(workingDirectory)};
    std::string item = fields[0];
    for (size_t i = 1; i < 6; ++i) item += "," + fields[i];
    const std::string section = "groupX";
    std::string text;
    const std::string lines[] = {"[progman.groups]", section + "=" + group, "[" + section + "]", item};
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

std::vector<std::string> BatchLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : "";
}

// Runs `use` on a shell link object that is bound to `file`, loaded from it when `load`.
template <typename Use>
bool WithShortcut(const std::string& file, bool load, Use use) {
    const HRESULT initialized = CoInitialize(nullptr);
    bool done = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            const std::wstring wide(file.begin(), file.end());
            done = (!load || SUCCEEDED(persist->Load(wide.c_str(), STGM_READ))) && use(link, persist, wide);
            persist->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(initialized)) CoUninitialize();
    return done;
}

Shortcut ReadShortcut(const std::string& file) {
    Shortcut shortcut;
    WithShortcut(file, true, [&](IShellLinkA* link, IPersistFile*, const std::wstring&) {
        char text[INFOTIPSIZE] = {};
        shortcut.loaded = true;
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        shortcut.path = text;
        text[0] = '\0';
        link->GetArguments(text, INFOTIPSIZE);
        shortcut.arguments = text;
        text[0] = '\0';
        link->GetWorkingDirectory(text, MAX_PATH);
        shortcut.workingDirectory = text;
        return true;
    });
    return shortcut;
}

bool WriteShortcut(const std::string& file, const std::string& target) {
    return WithShortcut(file, false, [&](IShellLinkA* link, IPersistFile* persist, const std::wstring& wide) {
        return SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(persist->Save(wide.c_str(), TRUE));
    });
}

std::vector<std::string> GrpconvRuns() {
    std::vector<std::string> runs;
    const auto bytes = machine::ReadBytes(machine::WindowsDirectory() + "\\grpconv.log");
    const std::string log(bytes.begin(), bytes.end());
    const std::string marker = "grpconv run: ";
    for (size_t at = log.find(marker); at != std::string::npos; at = log.find(marker, at + 1)) {
        const size_t args = log.find("args=\"", at);
        const size_t end = args == std::string::npos ? std::string::npos : log.find("\"\r\n", args + 6);
        if (end == std::string::npos) break;
        runs.push_back(log.substr(args + 6, end - args - 6));
    }
    return runs;
}

void ClearGrpconvLog() { DeleteFileA((machine::WindowsDirectory() + "\\grpconv.log").c_str()); }

}  // namespace install
