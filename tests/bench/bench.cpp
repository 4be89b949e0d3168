// Measures the setup program under the same Wine as the tests: the full install from Next to the
// finish page, the start-up from the process start to the drawn window, and the peak memory
// during the install, each against a yardstick. Prints one line per run and per figure; the
// lower bound of the install work is measured on the build machine by scripts/bench.sh.
//
// The install cannot be shorter than its fixed floor: the copies, the group's 4000 ms wait and
// the wait's first look at the conversion. The conversion runs meanwhile and decides whether the
// install gets its floor or a poll of 2000 ms more, so it is measured alone too, and every
// install reports how many polls found it still running.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "e2e.h"
#include "file_operations.h"
#include "install_support.h"
#include "machine.h"
#include "paths.h"
#include "resource_ids.h"

namespace {

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

SIZE_T PeakMemory(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    return GetProcessMemoryInfo(process, &counters, sizeof(counters)) ? counters.PeakWorkingSetSize : 0;
}

// Seconds from the process start until its window `caption` is shown and painted.
double StartUp(const std::string& program, const std::string& caption, SIZE_T* peak) {
    e2e::Program process;
    const double start = Seconds();
    if (!process.StartWith(program)) return -1;
    HWND window = process.WaitForWindow(caption);
    if (window == nullptr) return -1;
    e2e::WaitUntilPainted(window);
    const double elapsed = Seconds() - start;
    if (peak != nullptr) *peak = PeakMemory(process.Handle());
    process.Kill();
    return elapsed;
}

// The group's fixed wait between its two converter runs.
constexpr double kGroupWaitSeconds = 4.0;
// The wait's first look follows a zero-length sleep: it adds nothing to the floor.
constexpr double kFirstLookSeconds = 0.0;
constexpr DWORD kConversionTimeoutMs = 180000;
// The wait's text on the status line before its first dot.
constexpr char kWaitText[] = "Please wait...  Decompressing Audio...";

// The 139 copies of the install, each as the program makes it, into a fresh directory.
double Copies(const std::string& medium, const std::string& destination) {
    machine::RemoveTree(destination);
    const double start = Seconds();
    for (const std::string& entry : install::CopiedEntries()) {
        char source[MAX_PATH];
        char target[MAX_PATH];
        lstrcpynA(source, medium.c_str(), MAX_PATH);
        lstrcpynA(target, destination.c_str(), MAX_PATH);
        if (!AppendPathComponent(source, MAX_PATH, entry.c_str()) ||
            !AppendPathComponent(target, MAX_PATH, entry.c_str()) || ShellCopyFile(nullptr, source, target) != 0) {
            return -1;
        }
        SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    }
    const double elapsed = Seconds() - start;
    machine::RemoveTree(destination);
    return elapsed;
}

// The medium's mp3.bat run by the interpreter as the program starts it, in a directory laid out
// as the install leaves it; from the start to the interpreter's end.
double Conversion(const std::string& medium, const std::string& directory) {
    machine::RemoveTree(directory);
    machine::MakeDirectories(directory + "\\sfx");
    if (!CopyFileA((medium + "\\go32.exe").c_str(), (directory + "\\go32.exe").c_str(), FALSE) ||
        !machine::WriteBytes(directory + "\\mp3.bat", install::ExpectedBatchFile(medium))) {
        printf("conversion: cannot lay out %s\n", directory.c_str());
        return -1;
    }
    SHELLEXECUTEINFOA request{};
    request.cbSize = sizeof(request);
    // The program is a windowed one, so the interpreter gets a console of its own.
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NO_CONSOLE;
    request.lpFile = "command";
    request.lpParameters = "/C mp3.bat";
    request.lpDirectory = directory.c_str();
    request.nShow = SW_SHOWNORMAL;
    // Nor does it have standard handles for the interpreter to take over: it writes to that console.
    constexpr DWORD kStandardHandles[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE saved[3];
    for (int i = 0; i < 3; ++i) {
        saved[i] = GetStdHandle(kStandardHandles[i]);
        SetStdHandle(kStandardHandles[i], nullptr);
    }
    const double start = Seconds();
    const bool started = ShellExecuteExA(&request) && request.hProcess != nullptr;
    for (int i = 0; i < 3; ++i) SetStdHandle(kStandardHandles[i], saved[i]);
    if (!started) {
        printf("conversion: the interpreter did not start (error %lu)\n", GetLastError());
        return -1;
    }
    const bool ended = WaitForSingleObject(request.hProcess, kConversionTimeoutMs) == WAIT_OBJECT_0;
    const double elapsed = Seconds() - start;
    if (!ended) TerminateProcess(request.hProcess, 1);
    CloseHandle(request.hProcess);
    for (const std::string& name : install::ConvertedNames()) {
        if (!machine::FileExists(directory + "\\" + name)) {
            printf("conversion: no %s\n", name.c_str());
            return -1;
        }
    }
    machine::RemoveTree(directory);
    return ended ? elapsed : -1;
}

// The polls of the wait that found the conversion still running: one dot each on the status
// line, which keeps its last text behind the finish page.
int PollsThatWaited(HWND dialog, const std::string& waitText) {
    const std::string shown = e2e::ControlText(dialog, IDC_STATUS);
    if (shown.compare(0, waitText.size(), waitText) != 0) return -1;
    return static_cast<int>(shown.size() - waitText.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 3;
    const std::string medium = e2e::MediumDir();
    const std::string bare = e2e::Win64Dir() + "\\tests\\bare_dialog.exe";

    std::vector<double> conversions, copies;
    for (int run = 0; run < runs; ++run) {
        conversions.push_back(Conversion(medium, "C:\\qtest\\bench\\conversion"));
        copies.push_back(Copies(medium, "C:\\qtest\\bench\\copies"));
        printf("conversion run %d: %.2f s, copies %.2f s\n", run + 1, conversions.back(), copies.back());
        fflush(stdout);
        if (conversions.back() < 0 || copies.back() < 0) { printf("conversion or copies failed\n"); return 1; }
    }

    std::vector<double> installs;
    int conversionsBeforeTheWait = 0;
    SIZE_T installPeak = 0;
    for (int run = 0; run < runs; ++run) {
        machine::ResetSetupState();
        const std::string destination = "C:\\qtest\\bench\\run" + std::to_string(run);
        machine::RemoveTree(destination);
        e2e::Program setup;
        HWND dialog = install::OpenDirectoryPage(setup, medium);
        if (dialog == nullptr) { printf("install: the directory page did not open\n"); return 1; }
        const double start = Seconds();
        install::StartInstall(dialog, destination);
        if (!install::WaitForFinishPage(dialog)) { printf("install: no finish page\n"); return 1; }
        installs.push_back(Seconds() - start);
        installPeak = std::max(installPeak, PeakMemory(setup.Handle()));
        const int polls = PollsThatWaited(dialog, kWaitText);
        if (polls == 0) ++conversionsBeforeTheWait;
        printf("install run %d: %.2f s, polls that found the conversion running: %d\n", run + 1, installs.back(),
               polls);
        fflush(stdout);
        setup.Kill();
        machine::RemoveTree(destination);
    }
    machine::ResetSetupState();

    std::vector<double> setupStarts, bareStarts;
    SIZE_T barePeak = 0;
    SIZE_T menuPeak = 0;
    for (int run = 0; run < runs; ++run) {
        SIZE_T peak = 0;
        bareStarts.push_back(StartUp(bare, "Bare Dialog", &peak));
        barePeak = std::max(barePeak, peak);
        setupStarts.push_back(StartUp(medium + "\\setup.exe", "Quorvane Setup", &peak));
        menuPeak = std::max(menuPeak, peak);
        printf("start-up run %d: setup %.3f s, bare dialog %.3f s\n", run + 1, setupStarts.back(), bareStarts.back());
        fflush(stdout);
    }

    printf("RESULT install_seconds %.3f\n", Median(installs));
    printf("RESULT install_runs %d\n", runs);
    printf("RESULT conversions_before_wait %d\n", conversionsBeforeTheWait);
    printf("RESULT conversion_seconds %.3f\n", Median(conversions));
    printf("RESULT conversion_max_seconds %.3f\n", *std::max_element(conversions.begin(), conversions.end()));
    printf("RESULT copies_seconds %.3f\n", Median(copies));
    printf("RESULT floor_seconds %.3f\n", Median(copies) + kGroupWaitSeconds + kFirstLookSeconds);
    printf("RESULT setup_startup_seconds %.3f\n", Median(setupStarts));
    printf("RESULT bare_startup_seconds %.3f\n", Median(bareStarts));
    printf("RESULT setup_peak_bytes %llu\n", static_cast<unsigned long long>(installPeak));
    printf("RESULT bare_peak_bytes %llu\n", static_cast<unsigned long long>(barePeak));
    printf("RESULT setup_menu_peak_bytes %llu\n", static_cast<unsigned long long>(menuPeak));
    return 0;
}
