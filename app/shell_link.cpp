#include "shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "system_libraries.h"

namespace {

typedef HRESULT(WINAPI* CoInitializeProc)(LPVOID reserved);
typedef void(WINAPI* CoUninitializeProc)();
typedef HRESULT(WINAPI* CoCreateInstanceProc)(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID requested,
                                              LPVOID* object);

// The stored path as it stands: resolving a moved target would search the disks and may ask the
// user.
bool LoadLinkTarget(IShellLinkA* link, const WCHAR* file, char* target, int capacity) {
    IPersistFile* persist = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) return false;
    WIN32_FIND_DATAA found;
    const bool read = SUCCEEDED(persist->Load(file, STGM_READ)) &&
                      link->GetPath(target, capacity, &found, 0) == S_OK && target[0] != '\0';
    persist->Release();
    return read;
}

}  // namespace

bool ReadShortcutTarget(const char* file, char* target, int capacity) {
    if (capacity <= 0) return false;
    target[0] = '\0';
    WCHAR wideFile[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, file, -1, wideFile, MAX_PATH) == 0) return false;
    // The link object lives in the shell's library, which the system loads through COM.
    const auto initialize = FindSystemFunction<CoInitializeProc>(kComLibrary, "CoInitialize");
    const auto uninitialize = FindSystemFunction<CoUninitializeProc>(kComLibrary, "CoUninitialize");
    const auto create = FindSystemFunction<CoCreateInstanceProc>(kComLibrary, "CoCreateInstance");
    if (initialize == nullptr || uninitialize == nullptr || create == nullptr) return false;
    const HRESULT initialized = initialize(nullptr);
    bool read = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link)))) {
        read = LoadLinkTarget(link, wideFile, target, capacity);
        link->Release();
    }
    if (SUCCEEDED(initialized)) uninitialize();
    if (!read) target[0] = '\0';
    return read;
}
