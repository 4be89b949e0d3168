// How the DOS side of Windows 95 and NT 4 reads what the interpreter and the decoder are handed.
// The stand-ins are Win32 console programs, which the system would forgive much more: they apply
// these rules themselves, so that a batch line or a name that fails there fails here too.
#ifndef QUORVANE_TOOLS_DOS_NAMES_H
#define QUORVANE_TOOLS_DOS_NAMES_H

#include <string>

// COMMAND.COM reads at most this many bytes of a batch line and drops the rest unread.
constexpr size_t kDosBatchLineBytes = 127;
// The command tail of a DOS program, the blank after the program's name included.
constexpr size_t kDosCommandTailBytes = 126;

// Whether every part of `path` (after a drive "X:") is a DOS name: 1 to 8 characters, then at
// most one full stop and 1 to 3 more, none of them a blank or a sign that DOS forbids in a name.
// "." and ".." name folders as they are. This is all the old DOS file calls open: the decoder's
// DOS extender knows no other calls, and NT 4's DOS machine offers no others to any program.
bool IsDosPath(const std::string& path);

// Whether the system reports the Windows 95 platform, whose DOS side has long-name calls for the
// programs that make them (its COMMAND.COM does). Wine answers per program file.
bool OnWindows95();

#endif
