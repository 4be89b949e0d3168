// Where the setup program's start-up goes: makes the menu with the program's own dialog procedure,
// code and resources, and times each step of its first display, marked by the procedure itself.
// One cold start per process, as the program has it: the first picture, the first sound and the
// first shell call each pay what the process has not loaded yet.
//
//   startup_steps setup   OUT   the menu's start-up, step by step
//   startup_steps program OUT   the menu's start-up in one piece, as the program makes it, to show
//                               that the steps add up to what the program does
//   startup_steps bare    OUT   the yardstick's dialog (tests/bench/bare_dialog.rc)
//
// Appends one line per step to OUT, and one for their total: the mode, the step and its
// milliseconds.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <string>
#include <vector>

#include "master_dialog.h"
#include "resource_ids.h"
#include "state.h"

namespace {

constexpr char kBareDialogName[] = "BARE_DIALOG";
double Milliseconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Step {
    std::string name;
    double ms;
};
std::vector<Step> Steps;
double Mark;

// Ends the step that began at the last mark.
void EndStep(const char* name) {
    const double now = Milliseconds();
    Steps.push_back({name, now - Mark});
    Mark = now;
}

// Splits the dialog's creation at the controls that the dialog manager creates: the dialog window
// (its font, and the process's first window), the first control (in the menu the picture, which
// the template names, so that the control loads it as it is created), then all the others.
int ControlsCreated;
LRESULT CALLBACK CreationSteps(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && (reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->style & WS_CHILD) != 0) {
        ++ControlsCreated;
        if (ControlsCreated == 1) EndStep("dialog_window");
        if (ControlsCreated == 2) EndStep("first_control");
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The dialog manager has created the last control and hands the dialog to its procedure.
void EndCreation() { EndStep(ControlsCreated > 1 ? "other_controls" : "first_control"); }

// The names of the steps that the menu's start-up marks, in the order of StartUpStep.
constexpr const char* kStepNames[] = {"",           "record_read", "picture",           "button_faces",
                                      "game_lookup", "sound_start", "caption_and_buttons"};
static_assert(sizeof(kStepNames) / sizeof(kStepNames[0]) == kCaptionAndButtonsStep + 1, "a name for each step");

void MarkStartUpStep(StartUpStep step) {
    if (step == kControlsMadeStep) {
        EndCreation();
    } else {
        EndStep(kStepNames[step]);
    }
}

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) EndCreation();
    return FALSE;
}

// Makes the dialog and paints it once as the dialog manager's loop would: every window of it that
// has something to paint gets its WM_PAINT now. `shownStep` names what the creation call holds
// after the last step that the procedure marked; `split` times the dialog's creation in its steps.
bool MakeAndPaint(const char* templateName, DLGPROC procedure, LPARAM parameter, bool split, const char* shownStep) {
    HHOOK hook = split ? SetWindowsHookExA(WH_CBT, CreationSteps, nullptr, GetCurrentThreadId()) : nullptr;
    Mark = Milliseconds();
    HWND dialog = CreateDialogParamA(AppInstance, templateName, nullptr, procedure, parameter);
    if (dialog == nullptr) return false;
    EndStep(shownStep);
    if (hook != nullptr) UnhookWindowsHookEx(hook);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    EndStep("first_paint");
    DestroyWindow(dialog);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: startup_steps setup|program|bare OUT\n");
        return 2;
    }
    AppInstance = GetModuleHandleA(nullptr);
    const std::string mode = argv[1];
    bool made = false;
    if (mode == "setup") {
        made = MakeAndPaint(DLG_MASTER_NAME, MasterDialogProc, reinterpret_cast<LPARAM>(MarkStartUpStep), true,
                            "window_shown");
    } else if (mode == "program") {
        // The program's own procedure marks nothing: its whole start-up falls into the creation.
        made = MakeAndPaint(DLG_MASTER_NAME, MasterDialogProc, 0, false, "creation_to_shown");
    } else if (mode == "bare") {
        made = MakeAndPaint(kBareDialogName, QuietProc, 0, true, "window_shown");
    }
    if (!made) {
        fprintf(stderr, "startup_steps: no dialog for %s\n", mode.c_str());
        return 1;
    }
    FILE* out = fopen(argv[2], "a");
    if (out == nullptr) return 1;
    double total = 0;
    for (const Step& step : Steps) {
        fprintf(out, "%s %s %.3f\n", mode.c_str(), step.name.c_str(), step.ms);
        total += step.ms;
    }
    fprintf(out, "%s total %.3f\n", mode.c_str(), total);
    fclose(out);
    return 0;
}
