#include "e2e.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <tlhelp32.h>

#include "png.h"

namespace e2e {

std::string BuildRoot() { return QUORVANE_BUILD_ROOT; }
std::string Win64Dir() { return BuildRoot() + "\\win64"; }
std::string Win32Dir() { return BuildRoot() + "\\win32"; }
std::string SourceRoot() { return QUORVANE_SOURCE_ROOT; }
std::string ToolsDir() { return Win64Dir() + "\\tools"; }

bool ShippedProgram() {
    char value[16] = {};
    return GetEnvironmentVariableA("QUORVANE_PROGRAM", value, sizeof(value)) > 0 && lstrcmpA(value, "pe32") == 0;
}
std::string SetupProgram() { return (ShippedProgram() ? Win32Dir() : Win64Dir()) + "\\setup.exe"; }
std::string MediumDir() { return ShippedProgram() ? BuildRoot() + "\\pe32\\medium" : Win64Dir() + "\\medium"; }
REGSAM RegistryView() { return ShippedProgram() ? KEY_WOW64_32KEY : 0; }

int ScreenDpi() {
    char value[8] = {};
    GetEnvironmentVariableA("QUORVANE_LOG_PIXELS", value, sizeof(value));
    const int dpi = atoi(value);
    return dpi > 0 ? dpi : kStandardDpi;
}

namespace {
// "nt40" or, for the tests started with QUORVANE_WINDOWS=win95, "win95".
std::string TargetWindows() {
    char version[8] = {};
    GetEnvironmentVariableA("QUORVANE_WINDOWS", version, sizeof(version));
    return lstrcmpA(version, "win95") == 0 ? "win95" : "nt40";
}

// The setup program (the medium's and the installed copy) and the stand-ins of the outside
// programs it starts: on one system, they are told one.
constexpr const char* kProgramsOfTheSystem[] = {"setup.exe", "command.exe", "l3dec.exe", "go32.exe",
                                                "grpconv.exe", "quor.exe"};

// The screen's dpi as Wine reads it for a new process: the value LogPixels of this key. The
// prefixes have none, and Wine then takes 96 from keys of its own.
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kLogPixels[] = "LogPixels";

// Wine takes its own builtin libraries before any file; Windows takes a library that is not one of
// its known DLLs from the program's folder first. Told so, Wine loads a winmm.dll found there into
// every setup.exe as Windows would.
constexpr char kSetupLibraryOrderKey[] = "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides";
constexpr char kSoundLibrary[] = "winmm";
constexpr char kNativeFirst[] = "native,builtin";

void SearchLibrariesAsWindows() {
    const DWORD size = static_cast<DWORD>(sizeof(kNativeFirst));
    RegSetKeyValueA(HKEY_CURRENT_USER, kSetupLibraryOrderKey, kSoundLibrary, REG_SZ, kNativeFirst, size);
}
}  // namespace

void TellWindows(const char* version) {
    for (const char* program : kProgramsOfTheSystem) {
        const std::string name = std::string("Software\\Wine\\AppDefaults\\") + program;
        if (version == nullptr) {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, name.c_str(), "Version");
            continue;
        }
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            continue;
        }
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       static_cast<DWORD>(lstrlenA(version) + 1));
        RegCloseKey(key);
    }
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        Sleep(pollMs);
    }
}

Program::~Program() {
    Kill();
    if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
    if (info_.hThread != nullptr) CloseHandle(info_.hThread);
}

bool Program::Start(const std::string& program, const std::string& commandLine,
                    const std::string& directory) {
    Kill();
    if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
    if (info_.hThread != nullptr) CloseHandle(info_.hThread);
    info_ = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (ShippedProgram()) TellWindows(TargetWindows().c_str());
    SearchLibrariesAsWindows();
    // Wine reads LogPixels once, when a process starts to use the window system, and keeps it: a
    // new process sees a change at once, without its wineserver started again, and a running one
    // keeps the dpi it started with. So another dpi is set only until the program waits for input,
    // its window made, and taken away before the test goes on: the tests after this one in its Wine
    // world, and every other process of this one, keep the prefix's own 96.
    const DWORD dpi = static_cast<DWORD>(ScreenDpi());
    if (dpi != kStandardDpi) RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &dpi, sizeof(dpi));
    const bool started = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        directory.empty() ? nullptr : directory.c_str(), &startup, &info_) != FALSE;
    if (dpi == kStandardDpi) return started;
    if (started) WaitForInputIdle(info_.hProcess, kWindowTimeoutMs);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, kLogPixels);
    return started;
}

