// The system's libraries that Windows 95 and NT 4 do not count among their known DLLs. For an
// imported library of that kind the systems look in the program's own folder first: the folder a
// medium was copied or downloaded to, or the install folder beside the installed copy, which an
// administrator starts to remove the game and other users may be able to write to. So these are
// never imported: they are loaded by their full path in the system folder when first needed.
#ifndef QUORVANE_SYSTEM_LIBRARIES_H
#define QUORVANE_SYSTEM_LIBRARIES_H

#include <windows.h>

constexpr char kSoundLibrary[] = "winmm.dll";
constexpr char kComLibrary[] = "ole32.dll";

// The system folder's library `name`, loaded by its full path, or null. Nobody frees it: the
// process's end releases it.
HMODULE LoadSystemLibrary(const char* name);

// The function `function` of the system folder's library `name`, or null when either is missing.
template <typename Function>
Function FindSystemFunction(const char* name, const char* function) {
    HMODULE library = LoadSystemLibrary(name);
    if (library == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, function)));
}

// Where the system can (today's Windows), the libraries that system libraries load by name later
// come from the system folder alone, never from the program's own.
void KeepLibrarySearchInSystemFolder();

#endif
