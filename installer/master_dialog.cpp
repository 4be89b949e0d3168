// The wizard window: a main menu of bitmap buttons on a full-size picture, which turns into the
// directory page and the finish page by showing, hiding, enabling and disabling the fixed
// controls of one template. The procedure only dispatches; each message and command has its own
// handler below.
#include "master_dialog.h"

#include <shellapi.h>

#include "dialog_utils.h"
#include "install_chain.h"
#include "launch_actions.h"
#include "manifest.h"
#include "paths.h"
#include "picture_layout.h"
#include "records.h"
#include "resource_ids.h"
#include "shell_imports.h"
#include "state.h"
#include "system_libraries.h"

char WorkDirectory[kPathChars] = "nada";
LONG GameInstalled;
LONG BusyCount;
char CaptionText[kTextChars];

namespace {

// What the window shows. The menu in its two modes and the two pages of the wizard are the same
// fixed controls of one template, shown, hidden, enabled and disabled; the install passes through
// two looks of its own on the way from the directory page to the finish page.
enum WizardLook {
    kMenuNotInstalledLook,
    kMenuInstalledLook,
    kDirectoryPageLook,
    kInstallingLook,            // Next and Cancel off
    kInstallingPastFieldsLook,  // the directory page's fields gone, the status line still there
    kFinishPageLook,            // button 1 enabled again, to be pressed as Finish
};

// GameInstalled when the directory page last opened: Cancel returns to that menu.
LONG SavedGameInstalled;

constexpr char kNextText[] = "Next >";
constexpr int kButtonFaceSize = 32;
// A dialog's base units are the pixels of 4 horizontal and of 8 vertical dialog units.
constexpr int kDialogUnitsPerBaseX = 4;
constexpr int kDialogUnitsPerBaseY = 8;
// EM_SETSEL end beyond any text: selects all of it.
constexpr LPARAM kSelectAll = 16777472;

// The menu's bitmap buttons and the string naming each one's face.
struct ButtonFace {
    int control;
    int faceName;
};
constexpr ButtonFace kButtonFaces[] = {
    {IDC_PLAY, IDS_PLAY_BUTTON_FACE},      {IDC_UNINSTALL, IDS_REMOVE_BUTTON_FACE},
    {IDC_INSTALL, IDS_MENU_BUTTON_FACE},   {IDC_DIRECTX, IDS_MENU_BUTTON_FACE},
    {IDC_README, IDS_MENU_BUTTON_FACE},    {IDC_EXIT, IDS_MENU_BUTTON_FACE},
};

// Each look's changes, applied in this order: hide, show, enable, disable. A list ends at the
// first 0, which is no control's id.
constexpr int kMaxLookControls = 11;
struct LookChanges {
    int hide[kMaxLookControls];
    int show[kMaxLookControls];
    int enable[kMaxLookControls];
    int disable[kMaxLookControls];
};

// Button 2 stays hidden on the menu but enabled: the dialog manager refuses the window's close
// command while it is disabled, and the close box must reach the menu's own handling of it.
// Exit is visible from the template and enabled in every look.
constexpr LookChanges kLooks[] = {
    // kMenuNotInstalledLook
    {{IDC_DIRECTORY, IDC_WILL_INSTALL, IDC_MODIFY_NOTE, IDC_DIR_LABEL, IDC_STATUS, IDC_BROWSE, IDC_SUCCESS,
      IDC_BACK, IDC_NEXT, IDC_CANCEL},
     {IDC_INSTALL, IDC_DIRECTX, IDC_README, IDC_PLAY, IDC_UNINSTALL},
     {IDC_INSTALL, IDC_README, IDC_EXIT, IDC_CANCEL},
     {IDC_PLAY, IDC_DIRECTX, IDC_UNINSTALL}},
    // kMenuInstalledLook
    {{IDC_DIRECTORY, IDC_WILL_INSTALL, IDC_MODIFY_NOTE, IDC_DIR_LABEL, IDC_STATUS, IDC_BROWSE, IDC_SUCCESS,
      IDC_BACK, IDC_NEXT, IDC_CANCEL},
     {IDC_INSTALL, IDC_DIRECTX, IDC_README, IDC_PLAY, IDC_UNINSTALL},
     {IDC_PLAY, IDC_INSTALL, IDC_UNINSTALL, IDC_README, IDC_EXIT, IDC_CANCEL},
     {IDC_DIRECTX}},
    // kDirectoryPageLook: the status line keeps its text, the last install's when there was one.
    {{},
     {IDC_STATUS, IDC_BACK, IDC_NEXT, IDC_CANCEL, IDC_BROWSE, IDC_DIRECTORY, IDC_WILL_INSTALL, IDC_MODIFY_NOTE,
      IDC_DIR_LABEL},
     {IDC_NEXT, IDC_CANCEL},
     {IDC_PLAY, IDC_UNINSTALL, IDC_INSTALL, IDC_DIRECTX, IDC_README, IDC_BACK}},
    // kInstallingLook
    {{}, {}, {}, {IDC_NEXT, IDC_CANCEL}},
    // kInstallingPastFieldsLook
    {{IDC_DIRECTORY, IDC_WILL_INSTALL, IDC_MODIFY_NOTE, IDC_DIR_LABEL, IDC_BROWSE}, {}, {}, {}},
    // kFinishPageLook: Cancel stays off.
    {{IDC_STATUS}, {IDC_SUCCESS}, {IDC_NEXT}, {}},
};
static_assert(sizeof(kLooks) / sizeof(kLooks[0]) == kFinishPageLook + 1, "one entry per look");

void ShowControls(HWND dialog, const int* controls, int show) {
    for (; *controls != 0; ++controls) ShowWindow(GetDlgItem(dialog, *controls), show);
}

void EnableControls(HWND dialog, const int* controls, BOOL enable) {
    for (; *controls != 0; ++controls) EnableWindow(GetDlgItem(dialog, *controls), enable);
}

// Shows, hides, enables and disables the controls as `look` has them. Only the controls that the
// look names change.
void ShowWizardLook(HWND dialog, WizardLook look) {
    const LookChanges& changes = kLooks[look];
    ShowControls(dialog, changes.hide, SW_HIDE);
    ShowControls(dialog, changes.show, SW_SHOW);
    EnableControls(dialog, changes.enable, TRUE);
    EnableControls(dialog, changes.disable, FALSE);
}

// Button 1 is shown on the two wizard pages only.
bool OnWizardPage(HWND dialog) { return IsWindowVisible(GetDlgItem(dialog, IDC_NEXT)) != FALSE; }

void SetCaptionFrom(HWND dialog, int stringId) {
    LoadStringA(AppInstance, stringId, CaptionText, kTextChars);
    SetWindowTextA(dialog, CaptionText);
}

int QuotientRoundedUp(int dividend, int divisor) { return (dividend + divisor - 1) / divisor; }

// Under the base units that the picture's labels tolerate it keeps its own size, the look of the
// systems' standard fonts. Under others (Large Fonts) the buttons would leave their labels and Exit
// the picture, so it is stretched as the controls are, from the base units it is painted for to
// the dialog's. Rounded up: the template is a third of a dialog unit wider than the picture, a
// part of a pixel that would leave the window's last column grey.
void GetMenuPictureSize(HWND dialog, int* width, int* height) {
    *width = kPictureWidth;
    *height = kPictureHeight;
    RECT baseUnits = {0, 0, kDialogUnitsPerBaseX, kDialogUnitsPerBaseY};
    if (!MapDialogRect(dialog, &baseUnits)) return;
    for (const BaseUnits& tolerated : kToleratedBaseUnits) {
        if (baseUnits.right == tolerated.x && baseUnits.bottom == tolerated.y) return;
    }
    *width = QuotientRoundedUp(kPictureWidth * baseUnits.right, kPaintedBaseUnits.x);
    *height = QuotientRoundedUp(kPictureHeight * baseUnits.bottom, kPaintedBaseUnits.y);
}

void SetMenuPicture(HWND dialog) {
    char name[kTextChars];
    LoadStringA(AppInstance, IDS_PICTURE_NAME, name, kTextChars);
    int width, height;
    GetMenuPictureSize(dialog, &width, &height);
    SetStaticBitmap(dialog, IDC_PICTURE, name, width, height);
}

void SetMenuButtonFaces(HWND dialog) {
    char name[kTextChars];
    for (const ButtonFace& face : kButtonFaces) {
        LoadStringA(AppInstance, face.faceName, name, kTextChars);
        SetButtonBitmap(dialog, face.control, name, kButtonFaceSize, kButtonFaceSize);
    }
}

// "quor.exe" in the recorded directory with an executable type means the game is installed. A
// directory too long to hold the name counts as not installed.
void LookUpGame(HWND) {
    char path[kPathChars];
    SHFILEINFOA info = {};
    GameInstalled = JoinPath(path, kPathChars, WorkDirectory, CoreFileList[kGameProgramEntry]) &&
                    SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_EXETYPE) != 0;
}

