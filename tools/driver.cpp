// Stand-in for the demo's driver libraries (the 3D accelerator and 3D sound drivers): a real,
// loadable library that does nothing. It links without any runtime, so it has no imports at all
// and loads on every Windows the demo targets.
#include <windows.h>

extern "C" BOOL WINAPI DriverEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

// The one export, so a loader that probes the library finds something by name.
extern "C" __declspec(dllexport) DWORD QuorvaneDriverVersion() { return 0x0100; }
