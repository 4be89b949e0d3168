#include "dialog_utils.h"

#include "resource_ids.h"
#include "state.h"

static void SetControlImage(HWND dialog, int control, UINT message, const char* name, int width,
                            int height) {
    HWND window = GetDlgItem(dialog, control);
    if (window == nullptr) return;
    HANDLE image = LoadImageA(AppInstance, name, IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION);
    if (image == nullptr) return;
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
        SendMessageA(window, message, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image)));
    if (previous != nullptr) DeleteObject(previous);
}

void SetStaticBitmap(HWND dialog, int control, const char* name, int width, int height) {
    SetControlImage(dialog, control, STM_SETIMAGE, name, width, height);
}

void SetButtonBitmap(HWND dialog, int control, const char* name, int width, int height) {
    SetControlImage(dialog, control, BM_SETIMAGE, name, width, height);
}

// The status line takes the first kStatusChars of whatever the format and its arguments make.
static void SetStatus(HWND dialog, int control, const char* format, va_list arguments) {
    char text[kFormattedChars];
    wvsprintfA(text, format, arguments);
    text[kStatusChars] = '\0';
    SetDlgItemTextA(dialog, control, text);
}

void SetWizardStatus(HWND dialog, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    SetStatus(dialog, IDC_STATUS, format, arguments);
    va_end(arguments);
}

void SetRemoveStatus(HWND dialog, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    SetStatus(dialog, IDC_REMOVE_TEXT, format, arguments);
    va_end(arguments);
}

void ShowWaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

BOOL SetCursorWhileBusy(LONG busyCount) {
    if (busyCount == 0) return FALSE;
    ShowWaitCursor();
    return TRUE;
}

void FreeIdList(LPITEMIDLIST list) {
    IMalloc* allocator = nullptr;
    SHGetMalloc(&allocator);
    if (allocator != nullptr) {
        allocator->Free(list);
        allocator->Release();
    }
}
