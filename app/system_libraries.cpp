#include "system_libraries.h"

#include "paths.h"
#include "state.h"

namespace {

constexpr char kKernelLibrary[] = "kernel32.dll";
// Windows 95 and NT 4 do not have it; found by name, it keeps the program's imports within theirs.
constexpr char kSetDefaultDllDirectories[] = "SetDefaultDllDirectories";
// LOAD_LIBRARY_SEARCH_SYSTEM32, which the headers for Windows 4.0 do not define.
constexpr DWORD kSearchSystemFolder = 0x00000800;

typedef BOOL(WINAPI* SetDefaultDllDirectoriesProc)(DWORD flags);

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
    char path[kPathChars];
    const UINT length = GetSystemDirectoryA(path, kPathChars);
    if (length == 0 || length >= static_cast<UINT>(kPathChars)) return nullptr;
    if (!AppendPathComponent(path, kPathChars, name)) return nullptr;
    return LoadLibraryA(path);
}

void KeepLibrarySearchInSystemFolder() {
    HMODULE kernel = GetModuleHandleA(kKernelLibrary);
    if (kernel == nullptr) return;
    const auto restrict = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(kernel, kSetDefaultDllDirectories)));
    if (restrict != nullptr) restrict(kSearchSystemFolder);
}