void ReadRecord(HWND) { ReadWorkDirectory(WorkDirectory); }

typedef BOOL(WINAPI* PlaySoundProc)(LPCSTR sound, HMODULE module, DWORD flags);
constexpr char kPlaySound[] = "PlaySoundA";

// Without the system's sound library the window opens in silence.
void StartSound(HWND) {
    const auto play = FindSystemFunction<PlaySoundProc>(kSoundLibrary, kPlaySound);
    if (play == nullptr) return;
    play(MAKEINTRESOURCEA(GameInstalled ? IDW_RUN_SOUND : IDW_SETUP_SOUND), AppInstance, SND_RESOURCE | SND_ASYNC);
}

void ShowMenu(HWND dialog) {
    if (GameInstalled) {
        SetCaptionFrom(dialog, IDS_CAPTION_INSTALLED);
        ShowWizardLook(dialog, kMenuInstalledLook);
    } else {
        BusyCount = 0;
        SetCaptionFrom(dialog, IDS_CAPTION_SETUP);
        ShowWizardLook(dialog, kMenuNotInstalledLook);
    }
}

// The menu's start-up, step by step in this order.
struct StartUpStepEntry {
    StartUpStep step;
    void (*run)(HWND dialog);
};
constexpr StartUpStepEntry kStartUpSteps[] = {
    {kRecordReadStep, ReadRecord}, {kPictureStep, SetMenuPicture}, {kButtonFacesStep, SetMenuButtonFaces},
    {kGameLookupStep, LookUpGame}, {kSoundStartStep, StartSound},  {kCaptionAndButtonsStep, ShowMenu},
};

