// The wizard window's states, control by control, as a user sees them.
#ifndef QUORVANE_TESTS_WIZARD_STATES_H
#define QUORVANE_TESTS_WIZARD_STATES_H

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "e2e.h"
#include "resource_ids.h"

namespace wizard {

constexpr char kSetupCaption[] = "Quorvane Setup";
constexpr char kInstalledCaption[] = "Quorvane";

// "on": shown and enabled; "off": shown and disabled.
enum Look { kHidden, kOn, kOff, kShown };

struct ControlLook {
    int id;
    Look look;
};

inline const char* LookName(Look look) {
    switch (look) {
        case kHidden: return "hidden";
        case kOn: return "on";
        case kOff: return "off";
        default: return "shown";
    }
}

inline Look ActualLook(HWND dialog, int id, Look expected) {
    if (!e2e::IsShown(dialog, id)) return kHidden;
    if (expected == kShown) return kShown;
    return e2e::IsEnabled(dialog, id) ? kOn : kOff;
}

template <size_t N>
void ExpectLooks(HWND dialog, const ControlLook (&looks)[N], const std::string& state) {
    for (const ControlLook& c : looks) {
        EXPECT_STREQ(LookName(c.look), LookName(ActualLook(dialog, c.id, c.look)))
            << "control " << c.id << " in the state " << state;
    }
}

// What a window of the program shows, in one line for a failure message: its caption, its text
// line (the wizard's status, the uninstall dialog's text), which of its buttons and fields are
// shown and which of those disabled, the message box or browser it owns, and whether it is busy.
inline std::string Describe(HWND window) {
    if (window == nullptr) return "no window";
    if (!IsWindow(window)) return "a window that is gone";
    static constexpr std::pair<int, const char*> kControls[] = {
        {IDC_INSTALL, "Install"}, {IDC_README, "Read Me"},     {IDC_PLAY, "Play"},     {IDC_UNINSTALL, "Uninstall"},
        {IDC_EXIT, "Exit"},       {IDC_DIRECTORY, "directory"}, {IDC_BROWSE, "Browse"}, {IDC_NEXT, "Next"},
        {IDC_CANCEL, "Cancel"},   {IDC_SUCCESS, "success note"}, {IDC_REMOVE_OK, "OK"}, {IDC_REMOVE_CANCEL, "Cancel"}};
    std::string text = "\"" + e2e::WindowText(window) + "\"";
    for (int line : {IDC_STATUS, IDC_REMOVE_TEXT}) {
        if (e2e::IsShown(window, line)) text += ", text \"" + e2e::ControlText(window, line) + "\"";
    }
    const char* separator = ", shown: ";
    for (const auto& [id, name] : kControls) {
        if (!e2e::IsShown(window, id)) continue;
        text += separator + std::string(name) + (e2e::IsEnabled(window, id) ? "" : " (off)");
        separator = ", ";
    }
    if (HWND box = e2e::WaitForOwnedDialog(window, 0)) {
        text += ", over it \"" + e2e::WindowText(box) + "\": \"" + e2e::MessageBoxText(box) + "\"";
    }
    return e2e::Settle(window, 200) ? text : text + ", busy";
}

// A failure message: what was awaited, and what the window showed instead.
inline std::string Awaited(const std::string& what, HWND window) {
    return "awaited " + what + "; the window showed " + Describe(window);
}

// Clicks `button` and waits until `arrived` holds; a failure says which of the two failed and what
// the window showed instead.
inline ::testing::AssertionResult ClickAndAwait(HWND dialog, int button, const std::string& what,
                                                const std::function<bool()>& arrived,
                                                DWORD timeoutMs = e2e::kWindowTimeoutMs) {
    if (!e2e::Click(dialog, button)) {
        return ::testing::AssertionFailure() << "button " << button << " cannot be clicked: " << Describe(dialog);
    }
    if (!e2e::WaitFor(arrived, timeoutMs)) return ::testing::AssertionFailure() << Awaited(what, dialog);
    return ::testing::AssertionSuccess();
}

// What a program shows when a window of it did not come: its first dialog, or that it ended.
inline std::string DescribeProgram(const e2e::Program& program) {
    if (!program.Running()) return "the program has ended, exit code " + std::to_string(program.ExitCode());
    HWND dialog = e2e::FindProcessDialog(program.Id(), "", true);
    return dialog == nullptr ? "the program runs without a dialog" : "the program shows " + Describe(dialog);
}

constexpr ControlLook kMenuNotInstalled[] = {
    {IDC_PICTURE, kShown}, {IDC_INSTALL, kOn},     {IDC_DIRECTX, kOff},      {IDC_README, kOn},
    {IDC_EXIT, kOn},       {IDC_PLAY, kOff},       {IDC_UNINSTALL, kOff},    {IDC_STATUS, kHidden},
    {IDC_WILL_INSTALL, kHidden}, {IDC_MODIFY_NOTE, kHidden}, {IDC_DIR_LABEL, kHidden},
    {IDC_DIRECTORY, kHidden}, {IDC_BROWSE, kHidden}, {IDC_BACK, kHidden},  {IDC_NEXT, kHidden},
    {IDC_CANCEL, kHidden}, {IDC_SUCCESS, kHidden}, {IDC_DRIVER_NOTE, kHidden}, {IDC_REBOOT_NOTE, kHidden},
};

constexpr ControlLook kMenuInstalled[] = {
    {IDC_PICTURE, kShown}, {IDC_INSTALL, kOn},     {IDC_DIRECTX, kOff},      {IDC_README, kOn},
    {IDC_EXIT, kOn},       {IDC_PLAY, kOn},        {IDC_UNINSTALL, kOn},     {IDC_STATUS, kHidden},
    {IDC_WILL_INSTALL, kHidden}, {IDC_MODIFY_NOTE, kHidden}, {IDC_DIR_LABEL, kHidden},
    {IDC_DIRECTORY, kHidden}, {IDC_BROWSE, kHidden}, {IDC_BACK, kHidden},  {IDC_NEXT, kHidden},
    {IDC_CANCEL, kHidden}, {IDC_SUCCESS, kHidden}, {IDC_DRIVER_NOTE, kHidden}, {IDC_REBOOT_NOTE, kHidden},
};

constexpr ControlLook kDirectoryPage[] = {
    {IDC_PICTURE, kShown}, {IDC_INSTALL, kOff},    {IDC_DIRECTX, kOff},      {IDC_README, kOff},
    {IDC_EXIT, kOn},       {IDC_PLAY, kOff},       {IDC_UNINSTALL, kOff},    {IDC_STATUS, kShown},
    {IDC_WILL_INSTALL, kShown}, {IDC_MODIFY_NOTE, kShown}, {IDC_DIR_LABEL, kShown},
    {IDC_DIRECTORY, kOn},  {IDC_BROWSE, kOn},      {IDC_BACK, kOff},         {IDC_NEXT, kOn},
    {IDC_CANCEL, kOn},     {IDC_SUCCESS, kHidden}, {IDC_DRIVER_NOTE, kHidden}, {IDC_REBOOT_NOTE, kHidden},
};

constexpr ControlLook kInstalling[] = {
    {IDC_PICTURE, kShown}, {IDC_INSTALL, kOff},    {IDC_DIRECTX, kOff},      {IDC_README, kOff},
    {IDC_EXIT, kOn},       {IDC_PLAY, kOff},       {IDC_UNINSTALL, kOff},    {IDC_BACK, kOff},
    {IDC_NEXT, kOff},      {IDC_CANCEL, kOff},     {IDC_SUCCESS, kHidden},   {IDC_DRIVER_NOTE, kHidden},
    {IDC_REBOOT_NOTE, kHidden},
};

constexpr ControlLook kFinishPage[] = {
    {IDC_PICTURE, kShown}, {IDC_INSTALL, kOff},    {IDC_DIRECTX, kOff},      {IDC_README, kOff},
    {IDC_EXIT, kOn},       {IDC_PLAY, kOff},       {IDC_UNINSTALL, kOff},    {IDC_STATUS, kHidden},
    {IDC_WILL_INSTALL, kHidden}, {IDC_MODIFY_NOTE, kHidden}, {IDC_DIR_LABEL, kHidden},
    {IDC_DIRECTORY, kHidden}, {IDC_BROWSE, kHidden}, {IDC_BACK, kOff},     {IDC_NEXT, kOn},
    {IDC_CANCEL, kOff},    {IDC_SUCCESS, kShown},  {IDC_DRIVER_NOTE, kHidden}, {IDC_REBOOT_NOTE, kHidden},
};

}  // namespace wizard

#endif
