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
#include "records.h"
#include "resource_ids.h"
#include "shell_imports.h"
#include "state.h"

char InstallDirectory[kPathChars];
char WorkDirectory[kPathChars] = "nada";
LONG GameInstalled;
LONG SavedGameInstalled;
LONG BusyCount;
char CaptionText[kTextChars];

namespace {

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;
constexpr int kButtonFaceSize = 32;
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

// Shown at start-up; Exit is visible from the template.
constexpr int kMenuButtonsToShow[] = {IDC_INSTALL, IDC_DIRECTX, IDC_README, IDC_PLAY, IDC_UNINSTALL};
// Disabled while the directory page is open.
constexpr int kMenuButtonsToDisable[] = {IDC_PLAY, IDC_UNINSTALL, IDC_INSTALL, IDC_DIRECTX, IDC_README};
// The directory page's controls, in the order they are shown.
constexpr int kDirectoryPageControls[] = {IDC_BACK,      IDC_NEXT,         IDC_CANCEL,      IDC_BROWSE,
                                          IDC_DIRECTORY, IDC_WILL_INSTALL, IDC_MODIFY_NOTE, IDC_DIR_LABEL};
// Hidden, in this order, when Cancel returns to the menu.
constexpr int kWizardControlsToHide[] = {IDC_DIRECTORY, IDC_WILL_INSTALL, IDC_MODIFY_NOTE,
                                         IDC_DIR_LABEL, IDC_STATUS,       IDC_BROWSE,
                                         IDC_SUCCESS,   IDC_BACK,         IDC_NEXT,
                                         IDC_CANCEL,    IDC_STATUS};

// The menu's command table: the ids from IDC_INSTALL on, looked up as bytes; every id not
// named here does nothing.
enum MenuAction : unsigned char { kNoAction, kInstallAction, kReadmeAction, kExitAction, kPlayAction, kUninstallAction };
constexpr int kFirstTableId = IDC_INSTALL;
constexpr int kTableIds = 40;

struct CommandTable {
    unsigned char action[kTableIds];
    constexpr CommandTable() : action{} {
        action[IDC_INSTALL - kFirstTableId] = kInstallAction;
        action[IDC_README - kFirstTableId] = kReadmeAction;
        action[IDC_EXIT - kFirstTableId] = kExitAction;
        action[IDC_PLAY - kFirstTableId] = kPlayAction;
        action[IDC_UNINSTALL - kFirstTableId] = kUninstallAction;
    }
};
constexpr CommandTable kCommands;
static_assert(IDC_UNINSTALL - kFirstTableId < kTableIds, "the table reaches the last menu button");

void ShowControl(HWND dialog, int control, int show) { ShowWindow(GetDlgItem(dialog, control), show); }
void EnableControl(HWND dialog, int control, BOOL enable) { EnableWindow(GetDlgItem(dialog, control), enable); }

// "quor.exe" in the recorded directory with an executable type means the game is installed. A
// directory too long to hold the name counts as not installed.
bool GameIsInstalled() {
    char path[kPathChars];
    lstrcpynA(path, WorkDirectory, kPathChars);
    if (!AppendPathComponent(path, kPathChars, CoreFileList[kGameProgramEntry])) return false;
    SHFILEINFOA info = {};
    return SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_EXETYPE) != 0;
}

void SetCaptionFrom(HWND dialog, int stringId) {
    LoadStringA(AppInstance, stringId, CaptionText, kTextChars);
    SetWindowTextA(dialog, CaptionText);
}

BOOL OnSetCursor() {
    if (BusyCount == 0) return FALSE;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    return TRUE;
}

