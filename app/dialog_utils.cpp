#include "dialog_utils.h"

#include "resource_ids.h"
#include "state.h"

// The last character, not the last byte: in a double-byte code page (932) the second byte of a
// character such as "\x95\x5C" equals '\', and that character is no separator.
static bool EndsInSeparator(const char* path, int length) {
    const char* last = CharPrevA(path, path + length);
    return *last == '\\' || *last == '/';
}

bool AppendPathComponent(char* path, int capacity, const char* component) {
    const int length = lstrlenA(path);
    const bool needsSeparator = length > 0 && !EndsInSeparator(path, length);
    const int joined = length + (needsSeparator ? 1 : 0) + lstrlenA(component);
    // The joined text, its NUL and the list's second NUL.
    if (joined + 2 > capacity) {
        if (length + 1 < capacity) path[length + 1] = '\0';
        return false;
    }
    if (needsSeparator) lstrcatA(path, "\\");
    lstrcatA(path, component);
    path[joined + 1] = '\0';
    return true;
}

bool ContainsBlank(const char* text) {
    for (; *text != '\0'; ++text) {
        if (*text == ' ') return true;
    }
    return false;
}

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

// wvsprintfA never writes more than 1024 characters, so this buffer holds whatever a format and
// its arguments produce; the status line then takes the first kStatusChars of it.
static void SetStatus(HWND dialog, int control, const char* format, va_list arguments) {
    char text[1024];
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

void FreeIdList(LPITEMIDLIST list) {
    IMalloc* allocator = nullptr;
    SHGetMalloc(&allocator);
    if (allocator != nullptr) {
        allocator->Free(list);
        allocator->Release();
    }
}
