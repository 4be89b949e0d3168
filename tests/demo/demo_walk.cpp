// The scripted walk of `make demo` on a machine without a display: it installs the demo from the
// CD, looks at every page, opens the read-me, plays the game and removes it all again with
// the installed program, saving a screenshot of each step into build\demo and printing what it
// saw. It drives the real program exactly as the end-to-end tests do.
#include <windows.h>

#include <cstdio>
#include <string>

#include "e2e.h"
#include "install_support.h"
#include "machine.h"
#include "resource_ids.h"

namespace {

int Failures = 0;

void Say(const std::string& line) {
    printf("%s\n", line.c_str());
    fflush(stdout);
}

void Check(bool condition, const std::string& what) {
    Say(std::string(condition ? "  ok    " : "  FAIL  ") + what);
    if (!condition) ++Failures;
}

void Shot(const std::string& name, HWND window) {
    const std::string path = e2e::BuildRoot() + "\\demo\\" + name + ".png";
    Check(e2e::SaveScreenshotAs(path, window), "screenshot " + path);
}

// The wizard window alone, as the README shows it (docs/).
void WindowShot(const std::string& name, HWND window) {
    const std::string path = e2e::BuildRoot() + "\\demo\\" + name + ".png";
    Check(e2e::SaveWindowShotAs(path, window), "the window alone: " + path);
}

HWND WaitForClass(const char* className) {
    HWND window = nullptr;
    e2e::WaitFor([&] { return (window = FindWindowA(className, nullptr)) != nullptr && IsWindowVisible(window); },
                 e2e::kWindowTimeoutMs);
    return window;
}

void CloseProgramOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    PostMessageA(window, WM_CLOSE, 0, 0);
    HANDLE handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process);
    if (handle != nullptr && WaitForSingleObject(handle, 5000) != WAIT_OBJECT_0) TerminateProcess(handle, 0);
    if (handle != nullptr) CloseHandle(handle);
}

// Holds the program at the moments its screenshots show, through the hook of demo_hold.cpp.
class Moments {
  public:
    Moments()
        : held_(CreateEventA(nullptr, FALSE, FALSE, "QuorvaneDemoHeld")),
          goOn_(CreateEventA(nullptr, FALSE, FALSE, "QuorvaneDemoGoOn")) {}
    ~Moments() {
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
        if (library_ != nullptr) FreeLibrary(library_);
        CloseHandle(held_);
        CloseHandle(goOn_);
    }
    bool Attach(HWND dialog) {
        library_ = LoadLibraryA((e2e::Win64Dir() + "\\tests\\demo_hold.dll").c_str());
        auto procedure = library_ ? reinterpret_cast<HOOKPROC>(GetProcAddress(library_, "DemoHoldProc")) : nullptr;
        const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
        if (procedure != nullptr && thread != 0) hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, procedure, library_, thread);
        return hook_ != nullptr;
    }
    bool WaitUntilHeld(DWORD timeoutMs) { return WaitForSingleObject(held_, timeoutMs) == WAIT_OBJECT_0; }
    void GoOn() { SetEvent(goOn_); }

  private:
    HANDLE held_, goOn_;
    HMODULE library_ = nullptr;
    HHOOK hook_ = nullptr;
};

// The command interpreter's window opens over the wizard while the sounds are converted. The walk
// moves it below the wizard, as a user would, so that the picture of that step shows the wizard's
// wait text. False while there is no such window.
BOOL CALLBACK MatchConsole(HWND window, LPARAM found) {
    if (!IsWindowVisible(window) || e2e::WindowText(window).find("command.exe") == std::string::npos) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}
