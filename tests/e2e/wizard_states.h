// The wizard window's states, control by control, as a user sees them.
#ifndef QUORVANE_TESTS_WIZARD_STATES_H
#define QUORVANE_TESTS_WIZARD_STATES_H

#include <gtest/gtest.h>

#include <string>

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