// The creation parameter is zero in the program, a StartUpMarker in the bench.
void OnInitDialog(HWND dialog, LPARAM creation) {
    const StartUpMarker mark = reinterpret_cast<StartUpMarker>(creation);
    if (mark != nullptr) mark(kControlsMadeStep);
    for (const StartUpStepEntry& entry : kStartUpSteps) {
        entry.run(dialog);
        if (mark != nullptr) mark(entry.step);
    }
}

void OpenDirectoryPage(HWND dialog) {
    SavedGameInstalled = GameInstalled;
    GameInstalled = 0;
    const bool recorded = ReadWorkDirectory(WorkDirectory);
    // Set while the button is still hidden, so that it never shows "&Finish" on this page.
    SetDlgItemTextA(dialog, IDC_NEXT, kNextText);
    ShowWizardLook(dialog, kDirectoryPageLook);
    SendDlgItemMessageA(dialog, IDC_DIRECTORY, EM_LIMITTEXT, kPathChars, 0);
    // The default is only a proposal: WorkDirectory keeps naming where an install is, because the
    // menu that Cancel returns to plays, opens and removes what it names.
    char proposal[kPathChars];
    if (recorded) {
        lstrcpynA(proposal, WorkDirectory, kPathChars);
    } else {
        LoadStringA(AppInstance, IDS_DEFAULT_DIR, proposal, kPathChars);
    }
    SetDlgItemTextA(dialog, IDC_DIRECTORY, proposal);
    SendDlgItemMessageA(dialog, IDC_DIRECTORY, EM_SETSEL, 0, kSelectAll);
    SetFocus(GetDlgItem(dialog, IDC_DIRECTORY));
}