bool MoveConsoleBelow(HWND dialog) {
    HWND console = nullptr;
    EnumWindows(MatchConsole, reinterpret_cast<LPARAM>(&console));
    RECT below{};
    if (console == nullptr || !GetWindowRect(dialog, &below)) return false;
    return SetWindowPos(console, nullptr, below.left, below.bottom + 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CountPresent(const std::string& directory, const std::vector<std::string>& names) {
    int present = 0;
    for (std::string name : names) {
        if (name[0] == '\\') name = name.substr(1);
        if (machine::FileExists(directory + "\\" + name)) ++present;
    }
    return present;
}

}  // namespace

int main() {
    const std::string medium = e2e::kCdDrive;
    const std::string destination = "C:\\Quorvane";
    machine::ResetSetupState();
    machine::RemoveTree(destination);

    Say("1. The setup program starts from the CD in drive " + medium);
    e2e::Program setup;
    setup.StartWith(medium + "\\setup.exe", "", medium);
    HWND dialog = setup.WaitForWindow("Quorvane Setup");
    if (dialog == nullptr) {
        Say("  FAIL  the wizard window did not open");
        return 1;
    }
    Shot("01-menu", dialog);
    WindowShot("menu", dialog);
    e2e::Click(dialog, IDC_INSTALL);
    e2e::WaitFor([&] { return e2e::IsShown(dialog, IDC_DIRECTORY) && e2e::Settle(dialog); }, e2e::kWindowTimeoutMs);
    Say("2. Install opens the directory page, proposing " + e2e::EditText(dialog, IDC_DIRECTORY));
    Shot("02-directory-page", dialog);
    WindowShot("directory-page", dialog);

    Say("3. Next installs into " + destination);
    Moments moments;
    Check(moments.Attach(dialog), "the walk can hold the install at the moments it shows");
    install::StartInstall(dialog, destination);
    // The program is held, so its window is not asked to paint again before the screenshot.
    if (moments.WaitUntilHeld(e2e::kWindowTimeoutMs)) {
        Say("  status: " + e2e::ControlText(dialog, IDC_STATUS));
        Shot("03-copying", nullptr);
        moments.GoOn();
    }
    bool held = false, moved = false;
    constexpr DWORD kLookMs = 50;
    for (DWORD waited = 0; !held && waited < e2e::kInstallTimeoutMs; waited += kLookMs) {
        if (!moved) moved = MoveConsoleBelow(dialog);
        held = moments.WaitUntilHeld(kLookMs);
    }
    if (held) {
        Say("  status: " + e2e::ControlText(dialog, IDC_STATUS));
        Check(!e2e::IsEnabled(dialog, IDC_NEXT) && !e2e::IsEnabled(dialog, IDC_CANCEL), "the window is busy");
        Shot("04-converting", nullptr);
        moments.GoOn();
    }
    Check(install::WaitForFinishPage(dialog), "the install ends on the finish page");
    Shot("05-finish-page", dialog);
    WindowShot("finish", dialog);
    const int copied = CountPresent(destination, install::CopiedEntries());
    const int converted = CountPresent(destination, install::ConvertedNames());
    Check(copied == 139, "files installed: " + std::to_string(copied) + " of 139");
    Check(converted == 83, "sounds converted: " + std::to_string(converted) + " of 83");
    Check(install::CheckInstalledFiles(medium, destination).empty(), "every installed file equals the medium's");
    const bool recorded = machine::ReadValue(machine::kProductKey, "WorkDir").Text() == destination &&
                          machine::ReadValue(machine::kDeleteFilesKey, "").Text() == destination &&
                          machine::KeyExists(machine::kUninstallKey);
    Check(recorded, "records written: WorkDir, DeleteFiles, Uninstall");
    Check(e2e::WaitFor([] { return machine::FileExists(machine::GroupFolder() + "\\Quorvane.lnk") &&
                                   machine::FileExists(machine::GroupFolder() + "\\Uninstall Quorvane.lnk"); },
                       e2e::kWindowTimeoutMs),
          "Start Menu group Vexelworks with its two shortcuts");

    Say("4. Finish returns to the installed menu");
    e2e::Click(dialog, IDC_NEXT);
    e2e::WaitFor([&] { return e2e::IsEnabled(dialog, IDC_PLAY) && e2e::Settle(dialog); }, e2e::kWindowTimeoutMs);
    Check(e2e::IsEnabled(dialog, IDC_PLAY) && e2e::IsEnabled(dialog, IDC_UNINSTALL), "Play and Uninstall are enabled");
    Shot("06-installed-menu", dialog);

    Say("5. Read Me opens the installed read-me");
    e2e::Click(dialog, IDC_README);
    HWND readme = WaitForClass("WORDPADTOP");
    Check(readme != nullptr, "the read-me window opened");
    if (readme != nullptr) {
        Shot("07-readme", readme);
        CloseProgramOf(readme);
        e2e::EndProcessesNamed("wordpad.exe");
    }

    Say("6. Play starts the game");
    e2e::Click(dialog, IDC_PLAY);
    HWND game = WaitForClass("QuorvaneGame");
    Check(game != nullptr, "the game's window opened");
    Check(setup.WaitForExit(), "the setup program ended");
    if (game != nullptr) {
        e2e::WaitFor([&] { return !e2e::ControlText(game, 100).empty(); }, e2e::kWindowTimeoutMs);
        Say("  the game reports: " + e2e::ControlText(game, 100));
        Shot("08-game", game);
        CloseProgramOf(game);
        e2e::EndProcessesNamed("quor.exe");
    }

    Say("7. The installed program removes the game, as the control panel starts it");
    const std::string command = machine::ReadValue(machine::kUninstallKey, "UninstallString").Text();
    e2e::Program remover;
    Check(remover.Start(destination + "\\setup.exe", command), "started: " + command);
    HWND uninstall = remover.WaitForWindow("Uninstall Quorvane");
    Check(uninstall != nullptr, "the uninstall dialog opened");
    if (uninstall != nullptr) {
        Shot("09-uninstall", uninstall);
        e2e::Click(uninstall, IDC_REMOVE_OK);
        e2e::WaitFor([&] {
            return e2e::ControlText(uninstall, IDC_REMOVE_TEXT) == "Removal complete!  Thanks for playing!" &&
                   e2e::Settle(uninstall);
        }, e2e::kInstallTimeoutMs);
        Shot("10-removed", uninstall);
        const size_t runsBefore = install::GrpconvRuns().size();
        e2e::Click(uninstall, IDC_REMOVE_OK);
        remover.WaitForExit();
        Check(e2e::WaitFor([&] { return install::GrpconvRuns().size() > runsBefore; }, e2e::kWindowTimeoutMs),
              "the group converter ran after the uninstaller closed");
    }
    const int left = CountPresent(destination, install::CopiedEntries()) + CountPresent(destination, install::ConvertedNames());
    Check(left == 1 && machine::FileExists(destination + "\\setup.exe"), "all removed but the running setup.exe (" +
                                                                        std::to_string(left) + " file left)");
    Check(!machine::KeyExists(machine::kCompanyKey) && !machine::KeyExists(machine::kUninstallKey),
          "registry keys removed");
    Check(!machine::DirectoryExists(machine::GroupFolder()), "Start Menu group removed");

    Say(Failures == 0 ? "The install and the removal were whole." : std::to_string(Failures) + " check(s) failed.");
    return Failures == 0 ? 0 : 1;
}
