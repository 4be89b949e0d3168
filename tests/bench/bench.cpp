// Measures the setup program under the same Wine as the tests: the full install from Next to the
// finish page, the start-up from the process start to the drawn window, and the peak memory
// during the install, each against a yardstick. Prints one line per run and per figure.
//
// The install cannot be shorter than its floor: the copies, the group's 4000 ms wait, and 2000 ms
// for every poll of the wait that found the conversion still running. How long the conversion
// runs is the decoder's matter, not the program's, so the polls are counted in every install (one
// dot each on the status line) and the floor of each install holds its own.
//
// The start-up cannot be shorter than a bare dialog program's that loads the same system
// libraries, plus the menu's own work: its controls, pictures, sound, record and lookup, and
// their painting. Starts differ by a few milliseconds, so each is marked to the millisecond or
// better, the two programs take turns in going first, and startup_steps times the menu's work
// step by step with the program's own code.
#include <windows.h>
#include <psapi.h>

#include <mmsystem.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "e2e.h"
#include "file_operations.h"
#include "install_support.h"
#include "machine.h"
#include "paths.h"
#include "pe_image.h"
#include "resource_ids.h"

namespace {

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Spread {
    double median, low, high;
};
Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

double Median(const std::vector<double>& values) { return SpreadOf(values).median; }

SIZE_T PeakMemory(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    return GetProcessMemoryInfo(process, &counters, sizeof(counters)) ? counters.PeakWorkingSetSize : 0;
}

// The start-up takes a fraction of a second: it is timed this many times for each install.
constexpr int kStartUpRunsPerInstallRun = 5;
// When a start-up is not marked by the process's input-idle event, its window is looked for at
// this interval, in milliseconds: starts differ by a few of them.
constexpr DWORD kStartPollMs = 1;

// A window and its children have nothing left to paint, once the window has answered a message.
BOOL CALLBACK NeedsPaint(HWND child, LPARAM pending) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) *reinterpret_cast<bool*>(pending) = true;
    return TRUE;
}
bool Painted(HWND window) {
    if (!e2e::Settle(window, e2e::kWindowTimeoutMs)) return false;
    bool pending = GetUpdateRect(window, nullptr, FALSE) != FALSE;
    EnumChildWindows(window, NeedsPaint, reinterpret_cast<LPARAM>(&pending));
    return !pending;
}

struct StartUp {
    double ms = -1;       // from just before the process was created until its window was drawn
    bool byEvent = false;  // marked by the input-idle event rather than by looks
    double within = 0;     // ms from the mark to the look that confirmed it, or between the last look
                           // that found the window not yet drawn and the one that found it drawn
    SIZE_T peak = 0;
};

// Starts `program` and times it until its window `caption` is shown, answers a message and has
// nothing left to paint. The mark is the process's input-idle event: Wine sets it when the
// program's thread first waits with nothing left to do, its window drawn. One look confirms it.
// A process can go idle before its window shows (the first of a session did once); its window is
// then looked for every kStartPollMs.
StartUp TimeStartUp(const std::string& program, const std::string& caption) {
    StartUp result;
    e2e::Program process;
    const double start = Seconds();
    if (!process.StartWith(program)) return result;
    // Only a wait that ended by the event marks the start; one that failed or timed out is no mark,
    // and the window is looked for from here on.
    const bool idle = WaitForInputIdle(process.Handle(), e2e::kWindowTimeoutMs) == 0;
    double mark = Seconds();
    HWND window = nullptr;
    for (bool firstLook = idle;; firstLook = false) {
        if (window == nullptr) window = process.FindWindowByCaption(caption);
        const bool drawn = window != nullptr && Painted(window);
        const double now = Seconds();
        if (drawn) {
            result.byEvent = firstLook;
            result.ms = 1000.0 * ((firstLook ? mark : now) - start);
            result.within = 1000.0 * (now - mark);
            break;
        }
        if (now - start > e2e::kWindowTimeoutMs / 1000.0 || !process.Running()) return result;
        mark = now;
        Sleep(kStartPollMs);
    }
    result.peak = PeakMemory(process.Handle());
    process.Kill();
    return result;
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

// The full install, `runs` times, against its floor. Prints its RESULT lines; false when it failed.
bool BenchInstall(int runs, const std::string& medium) {
    std::vector<double> copies;
    for (int run = 0; run < runs; ++run) {
        copies.push_back(Copies(medium, "C:\\qtest\\bench\\copies"));
        printf("copies run %d: %.2f s\n", run + 1, copies.back());
        fflush(stdout);
        if (copies.back() < 0) { printf("the copies failed\n"); return false; }
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
        if (dialog == nullptr) { printf("install: the directory page did not open\n"); return false; }
        const double start = Seconds();
        install::StartInstall(dialog, destination);
        if (!install::WaitForFinishPage(dialog)) { printf("install: no finish page\n"); return false; }
        installs.push_back(Seconds() - start);
        installPeak = std::max(installPeak, PeakMemory(setup.Handle()));
        const int waited = PollsThatWaited(dialog, kWaitText);
        if (waited < 0) { printf("install: the status line does not show the wait\n"); return false; }
        polls.push_back(waited);
        floors.push_back(copiesSeconds + kGroupWaitSeconds + kPollSeconds * waited);
        printf("install run %d: %.2f s, polls that found the conversion running: %d, floor %.2f s\n", run + 1,
               installs.back(), waited, floors.back());
        fflush(stdout);
        setup.Kill();
        machine::RemoveTree(destination);
    }
    machine::ResetSetupState();

    printf("RESULT install_seconds %.3f\n", Median(installs));
    printf("RESULT floor_seconds %.3f\n", Median(floors));
    printf("RESULT copies_seconds %.3f\n", copiesSeconds);
    printf("RESULT polls %.0f\n", Median(polls));
    printf("RESULT setup_peak_bytes %llu\n", static_cast<unsigned long long>(installPeak));
    return true;
}

// The system libraries a program imports, by name in upper case.
std::set<std::string> ImportedLibraries(const std::string& path) {
    std::set<std::string> libraries;
    PeImage image;
    if (!image.Load(path)) return libraries;
    for (const PeImport& entry : image.Imports()) {
        std::string name = entry.dll;
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
        libraries.insert(name);
    }
    return libraries;
}

std::string Joined(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : " ") + name;
    return text;
}

