// Drives the real setup program as a user would: start it, find its windows, read and press its
// controls, answer its message boxes, wait for states with bounded timeouts, take screenshots.
#ifndef QUORVANE_TESTS_E2E_H
#define QUORVANE_TESTS_E2E_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "spy_records.h"

namespace e2e {

// Generous bounds: a cold Wine process start can take seconds.
constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kInstallTimeoutMs = 180000;

// Paths of the build, as the tests see them under Wine.
std::string BuildRoot();                         // ...\build
std::string Win64Dir();                          // ...\build\win64
std::string Win32Dir();                          // ...\build\win32
std::string SourceRoot();                        // the repository
std::string ToolsDir();                          // ...\build\win64\tools: the stand-ins

// The program under test. A test runs the x86_64 twin, or the shipped 32-bit program when it was
// started with QUORVANE_PROGRAM=pe32 (the CTest label pe32); every choice that follows from that is
// made here. The shipped program is told that it runs on NT 4.0, or on Windows 95 when the test was
// started with QUORVANE_WINDOWS=win95 as well (the label win95).
bool ShippedProgram();
std::string SetupProgram();                      // its setup.exe
// The distribution medium of that program: its setup.exe beside the x86_64 stand-ins of the
// outside programs (the build lays out build\pe32\medium for the shipped one).
std::string MediumDir();
// The distribution CD: a CD-ROM drive whose files come out of the medium's image, read-only
// (scripts/wine-env.sh, wine_env_insert_cd), with that program as its setup.exe.
constexpr char kCdDrive[] = "D:";
// Wine answers "which Windows is this" per program file, with the Version of the program's key
// ("nt40", "win95"); left alone it answers Windows 7. Tells the setup program and the stand-ins
// of the outside programs `version` (null: nothing, Wine's own answer again). A start of the
// shipped program tells them the system of its test.
void TellWindows(const char* version);
// The registry view that program writes: a 32-bit process writes HKLM\Software in the 32-bit view.
REGSAM RegistryView();
// The screen's dots per inch that the programs a test starts run at: kStandardDpi, or what the test
// was started with in QUORVANE_LOG_PIXELS (the CTest label dpi120: 120, the systems' Large Fonts).
constexpr int kStandardDpi = 96;
int ScreenDpi();

// Polls `condition` every `pollMs` until it holds or `timeoutMs` has passed.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 50);

// A setup program started as its own process. Ends it on destruction if it still runs.
class Program {
  public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    // Starts `program` with exactly `commandLine` (which should begin with the program's name, as
    // a shell would write it) in `directory` (empty: the test's own). At another ScreenDpi it
    // returns once the program first waits for input, running at that dpi.
    bool Start(const std::string& program, const std::string& commandLine,
               const std::string& directory = "");
    // Starts `program` with the usual command line: its quoted path, then `arguments` if any.
    bool StartWith(const std::string& program, const std::string& arguments = "",
                   const std::string& directory = "");

    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    bool Running() const;
    bool WaitForExit(DWORD timeoutMs = kWindowTimeoutMs);
    DWORD ExitCode() const;
    void Kill();

    // The visible top-level window of this process with this caption (and dialog class), or null
    // after the timeout.
    HWND WaitForWindow(const std::string& caption, DWORD timeoutMs = kWindowTimeoutMs) const;
    HWND FindWindowByCaption(const std::string& caption) const;
    // The first visible dialog window of this process, whatever its caption.
    HWND WaitForAnyDialog(DWORD timeoutMs = kWindowTimeoutMs) const;

  private:
    PROCESS_INFORMATION info_{};
};

// A visible top-level dialog window of a process whose caption is `caption` (any caption when
// `anyCaption`).
HWND FindProcessDialog(DWORD processId, const std::string& caption, bool anyCaption = false);
// A visible top-level window of a process whose caption is `caption`, of any window class (a
// program's own main window rather than a dialog).
HWND FindProcessWindow(DWORD processId, const std::string& caption);

// Ends every process whose program file is named `imageName` (e.g. "wordpad.exe"): the programs
// that the setup starts for the user are no children of the test and would outlive it.
void EndProcessesNamed(const char* imageName);
bool ProcessRunning(const char* imageName);

// A visible dialog window owned by `owner` (a message box, the folder browser), or null after the
// timeout.
HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs = kWindowTimeoutMs);

// A dialog procedure that handles nothing: a dialog template made into a window for a procedure
// of the program to act on, without the program's own dialog procedure.
INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM);

// A control's text without sending it a message (statics, buttons, captions): reads what the
// window manager keeps, so it works while the program is busy inside a handler.
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
// The text of an edit control, asked of the control itself (the program must be idle).
std::string EditText(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);

// Presses a button as a click would: only a shown, enabled button can be clicked; the command
// is posted, so a long action behind it does not block the test. False when the button is
// hidden or disabled.
bool Click(HWND dialog, int id);
// Posts WM_COMMAND with any id and notification code, as a program or a keyboard could.
void PostCommand(HWND dialog, int id, int notification);
// Sends WM_COMMAND and waits until the program has handled it: for commands whose handling is
// short (or nothing), so that the test can look at the result right after. False on time-out.
bool SendCommand(HWND dialog, int id, int notification);
// Waits until the program has finished what it was handling: a sent message is handled only once
// the handler in progress has returned. False on time-out.
bool Settle(HWND window, DWORD timeoutMs = kWindowTimeoutMs);
// Types text into an edit control (replaces its content); the program must be idle.
void SetEditText(HWND dialog, int id, const std::string& text);

// The text of a message box (its static with id 0xFFFF) and pressing one of its buttons.
std::string MessageBoxText(HWND box);
void AnswerMessageBox(HWND box, int buttonId);

// Waits until a window and its children have no region left to paint (bounded).
void WaitUntilPainted(HWND window);

// Saves a PNG of the whole screen, once `window` (if given) has painted, as <name>.png in the
// tests' folder of the program under test: build\screenshots\x86_64, ...\nt40 or ...\win95, as
// the tests of the three run side by side; at another ScreenDpi as <name>-<dpi>dpi.png. Returns the
// full path.
std::string SaveScreenshot(const std::string& name, HWND window = nullptr);
// The same at any path (the demo's step shots); false when the file cannot be written.
bool SaveScreenshotAs(const std::string& path, HWND window = nullptr);
// The window alone, frame and caption included, once it has painted.
bool SaveWindowShotAs(const std::string& path, HWND window);

// Records every text that a dialog thread of the program sets on the status line (1009) or the
// uninstall text field (1052), through a hook placed into that thread; and, under the numbers of
// spy_records.h, what the program does that Windows would show and Wine does not.
class StatusSpy {
  public:
    StatusSpy() = default;
    StatusSpy(const StatusSpy&) = delete;
    StatusSpy& operator=(const StatusSpy&) = delete;
    ~StatusSpy();
    // Starts recording the texts set by the thread that owns `window`. Earlier records go.
    bool Attach(HWND window);
    void Detach();
    // The texts recorded so far for `control`, in order.
    std::vector<std::string> Texts(int control) const;

  private:
    bool AttachThroughHost(HWND window);
    HMODULE library_ = nullptr;
    HHOOK hook_ = nullptr;
    Program host_;  // the 32-bit host that holds the hook in the shipped program
};

}  // namespace e2e

#endif
