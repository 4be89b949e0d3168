// Names of every resource, control and string of the setup program. Included by the resource
// script and by the code, so the two can never disagree about a number.
#ifndef QUORVANE_RESOURCE_IDS_H
#define QUORVANE_RESOURCE_IDS_H

// Dialog templates, bitmaps and the icon group are named resources.
#define DLG_MASTER_NAME   "DLG_MASTER"
#define DLG_REMOVE_NAME   "DLG_REMOVE"

// Sounds are resources of the custom type "WAVE", by number.
#define WAVE_TYPE_NAME    "WAVE"
#define IDW_SETUP_SOUND   1019
#define IDW_RUN_SOUND     1022

// Controls of DLG_MASTER.
#define IDC_NEXT          1      // IDOK: "Next >", later "&Finish"
#define IDC_CANCEL        2      // IDCANCEL
#define IDC_DIRECTORY     1000   // edit: destination directory
#define IDC_DIR_LABEL     1001   // "Game Directory:"
#define IDC_PICTURE       1002   // background picture
#define IDC_REBOOT_NOTE   1003   // restart note, never shown
#define IDC_DRIVER_NOTE   1004   // restart note, never shown
#define IDC_WILL_INSTALL  1005   // "Setup will now install Quorvane"
#define IDC_MODIFY_NOTE   1006   // "Modify or accept the destination directory below."
#define IDC_BACK          1008   // "< &Back", never enabled
#define IDC_STATUS        1009   // wizard status line
#define IDC_SUCCESS       1010   // "Quorvane Installed Succesfully."
#define IDC_BROWSE        1011   // "Browse..."
#define IDC_INSTALL       1012   // menu: Install
#define IDC_DIRECTX       1013   // menu: DirectX, always disabled
#define IDC_README        1015   // menu: Read Me
#define IDC_EXIT          1018   // menu: Exit
#define IDC_PLAY          1050   // menu: Play
#define IDC_UNINSTALL     1051   // menu: Uninstall

// Controls of DLG_REMOVE.
#define IDC_REMOVE_TEXT   1052
#define IDC_REMOVE_OK     1053
#define IDC_REMOVE_CANCEL 1054

// The string table.
#define IDS_DEFAULT_DIR        100
#define IDS_CAPTION_SETUP      101
#define IDS_GROUP_NAME         102
#define IDS_GAME_ITEM          103
#define IDS_DECOMPRESSING      104
#define IDS_FINISH             116
#define IDS_REBOOT_BUTTON      117
#define IDS_PICTURE_NAME       118
#define IDS_REBOOT_VERB        119
#define IDS_CREATING_DIR       120
#define IDS_CHECKING_SPACE     121
#define IDS_INSTALLING_DX      122
#define IDS_DX_FAILED          123
#define IDS_COPYING_FILES      124
#define IDS_COPYING_FILE       125
#define IDS_COPY_FAILED        126
#define IDS_CREATING_GROUP     127
#define IDS_DX_TOO_OLD         128
#define IDS_MENU_BUTTON_FACE   129
#define IDS_SETUP_SOUND_NAME   1019
#define IDS_PLAY_BUTTON_FACE   1020
#define IDS_REMOVE_BUTTON_FACE 1021
#define IDS_RUN_SOUND_NAME     1022
#define IDS_CAPTION_INSTALLED  1023
#define IDS_MOVIE_NAME         1024
#define IDS_UNINSTALL_ITEM     1025
#define IDS_REMOVE_PROMPT      1026
#define IDS_REMOVING_FILE      1027
#define IDS_REMOVING_KEY       1028
#define IDS_REMOVAL_DONE       1029
#define IDS_REMOVING_SHORTCUTS 1030
#define IDS_WAIT_AUDIO         1031

#endif