// The steps of the menu's first display (tests/bench/startup_steps.cpp), in their order, and how
// the bench names them.
struct StepName {
    const char* key;
    const char* label;
};
constexpr StepName kStepNames[] = {
    {"dialog_window", "dialog window (its font, the process's first window)"},
    {"first_control", "first control"},
    {"other_controls", "the other controls"},
    {"record_read", "record read (WorkDir)"},
    {"picture", "picture (640 x 480)"},
    {"button_faces", "button faces (6 x 32 x 32)"},
    {"game_lookup", "game lookup (quor.exe)"},
    {"sound_start", "sound start"},
    {"caption_and_buttons", "caption and button set"},
    {"window_shown", "window shown"},
    {"creation_to_shown", "creation with its start-up, shown"},
    {"first_paint", "first paint"},
    {"total", "total"},
};

// Times of each step in each mode of startup_steps: mode -> step -> one figure per run.
using StepTimes = std::map<std::string, std::map<std::string, std::vector<double>>>;

StepTimes ReadSteps(const std::string& path) {
    StepTimes steps;
    std::ifstream in(path);
    std::string mode, step;
    double ms = 0;
    while (in >> mode >> step >> ms) steps[mode][step].push_back(ms);
    return steps;
}

void PrintSteps(const StepTimes& steps, const char* mode, const char* title) {
    const auto found = steps.find(mode);
    if (found == steps.end()) return;
    printf("  %s\n", title);
    for (const StepName& name : kStepNames) {
        const auto times = found->second.find(name.key);
        if (times == found->second.end()) continue;
        const Spread spread = SpreadOf(times->second);
        printf("    %-56s %7.1f ms   (%.1f to %.1f)\n", name.label, spread.median, spread.low, spread.high);
    }
}