void BrowseForDirectory(HWND dialog) {
    if (GameInstalled != 0) return;
    char path[kPathChars] = {};
    BROWSEINFOA browse = {};
    browse.hwndOwner = dialog;
    browse.pszDisplayName = path;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolder(&browse);
    if (chosen == nullptr) return;
    SHGetPathFromIDList(chosen, path);
    SetDlgItemTextA(dialog, IDC_DIRECTORY, path);
    FreeIdList(chosen);
}

void LeaveDirectoryFields(HWND dialog) { ShowWizardLook(dialog, kInstallingPastFieldsLook); }

// Button 1 becomes Finish, which the next press acts on.
void ShowFinishPage(HWND dialog) {
    char text[kTextChars];
    LoadStringA(AppInstance, IDS_FINISH, text, kTextChars);
    SetDlgItemTextA(dialog, IDC_NEXT, text);
    ++GameInstalled;
    ShowWizardLook(dialog, kFinishPageLook);
}

// The whole install runs inside this command. Refused, it leaves the user on the directory page
// with the text as typed, to correct it. Done, the installed menu after Finish plays, opens and
// removes what WorkDirectory names: this install, also when its record could not be written.
void RunInstall(HWND dialog) {
    ++BusyCount;
    ShowWizardLook(dialog, kInstallingLook);
    ShowWaitCursor();
    char typed[kPathChars];
    GetDlgItemTextA(dialog, IDC_DIRECTORY, typed, kPathChars);
    if (InstallChain(dialog, typed, LeaveDirectoryFields) == kInstallRefused) {
        ShowWizardLook(dialog, kDirectoryPageLook);
    } else {
        lstrcpynA(WorkDirectory, InstallDirectory, kPathChars);
        ShowFinishPage(dialog);
    }
    --BusyCount;
}

// Enter on the menu sends this command too, since button 1 is the dialog's default button there,
// hidden; only the directory page and the finish page, which show the button, act on it.
void OnNext(HWND dialog, int notification) {
    if (BusyCount > 0 || !OnWizardPage(dialog)) return;
    if (GameInstalled == 1) {
        ShowWizardLook(dialog, kMenuInstalledLook);
        return;
    }
    if (GameInstalled != 0 || notification != BN_CLICKED) return;
    RunInstall(dialog);
}

// The menu has no Cancel button, yet the window's close box and the Escape key send this command
// too; on the menu they leave the program as Exit does, rather than restore a menu mode that
// would disable Play and Uninstall and keep the window from closing.
void OnCancel(HWND dialog) {
    if (BusyCount != 0) return;
    if (!OnWizardPage(dialog)) {
        ExitWizard(dialog);
        return;
    }
    GameInstalled = SavedGameInstalled;
    ShowWizardLook(dialog, SavedGameInstalled != 0 ? kMenuInstalledLook : kMenuNotInstalledLook);
}

// Next acts on any notification code in its Finish role; every other command on a click alone.
// Every id not named here does nothing.
void OnCommand(HWND dialog, int control, int notification) {
    if (control == IDC_NEXT) {
        OnNext(dialog, notification);
        return;
    }
    if (notification != BN_CLICKED) return;
    switch (control) {
        case IDC_CANCEL: OnCancel(dialog); break;
        case IDC_BROWSE: BrowseForDirectory(dialog); break;
        case IDC_INSTALL: OpenDirectoryPage(dialog); break;
        case IDC_README: OpenReadme(dialog); break;
        case IDC_EXIT: ExitWizard(dialog); break;
        case IDC_PLAY: PlayGame(dialog); break;
        case IDC_UNINSTALL: RunUninstall(dialog); break;
        default: break;
    }
}

}  // namespace

INT_PTR CALLBACK MasterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR: return SetCursorWhileBusy(BusyCount);
        case WM_INITDIALOG: OnInitDialog(dialog, lParam); return FALSE;
        case WM_COMMAND: OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return FALSE;
        default: return FALSE;
    }
}
