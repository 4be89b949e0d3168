// The install sequence: everything Next does on the directory page, run to its end inside that
// one command.
#ifndef QUORVANE_INSTALL_CHAIN_H
#define QUORVANE_INSTALL_CHAIN_H

#include <windows.h>

// The longest destination the sequence accepts: every copy path (the longest entry has 25
// characters) then fits a 260-character buffer with its two NULs.
constexpr int kLongestDestination = 232;

void InstallChain(HWND dialog);
// Makes the destination as typed (a buffer of 260 characters) a full path; a drive named alone
// is its root. False, with nothing to install into, for a blank text or one that cannot be made
// full.
bool MakeDestinationFull(char* directory);
// Copies one manifest entry from ModuleDirectory to InstallDirectory, asking Retry or Cancel
// for as long as the copy fails.
void CopyManifestFile(HWND dialog, const char* entry);

#endif
