// What the status spy records beside the texts of the status line (1009) and the uninstall text
// field (1052), each under a number of its own in place of a control id.
#ifndef QUORVANE_TESTS_SPY_RECORDS_H
#define QUORVANE_TESTS_SPY_RECORDS_H

namespace spy {

// Once, as the spy comes into the setup program: the file of its sound library, winmm.dll, or an
// empty text when it has none loaded.
constexpr int kSoundLibraryRecord = 1;
// Each delete that the shell's file operation failed and was not told to keep quiet about
// (FOF_NOERRORUI): Windows 95 and NT 4 answer each with an error box, Wine with none. The text is
// the name asked for.
constexpr int kShellErrorBoxRecord = 2;

}  // namespace spy

#endif
