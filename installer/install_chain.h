// The install sequence: everything Next does on the directory page, run to its end inside that
// one command.
#ifndef QUORVANE_INSTALL_CHAIN_H
#define QUORVANE_INSTALL_CHAIN_H

#include <windows.h>

#include "manifest.h"

// The longest destination the sequence accepts: every path of an installed file, the directory, a
// separator and the manifest's longest entry, then fits a 260-character buffer with its two NULs.
constexpr int kLongestDestination = MAX_PATH - 2 - 1 - kLongestEntryChars;

// What became of an install: refused before anything was written, the destination being one
// that cannot be made or holds no install, or run to its end.
enum InstallOutcome { kInstallRefused, kInstallFinished };
// A change of the wizard's page at a step of the sequence.
typedef void (*InstallStep)(HWND dialog);

// Installs into the directory typed as `typed` (a buffer of 260 characters), which becomes
// InstallDirectory, reporting each step on the dialog's status line. The directory page's fields
// are left, by `leaveDirectoryFields`, once the Start Menu group is made.
InstallOutcome InstallChain(HWND dialog, const char* typed, InstallStep leaveDirectoryFields);
// Makes the destination as typed (a buffer of 260 characters) a full path; a drive named alone
// is its root. False, with nothing to install into, for a blank text or one that cannot be made
// full.
bool MakeDestinationFull(char* directory);
// Copies one manifest entry from ModuleDirectory to InstallDirectory, asking Retry or Cancel
// for as long as the copy fails.
void CopyManifestFile(HWND dialog, const char* entry);

#endif
