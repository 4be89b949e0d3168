#include "shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

bool ReadShortcutTarget(const char* file, char* target, int capacity) {
    if (capacity <= 0) return false;
    target[0] = '\0';
    WCHAR wideFile[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, file, -1, wideFile, MAX_PATH) == 0) return false;
    // The link object lives in the shell's library, which the system loads through COM.
    const HRESULT initialized = CoInitialize(nullptr);
    bool read = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            // The stored path as it stands: resolving a moved target would search the disks and
            // may ask the user.
            WIN32_FIND_DATAA found;
            read = SUCCEEDED(persist->Load(wideFile, STGM_READ)) &&
                   link->GetPath(target, capacity, &found, 0) == S_OK && target[0] != '\0';
            persist->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(initialized)) CoUninitialize();
    if (!read) target[0] = '\0';
    return read;
}
