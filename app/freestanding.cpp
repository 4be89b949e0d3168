// What the shipped program has instead of a C runtime: its entry point and the two memory
// routines that the compiler may call for structure copies and zeroing.
#include <windows.h>

#include "command_line.h"

extern "C" void* memset(void* destination, int value, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(destination);
    while (count-- > 0) *out++ = static_cast<unsigned char>(value);
    return destination;
}

extern "C" void* memcpy(void* destination, const void* source, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(destination);
    const unsigned char* in = static_cast<const unsigned char*>(source);
    while (count-- > 0) *out++ = *in++;
    return destination;
}

extern "C" void WinMainCRTStartup() {
    const char* arguments = SkipProgramName(GetCommandLineA());
    ExitProcess(static_cast<UINT>(
        WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(arguments), SW_SHOWDEFAULT)));
}