void OnInitDialog(HWND dialog) {
    ReadWorkDirectory();

    char name[kTextChars];
    LoadStringA(AppInstance, IDS_PICTURE_NAME, name, kTextChars);
    SetStaticBitmap(dialog, IDC_PICTURE, name, kPictureWidth, kPictureHeight);
    for (const ButtonFace& face : kButtonFaces) {
        LoadStringA(AppInstance, face.faceName, name, kTextChars);
        SetButtonBitmap(dialog, face.control, name, kButtonFaceSize, kButtonFaceSize);
    }
    for (int control : kMenuButtonsToShow) ShowControl(dialog, control, SW_SHOW);

    const bool installed = GameIsInstalled();
    PlaySoundA(MAKEINTRESOURCEA(installed ? IDW_RUN_SOUND : IDW_SETUP_SOUND), AppInstance,
               SND_RESOURCE | SND_ASYNC);
    if (installed) {
        SetCaptionFrom(dialog, IDS_CAPTION_INSTALLED);
        SetMenuButtons(dialog, true);
        GameInstalled = 1;
    } else {
        GameInstalled = 0;
        BusyCount = 0;
        SetCaptionFrom(dialog, IDS_CAPTION_SETUP);
        SetMenuButtons(dialog, false);
    }
}

void OpenDirectoryPage(HWND dialog) {
    for (int control : kMenuButtonsToDisable) EnableControl(dialog, control, FALSE);
    ShowControl(dialog, IDC_STATUS, SW_SHOW);
    SavedGameInstalled = GameInstalled;
    GameInstalled = 0;
    const bool recorded = ReadWorkDirectory();
    SetDlgItemTextA(dialog, IDC_NEXT, "Next >");
    for (int control : kDirectoryPageControls) ShowControl(dialog, control, SW_SHOW);
    EnableControl(dialog, IDC_BACK, FALSE);
    EnableControl(dialog, IDC_CANCEL, TRUE);
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

// Enter on the menu sends this command too, since button 1 is the dialog's default button there,
// hidden; only the directory page and the finish page, which show the button, act on it.
void OnNext(HWND dialog, int notification) {
    if (BusyCount > 0) return;
    if (!IsWindowVisible(GetDlgItem(dialog, IDC_NEXT))) return;
    if (GameInstalled == 1) {
        FinishWizard(dialog);
        return;
    }
    if (GameInstalled != 0 || notification != BN_CLICKED) return;
    InstallChain(dialog);
}

// The menu has no Cancel button, yet the window's close box and the Escape key send this command
// too; on the menu they leave the program as Exit does, rather than restore a menu mode that
// would disable Play and Uninstall and keep the window from closing.
void OnCancel(HWND dialog, int notification) {
    if (BusyCount != 0 || notification != BN_CLICKED) return;
    if (!IsWindowVisible(GetDlgItem(dialog, IDC_NEXT))) {
        ExitWizard(dialog);
        return;
    }
    GameInstalled = SavedGameInstalled;
    for (int control : kWizardControlsToHide) ShowControl(dialog, control, SW_HIDE);
    SetMenuButtons(dialog, SavedGameInstalled != 0);
}

void OnMenuCommand(HWND dialog, int control, int notification) {
    if (control < kFirstTableId || control >= kFirstTableId + kTableIds) return;
    if (notification != BN_CLICKED) return;
    switch (kCommands.action[control - kFirstTableId]) {
        case kInstallAction: OpenDirectoryPage(dialog); break;
        case kReadmeAction: OpenReadme(dialog); break;
        case kExitAction: ExitWizard(dialog); break;
        case kPlayAction: PlayGame(dialog); break;
        case kUninstallAction: RunUninstall(dialog); break;
        default: break;
    }
}

void OnCommand(HWND dialog, int control, int notification) {
    switch (control) {
        case IDC_NEXT: OnNext(dialog, notification); break;
        case IDC_CANCEL: OnCancel(dialog, notification); break;
        case IDC_BROWSE:
            if (notification == BN_CLICKED) BrowseForDirectory(dialog);
            break;
        default: OnMenuCommand(dialog, control, notification); break;
    }
}

}  // namespace

INT_PTR CALLBACK MasterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_SETCURSOR: return OnSetCursor();
        case WM_INITDIALOG: OnInitDialog(dialog); return FALSE;
        case WM_COMMAND: OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return FALSE;
        default: return FALSE;
    }
}
