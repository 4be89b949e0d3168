// Measures the setup program under the same Wine as the tests: the full install from Next to the
// finish page, the start-up from the process start to the drawn window, and the peak memory
// during the install, each against a yardstick. Prints one line per run and per figure.
//
// The install cannot be shorter than its floor: the copies, the group's 4000 ms wait, and 2000 ms
// for every poll of the wait that found the conversion still running. How long the conversion
// runs is the decoder's matter, not the program's, so the polls are counted in every install (one
// dot each on the status line) and the floor of each install holds its own.
#include <windows.h>
#include <psapi.h>

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

// The group's fixed wait between its two converter runs, and the wait's pause between two polls.
constexpr double kGroupWaitSeconds = 4.0;
constexpr double kPollSeconds = 2.0;
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

    std::vector<double> copies;
    for (int run = 0; run < runs; ++run) {
        copies.push_back(Copies(medium, "C:\\qtest\\bench\\copies"));
        printf("copies run %d: %.2f s\n", run + 1, copies.back());
        fflush(stdout);
        if (copies.back() < 0) { printf("the copies failed\n"); return 1; }
    }
    const double copiesSeconds = Median(copies);

    std::vector<double> installs, floors, polls;
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
        const int waited = PollsThatWaited(dialog, kWaitText);
        if (waited < 0) { printf("install: the status line does not show the wait\n"); return 1; }
        polls.push_back(waited);
        floors.push_back(copiesSeconds + kGroupWaitSeconds + kPollSeconds * waited);
        printf("install run %d: %.2f s, polls that found the conversion running: %d, floor %.2f s\n", run + 1,
               installs.back(), waited, floors.back());
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
    printf("RESULT floor_seconds %.3f\n", Median(floors));
    printf("RESULT copies_seconds %.3f\n", copiesSeconds);
    printf("RESULT polls %.0f\n", Median(polls));
    printf("RESULT setup_startup_seconds %.3f\n", Median(setupStarts));
    printf("RESULT bare_startup_seconds %.3f\n", Median(bareStarts));
    printf("RESULT setup_peak_bytes %llu\n", static_cast<unsigned long long>(installPeak));
    printf("RESULT bare_peak_bytes %llu\n", static_cast<unsigned long long>(barePeak));
    printf("RESULT setup_menu_peak_bytes %llu\n", static_cast<unsigned long long>(menuPeak));
    return 0;
}
