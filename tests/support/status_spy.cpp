// A hook procedure that the tests place into the setup program's dialog thread. It appends every
// text set on the wizard's status line or the uninstall dialog's text field to a log file, in
// order, as it happens, with the time: texts that stay up for a few milliseconds only are not
// missed. Come into a setup program, it also records what Windows would show there and Wine does
// not (spy_records.h).
#include <windows.h>
#include <shellapi.h>

#include "resource_ids.h"
#include "spy_records.h"

namespace {
constexpr char kLogName[] = "quorvane-status.log";
constexpr char kSetupProgram[] = "\\setup.exe";
constexpr char kShellLibrary[] = "shell32.dll";
constexpr char kFileOperation[] = "SHFileOperationA";
constexpr char kSoundLibrary[] = "winmm.dll";

void AppendToLog(int control, const char* text) {
    char path[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH - 32);
    if (length == 0 || length >= MAX_PATH - 32) return;
    lstrcatA(path, "\\temp\\");
    lstrcatA(path, kLogName);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    char line[2048];
    // The time stamp lets a run be profiled: how long each status text stayed up.
    const int size = wsprintfA(line, "%lu\t%d\t%.2000s\n", GetTickCount(), control, text);
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
}

typedef int(WINAPI* FileOperationProc)(LPSHFILEOPSTRUCTA request);
FileOperationProc RealFileOperation;

// Windows answers a failed delete with a box of its own unless asked not to.
int WINAPI FileOperationThatCountsBoxes(LPSHFILEOPSTRUCTA request) {
    const int result = RealFileOperation(request);
    if (result != 0 && request->wFunc == FO_DELETE && (request->fFlags & FOF_NOERRORUI) == 0) {
        AppendToLog(spy::kShellErrorBoxRecord, request->pFrom);
    }
    return result;
}

// Puts `replacement` in the import table of `module` where it calls `function` of `library`, and
// keeps what was there in `original`.
template <typename Procedure>
void ReplaceImport(HMODULE module, const char* library, const char* function, Procedure replacement,
                   Procedure* original) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); import->Name != 0;
         ++import) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), library) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
            DWORD protection = 0;
            if (!VirtualProtect(&addresses->u1.Function, sizeof(addresses->u1.Function), PAGE_READWRITE, &protection)) return;
            *original = reinterpret_cast<Procedure>(addresses->u1.Function);
            addresses->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&addresses->u1.Function, sizeof(addresses->u1.Function), protection, &protection);
        }
    }
}

bool InSetupProgram() {
    char path[MAX_PATH] = {};
    const int length = static_cast<int>(GetModuleFileNameA(nullptr, path, MAX_PATH));
    const int suffix = lstrlenA(kSetupProgram);
    return length > suffix && length < MAX_PATH && lstrcmpiA(path + length - suffix, kSetupProgram) == 0;
}

void RecordSoundLibrary() {
    char path[MAX_PATH] = {};
    HMODULE sound = GetModuleHandleA(kSoundLibrary);
    if (sound != nullptr && GetModuleFileNameA(sound, path, MAX_PATH) >= MAX_PATH) path[0] = '\0';
    AppendToLog(spy::kSoundLibraryRecord, path);
}
}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH && InSetupProgram()) {
        RecordSoundLibrary();
        ReplaceImport(GetModuleHandleA(nullptr), kShellLibrary, kFileOperation, &FileOperationThatCountsBoxes,
                      &RealFileOperation);
    }
    // The program must not call into a library that has gone.
    if (reason == DLL_PROCESS_DETACH && RealFileOperation != nullptr) {
        FileOperationProc ours = nullptr;
        ReplaceImport(GetModuleHandleA(nullptr), kShellLibrary, kFileOperation, RealFileOperation, &ours);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK StatusSpyProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message->message == WM_SETTEXT && message->lParam != 0) {
            const int control = GetDlgCtrlID(message->hwnd);
            if (control == IDC_STATUS || control == IDC_REMOVE_TEXT) {
                AppendToLog(control, reinterpret_cast<const char*>(message->lParam));
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
