#include "audio_conversion.h"

#include "dialog_utils.h"
#include "file_operations.h"
#include "manifest.h"
#include "paths.h"
#include "resource_ids.h"
#include "state.h"

namespace {

constexpr char kBatchFileName[] = "mp3.bat";
constexpr char kExtenderName[] = "go32.exe";
constexpr char kDecoderName[] = "l3dec";
// The decoder's file on the medium, and its name in a line that finds it in the working directory:
// COMMAND.COM looks there first, and with the extension named it runs this file and no l3dec.com
// or l3dec.bat that lies beside it.
constexpr char kDecoderFileName[] = "l3dec.exe";
// The forms of a line in the order they are tried: the first that every line fits is written.
constexpr DecoderPlace kDecoderPlaces[] = {DecoderPlace::kSourceDirectory, DecoderPlace::kWorkingDirectory};
// The decoder asks before it replaces a WAV file of an earlier install; the answer keeps it.
constexpr char kAnswerNo[] = "echo n|";
constexpr char kQuote[] = "\"";
constexpr char kPercent[] = "%";
constexpr char kBlank[] = " ";
constexpr char kWaveSwitchAndLineEnd[] = " -wav\r\n";
// The interpreter's program file: Windows 95 and NT 4 keep it as command.com; a system that has
// it as command.exe is served too. The first name found is taken.
constexpr const char* kInterpreterFiles[] = {"command.com", "command.exe"};
constexpr char kInterpreterParameters[] = "/C mp3.bat";
constexpr char kProgressDot[] = ".";
// Outside quotes an interpreter splits a line at a blank, ends a command at "&" or "|", redirects
// at "<" and ">", drops "^" as an escape, and reads "(", ")", ",", ";" and "=" as its own. Inside
// quotes all of them are plain text, also to Windows 95's interpreter.
constexpr char kReadSpecially[] = " &^|<>(),;=";
constexpr DWORD kPollIntervalMs = 2000;

// A line under construction. Once a piece does not fit, the line stays unfinished.
struct BatchLine {
    char* text;
    int capacity;
    int length;
    bool fits;
};

void AppendText(BatchLine& line, const char* piece) {
    if (!line.fits) return;
    const int pieceLength = lstrlenA(piece);
    if (line.length + pieceLength + 1 > line.capacity) {
        line.fits = false;
        return;
    }
    lstrcpynA(line.text + line.length, piece, pieceLength + 1);
    line.length += pieceLength;
}

// The directory and a name below it, joined as every path of the program is joined. Every
// interpreter reads "%" in a batch line as the start of a parameter or a variable ("%20" of a
// folder "Quorvane%20Demo" as parameter 2 and a "0"), and "%%" as one "%". No double-byte
// character has 0x25 as its second byte, so each byte of that value is the sign itself. A path
// that holds a character the interpreter reads specially is quoted.
void AppendCommandPath(BatchLine& line, const char* directory, const char* name, bool quoted) {
    char path[kBatchLineChars];
    if (!JoinPath(path, kBatchLineChars, directory, name)) {
        line.fits = false;
        return;
    }
    if (quoted) AppendText(line, kQuote);
    for (const char* c = path; *c != '\0'; ++c) {
        const char piece[] = {*c, '\0'};
        if (*c == kPercent[0]) AppendText(line, kPercent);
        AppendText(line, piece);
    }
    if (quoted) AppendText(line, kQuote);
}

// The medium's file `name` from `medium` into `installPath`. True when the shell reports it copied.
bool CopyFromMedium(HWND dialog, const char* medium, const char* installPath, const char* name) {
    char source[kPathChars];
    char target[kPathChars];
    if (!JoinPath(source, kPathChars, medium, name)) return false;
    if (!JoinPath(target, kPathChars, installPath, name)) return false;
    return ShellCopyFile(dialog, source, target) == 0;
}

// Composes every line of mp3.bat below `source` and writes each into `batch`, unless that is
// HFILE_ERROR. True when every line was composed, and written, in full.
bool ComposeBatchLines(const char* source, DecoderPlace decoder, HFILE batch) {
    char line[kBatchLineChars];
    for (const FileGroup& group : kConvertedGroups) {
        for (int i = 0; i < group.count; ++i) {
            if (!ComposeBatchLine(line, kBatchLineChars, source, group[i], decoder)) return false;
            if (batch == HFILE_ERROR) continue;
            const UINT length = static_cast<UINT>(lstrlenA(line));
            if (_lwrite(batch, line, length) != length) return false;
        }
    }
    return true;
}

// Where the lines below `source` name the decoder: the first place whose every line fits. False
// when none does.
bool ChooseDecoderPlace(const char* source, DecoderPlace* decoder) {
    for (const DecoderPlace place : kDecoderPlaces) {
        if (ComposeBatchLines(source, place, HFILE_ERROR)) {
            *decoder = place;
            return true;
        }
    }
    return false;
}

// Writes mp3.bat by its bare name into the current directory, the install directory by now. An
// mp3.bat that an earlier install left read-only is ours and is replaced, as the copies replace
// theirs. True only when the file was made whole and the decoder it names is the medium's: anything
// less, and the interpreter would run whatever it found under those names, here or along its
// search path.
//
// The lines name the source directory in its short form: the decoder and its DOS extender open
// 8.3 names only, on Windows 95 as on NT 4, and the short form keeps a line within what the
// interpreter reads. A line names the directory twice while the decoder is named in it, so beyond
// a directory of 37 characters the decoder is copied beside the extender and named alone: then up
// to 71 fit. On a volume without short names the same holds of the long form. Where a line would
// still be longer, the interpreter would run it cut short, perhaps inside a program's name; where
// the decoder could not be copied, it would run whatever "l3dec.exe" lay there. Then mp3.bat is
// left empty, so that no lines of an earlier install from another source stay in it, and nothing
// is started.
bool WriteBatchFile(HWND dialog, const char* medium, const char* installPath, bool inPlace) {
    char source[kPathChars];
    DecoderPlace decoder = DecoderPlace::kSourceDirectory;
    bool runnable = MakeShortForm(source, kPathChars, medium) && ChooseDecoderPlace(source, &decoder);
    // In place the medium's own decoder lies in the working directory already.
    if (runnable && decoder == DecoderPlace::kWorkingDirectory && !inPlace) {
        runnable = CopyFromMedium(dialog, medium, installPath, kDecoderFileName);
    }
    if (IsFile(kBatchFileName)) SetFileAttributesA(kBatchFileName, FILE_ATTRIBUTE_NORMAL);
    const HFILE batch = _lcreat(kBatchFileName, 0);
    if (batch == HFILE_ERROR) return false;
    const bool written = runnable && ComposeBatchLines(source, decoder, batch);
    return _lclose(batch) != HFILE_ERROR && written;
}

// Without an interpreter in the system's folders nothing is started, and nothing is waited for.
HANDLE StartBatchFile(HWND dialog, const char* installPath) {
    char interpreter[kPathChars];
    for (const char* file : kInterpreterFiles) {
        if (FindSystemProgram(interpreter, kPathChars, file)) {
            return ShellStart(dialog, nullptr, interpreter, kInterpreterParameters, installPath, SW_SHOWNORMAL);
        }
    }
    return nullptr;
}

}  // namespace