// The start-up of the setup program against the bare dialog, `runs` times each, the order of the
// two alternating from run to run; then the steps of the menu's first display, each in a process
// of its own. Prints its RESULT lines; false when it failed.
bool BenchStartUp(int runs, const std::string& medium) {
    const std::string setup = medium + "\\setup.exe";
    const std::string bare = e2e::Win64Dir() + "\\tests\\bare_dialog.exe";
    const std::string stepsProgram = e2e::Win64Dir() + "\\tests\\startup_steps.exe";

    const std::set<std::string> setupLibraries = ImportedLibraries(setup);
    const std::set<std::string> bareLibraries = ImportedLibraries(bare);
    printf("setup.exe imports:   %s\nbare dialog imports: %s\n", Joined(setupLibraries).c_str(),
           Joined(bareLibraries).c_str());
    if (setupLibraries.empty() || setupLibraries != bareLibraries) {
        printf("the bare dialog must import the same libraries as setup.exe\n");
        return false;
    }

    machine::ResetSetupState();
    timeBeginPeriod(kStartPollMs);
    // The first starts of a session pay for what Wine loads once for all of them: not timed.
    TimeStartUp(bare, "Bare Dialog");
    TimeStartUp(setup, "Quorvane Setup");
    std::vector<double> setupStarts, bareStarts, confirmations, brackets;
    SIZE_T barePeak = 0;
    SIZE_T menuPeak = 0;
    for (int run = 0; run < runs; ++run) {
        const bool bareFirst = run % 2 == 0;
        StartUp first = TimeStartUp(bareFirst ? bare : setup, bareFirst ? "Bare Dialog" : "Quorvane Setup");
        StartUp second = TimeStartUp(bareFirst ? setup : bare, bareFirst ? "Quorvane Setup" : "Bare Dialog");
        const StartUp& ofSetup = bareFirst ? second : first;
        const StartUp& ofBare = bareFirst ? first : second;
        if (ofSetup.ms < 0 || ofBare.ms < 0) {
            printf("start-up run %d: a window did not show\n", run + 1);
            return false;
        }
        setupStarts.push_back(ofSetup.ms);
        bareStarts.push_back(ofBare.ms);
        for (const StartUp* timed : {&ofSetup, &ofBare}) (timed->byEvent ? confirmations : brackets).push_back(timed->within);
        menuPeak = std::max(menuPeak, ofSetup.peak);
        barePeak = std::max(barePeak, ofBare.peak);
        printf("start-up run %2d (%-11s first): setup %6.1f ms%s, bare dialog %6.1f ms%s\n", run + 1,
               bareFirst ? "bare dialog" : "setup", ofSetup.ms, ofSetup.byEvent ? "" : " (looks)", ofBare.ms,
               ofBare.byEvent ? "" : " (looks)");
        fflush(stdout);
    }

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string stepsFile = std::string(temp) + "quorvane-startup-steps.txt";
    DeleteFileA(stepsFile.c_str());
    constexpr const char* kModes[] = {"setup", "bare", "program"};
    for (int run = -1; run < runs; ++run) {
        // Run -1 is the untimed first of the session.
        if (run == 0) DeleteFileA(stepsFile.c_str());
        for (int i = 0; i < 3; ++i) {
            const char* mode = kModes[(run + 3 + i) % 3];
            e2e::Program steps;
            if (!steps.StartWith(stepsProgram, std::string(mode) + " \"" + stepsFile + "\"") || !steps.WaitForExit() ||
                steps.ExitCode() != 0) {
                printf("startup_steps %s failed\n", mode);
                return false;
            }
        }
    }
    timeEndPeriod(kStartPollMs);
    machine::ResetSetupState();
    const StepTimes steps = ReadSteps(stepsFile);
    DeleteFileA(stepsFile.c_str());

    const Spread setupStart = SpreadOf(setupStarts);
    const Spread bareStart = SpreadOf(bareStarts);
    printf("\nStart-up, %d runs each, the order alternating from run to run.\n", runs);
    if (!confirmations.empty()) {
        const Spread confirmed = SpreadOf(confirmations);
        printf("  %zu of %d starts marked by the process's input-idle event, each confirmed drawn by one look\n"
               "  %.1f ms later (median; %.1f ms at most)\n",
               confirmations.size(), 2 * runs, confirmed.median, confirmed.high);
    }
    if (!brackets.empty()) {
        const Spread looked = SpreadOf(brackets);
        printf("  %zu starts found drawn by looks every %lu ms, each to within %.1f ms (median; %.1f ms at most)\n",
               brackets.size(), static_cast<unsigned long>(kStartPollMs), looked.median, looked.high);
    }
    printf("  setup.exe     %7.1f ms   (%.1f to %.1f)\n", setupStart.median, setupStart.low, setupStart.high);
    printf("  bare dialog   %7.1f ms   (%.1f to %.1f)\n", bareStart.median, bareStart.low, bareStart.high);
    printf("The menu's first display, step by step (medians of %d cold starts, and their spread):\n", runs);
    PrintSteps(steps, "setup", "the menu, with the program's code (its first control is the picture, which the template names):");
    PrintSteps(steps, "bare", "the bare dialog:");
    PrintSteps(steps, "program", "the menu made by the program's own dialog procedure:");

    const auto menu = steps.find("setup");
    const auto yardstick = steps.find("bare");
    if (menu == steps.end() || yardstick == steps.end() || menu->second.count("total") == 0 ||
        yardstick->second.count("total") == 0) {
        printf("the steps were not measured\n");
        return false;
    }
    const double ownWork = SpreadOf(menu->second.at("total")).median - SpreadOf(yardstick->second.at("total")).median;
    printf("  the menu's own work beyond the bare dialog's: %.1f ms\n", ownWork);

    printf("RESULT setup_startup_ms %.1f\n", setupStart.median);
    printf("RESULT bare_startup_ms %.1f\n", bareStart.median);
    printf("RESULT menu_steps_ms %.1f\n", ownWork);
    printf("RESULT bare_peak_bytes %llu\n", static_cast<unsigned long long>(barePeak));
    printf("RESULT setup_menu_peak_bytes %llu\n", static_cast<unsigned long long>(menuPeak));
    return true;
}

}  // namespace

// bench RUNS install|startup: the install's runs, and the start-up kStartUpRunsPerInstallRun times
// as often.
int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 3;
    const std::string part = argc > 2 ? argv[2] : "";
    const std::string medium = e2e::MediumDir();
    if (part == "install") return BenchInstall(runs, medium) ? 0 : 1;
    if (part == "startup") return BenchStartUp(kStartUpRunsPerInstallRun * runs, medium) ? 0 : 1;
    printf("usage: bench RUNS install|startup\n");
    return 2;
}