bool Program::StartWith(const std::string& program, const std::string& arguments,
                        const std::string& directory) {
    std::string line = "\"" + program + "\"";
    if (!arguments.empty()) line += " " + arguments;
    return Start(program, line, directory);
}

bool Program::Running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(DWORD timeoutMs) {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess != nullptr) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Program::Kill() {
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 10000);
    }
}

namespace {
struct DialogSearch {
    DWORD processId;
    const std::string* caption;
    bool anyCaption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<DialogSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770") != 0) return TRUE;
    if (!search->anyCaption && WindowText(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND FindProcessDialog(DWORD processId, const std::string& caption, bool anyCaption) {
    DialogSearch search{processId, &caption, anyCaption, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {
struct WindowSearch {
    DWORD processId;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    if (WindowText(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND FindProcessWindow(DWORD processId, const std::string& caption) {
    WindowSearch search{processId, &caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Program::FindWindowByCaption(const std::string& caption) const {
    return FindProcessDialog(Id(), caption);
}

HWND Program::WaitForWindow(const std::string& caption, DWORD timeoutMs) const {
    HWND window = nullptr;
    WaitFor([&] { return (window = FindWindowByCaption(caption)) != nullptr || !Running(); },
            timeoutMs);
    return window;
}

HWND Program::WaitForAnyDialog(DWORD timeoutMs) const {
    HWND window = nullptr;
    WaitFor([&] { return (window = FindProcessDialog(Id(), "", true)) != nullptr || !Running(); },
            timeoutMs);
    return window;
}

namespace {
void ForEachProcessNamed(const char* imageName, const std::function<void(DWORD)>& visit) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, imageName) == 0) visit(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
}
}  // namespace

void EndProcessesNamed(const char* imageName) {
    ForEachProcessNamed(imageName, [](DWORD id) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (process == nullptr) return;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    });
}

bool ProcessRunning(const char* imageName) {
    bool running = false;
    ForEachProcessNamed(imageName, [&](DWORD) { running = true; });
    return running;
}

namespace {
struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<OwnedSearch*>(data);
    if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window)) return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770") != 0) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs) {
    OwnedSearch search{owner, nullptr};
    WaitFor([&] {
        EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, timeoutMs);
    return search.found;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string WindowText(HWND window) {
    char text[2048] = {};
    // InternalGetWindowText reads the text that the window manager keeps and sends no message.
    WCHAR wide[2048] = {};
    if (InternalGetWindowText(window, wide, 2048) > 0) {
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    }
    return text;
}

std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

std::string EditText(HWND dialog, int id) {
    char text[1024] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof(text),
                        reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 10000, &result);
    return text;
}

bool IsShown(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsEnabled(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr && (GetWindowLongA(control, GWL_STYLE) & WS_DISABLED) == 0;
}

bool Click(HWND dialog, int id) {
    if (!IsShown(dialog, id) || !IsEnabled(dialog, id)) return false;
    PostCommand(dialog, id, BN_CLICKED);
    return true;
}

void PostCommand(HWND dialog, int id, int notification) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool SendCommand(HWND dialog, int id, int notification) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
                               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_NORMAL, 20000,
                               &result) != 0;
}

bool Settle(HWND window, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

void SetEditText(HWND dialog, int id, const std::string& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 10000, &result);
}

std::string MessageBoxText(HWND box) { return ControlText(box, 0xFFFF); }

void AnswerMessageBox(HWND box, int buttonId) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

namespace {
BOOL CALLBACK NeedsPaint(HWND child, LPARAM pending) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) *reinterpret_cast<bool*>(pending) = true;
    return TRUE;
}
}  // namespace

void WaitUntilPainted(HWND window) {
    WaitFor([&] {
        if (!Settle(window, 5000)) return false;
        bool pending = GetUpdateRect(window, nullptr, FALSE) != FALSE;
        EnumChildWindows(window, NeedsPaint, reinterpret_cast<LPARAM>(&pending));
        return !pending;
    }, 5000);
}

namespace {
// Saves the screen's pixels in `area` as a PNG at `path`, making its folders.
bool SaveScreenArea(const std::string& path, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    const auto* pixels = static_cast<const unsigned char*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        rgb[i * 3 + 0] = pixels[i * 4 + 2];
        rgb[i * 3 + 1] = pixels[i * 4 + 1];
        rgb[i * 3 + 2] = pixels[i * 4 + 0];
    }
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    for (size_t slash = path.find('\\', 3); slash != std::string::npos;
         slash = path.find('\\', slash + 1)) {
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    }
    return WritePng(path, width, height, rgb);
}
}  // namespace

bool SaveScreenshotAs(const std::string& path, HWND window) {
    if (window != nullptr) WaitUntilPainted(window);
    return SaveScreenArea(path, RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

bool SaveWindowShotAs(const std::string& path, HWND window) {
    WaitUntilPainted(window);
    RECT area{};
    return GetWindowRect(window, &area) && SaveScreenArea(path, area);
}

std::string SaveScreenshot(const std::string& name, HWND window) {
    const std::string program = ShippedProgram() ? TargetWindows() : "x86_64";
    const std::string dpi = ScreenDpi() == kStandardDpi ? "" : "-" + std::to_string(ScreenDpi()) + "dpi";
    const std::string path = BuildRoot() + "\\screenshots\\" + program + "\\" + name + dpi + ".png";
    SaveScreenshotAs(path, window);
    return path;
}

namespace {
std::string StatusLogPath() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\temp\\quorvane-status.log";
}
}  // namespace

StatusSpy::~StatusSpy() {
    Detach();
    if (library_ != nullptr) FreeLibrary(library_);
}

bool StatusSpy::Attach(HWND window) {
    Detach();
    DeleteFileA(StatusLogPath().c_str());
    if (ShippedProgram()) return AttachThroughHost(window);
    if (library_ == nullptr) library_ = LoadLibraryA((Win64Dir() + "\\tests\\status_spy.dll").c_str());
    if (library_ == nullptr) return false;
    auto procedure = reinterpret_cast<HOOKPROC>(GetProcAddress(library_, "StatusSpyProc"));
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (procedure == nullptr || thread == 0) return false;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, procedure, library_, thread);
    return hook_ != nullptr;
}

// A 64-bit process cannot place a hook library into a 32-bit one: a 32-bit host does it.
bool StatusSpy::AttachThroughHost(HWND window) {
    constexpr char kReadyEvent[] = "QuorvaneStatusSpyReady";
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, kReadyEvent);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    const std::string tests = Win32Dir() + "\\tests";
    if (ready == nullptr || thread == 0 ||
        !host_.Start(tests + "\\spy_host.exe", "spy_host " + std::to_string(thread) + " " + kReadyEvent, tests)) {
        if (ready != nullptr) CloseHandle(ready);
        return false;
    }
    const HANDLE waits[] = {ready, host_.Handle()};
    const bool attached = WaitForMultipleObjects(2, waits, FALSE, kWindowTimeoutMs) == WAIT_OBJECT_0;
    CloseHandle(ready);
    return attached;
}

void StatusSpy::Detach() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    host_.Kill();
}

std::vector<std::string> StatusSpy::Texts(int control) const {
    std::vector<std::string> texts;
    FILE* file = fopen(StatusLogPath().c_str(), "rb");
    if (file == nullptr) return texts;
    char line[4096];
    const std::string prefix = std::to_string(control) + "\t";
    while (fgets(line, sizeof(line), file) != nullptr) {
        std::string text = line;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        const size_t tab = text.find('\t');  // behind the time stamp
        if (tab == std::string::npos) continue;
        text = text.substr(tab + 1);
        if (text.compare(0, prefix.size(), prefix) == 0) texts.push_back(text.substr(prefix.size()));
    }
    fclose(file);
    return texts;
}

}  // namespace e2e