bool ComposeBatchLine(char* line, int capacity, const char* sourceDirectory, const char* mp3Entry,
                      DecoderPlace decoder) {
    if (capacity <= 0) return false;
    line[0] = '\0';
    char convertedName[kPathChars];
    if (!MakeConvertedName(convertedName, kPathChars, mp3Entry)) return false;
    // The interpreter reads the batch file in the OEM code page. There a letter above 0x7F
    // ("Größe") has another byte, and a letter without an OEM form becomes a look-alike that may
    // be a sign the interpreter reads ("‹" becomes "<"): quotes and "%%" are decided on the bytes
    // it reads. The rest of the line is ASCII, the same in both.
    char directory[kPathChars];
    const int directoryLength = lstrlenA(sourceDirectory);
    if (directoryLength >= kPathChars) return false;
    CharToOemBuffA(sourceDirectory, directory, static_cast<DWORD>(directoryLength + 1));
    // Byte by byte: a trail byte of a double-byte character that equals one of the signs costs no
    // more than a pair of quotes, and an interpreter that does not know the code page reads the sign.
    const bool quoted = ContainsAnyOf(directory, kReadSpecially);
    BatchLine batchLine{line, capacity < kBatchLineChars ? capacity : kBatchLineChars, 0, true};
    AppendText(batchLine, kAnswerNo);
    if (decoder == DecoderPlace::kWorkingDirectory) {
        AppendText(batchLine, kDecoderFileName);
    } else {
        AppendCommandPath(batchLine, directory, kDecoderName, quoted);
    }
    AppendText(batchLine, kBlank);
    AppendCommandPath(batchLine, directory, mp3Entry, quoted);
    AppendText(batchLine, kBlank);
    AppendText(batchLine, convertedName);
    AppendText(batchLine, kWaveSwitchAndLineEnd);
    if (!batchLine.fits) {
        line[0] = '\0';
        return false;
    }
    return true;
}

// The install directory is a full path by now, so the copy and the interpreter's start name the
// same directory as the batch file that is written into the current directory. Unless this run
// made that directory current and wrote the batch file there whole, with the decoder it names in
// place, nothing is started: the install then ends without WAV files, as without an interpreter.
HANDLE StartAudioConversion(HWND dialog, const char* medium, const char* installPath, bool inPlace) {
    if (!SetCurrentDirectoryA(installPath)) return nullptr;
    if (!inPlace) CopyFromMedium(dialog, medium, installPath, kExtenderName);
    if (!WriteBatchFile(dialog, medium, installPath, inPlace)) return nullptr;
    return StartBatchFile(dialog, installPath);
}

void AdvanceWaitText(char* waitText, int bareLength) {
    if (lstrlenA(waitText) + 1 > kStatusChars) {
        if (bareLength < kTextChars) waitText[bareLength] = '\0';
        return;
    }
    lstrcatA(waitText, kProgressDot);
}

// Polls rather than blocks, and dispatches no messages meanwhile: the row of dots is the only
// sign of life the dialog gives until the interpreter has ended.
void WaitForAudioConversion(HWND dialog, HANDLE process) {
    char waitText[kTextChars];
    LoadStringA(AppInstance, IDS_WAIT_AUDIO, waitText, kTextChars);
    const int bareLength = lstrlenA(waitText);
    SetWizardStatus(dialog, "%s", waitText);
    SleepEx(0, FALSE);
    if (process == nullptr) return;
    for (;;) {
        SetWizardStatus(dialog, "%s", waitText);
        DWORD exitCode = 0;
        if (!GetExitCodeProcess(process, &exitCode) || exitCode != STILL_ACTIVE) return;
        SleepEx(kPollIntervalMs, FALSE);
        AdvanceWaitText(waitText, bareLength);
    }
}
