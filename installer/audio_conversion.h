// The conversion of the demo's MP3 files into WAV files by the outside decoder, run through the
// command interpreter as a batch file.
#ifndef QUORVANE_AUDIO_CONVERSION_H
#define QUORVANE_AUDIO_CONVERSION_H

#include <windows.h>

// The interpreter, COMMAND.COM on both systems, reads no more than this many bytes of a batch
// line before its CR LF and cuts the rest before it reads the line.
constexpr int kBatchLineLimit = 127;
// A line at that limit with its CR LF and a NUL.
constexpr int kBatchLineChars = kBatchLineLimit + 3;

// Where a line of mp3.bat names the decoder: in the source directory, or by its file name alone,
// which the interpreter finds in its working directory, the install directory.
enum class DecoderPlace { kSourceDirectory, kWorkingDirectory };

// One line of mp3.bat for `mp3Entry` below `sourceDirectory` (ANSI text), in the OEM code page
// that the interpreter reads, CR LF included. False when the interpreter would cut it or it does
// not fit `capacity`.
bool ComposeBatchLine(char* line, int capacity, const char* sourceDirectory, const char* mp3Entry,
                      DecoderPlace decoder = DecoderPlace::kSourceDirectory);

// Writes mp3.bat, whose lines convert the MP3 files of the folder `medium`, into the install
// directory `installPath` and starts it there; go32.exe is copied from the medium first unless the
// install is `inPlace`, in the medium's own folder, and so is l3dec.exe when the lines name it
// there. Returns the interpreter's process, or null.
HANDLE StartAudioConversion(HWND dialog, const char* medium, const char* installPath, bool inPlace);
// Shows the wait text with a growing row of dots until the process has ended.
void WaitForAudioConversion(HWND dialog, HANDLE process);

// One poll's change of the wait text (a buffer of kTextChars) whose text without dots is
// `bareLength` characters long: one more dot, or the bare text again when one more dot would
// not fit the status line.
void AdvanceWaitText(char* waitText, int bareLength);

#endif
