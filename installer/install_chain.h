// The install sequence: everything Next does on the directory page, run to its end inside that
// one command.
#ifndef QUORVANE_INSTALL_CHAIN_H
#define QUORVANE_INSTALL_CHAIN_H

#include <windows.h>

// The longest destination the sequence accepts: every copy path (the longest entry has 25
// characters) then fits a 260-character buffer with its two NULs.
constexpr int kLongestDestination = 232;

void InstallChain(HWND dialog);
// Copies one manifest entry from ModuleDirectory to InstallDirectory, asking Retry or Cancel
// for as long as the copy fails.
void CopyManifestFile(HWND dialog, const char* entry);

#endif
