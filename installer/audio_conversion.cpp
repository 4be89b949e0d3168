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
// The decoder asks before it replaces a WAV file of an earlier install; the answer keeps it.
constexpr char kAnswerNo[] = "echo n|";
constexpr char kQuote[] = "\"";
constexpr char kBlank[] = " ";
constexpr char kWaveSwitchAndLineEnd[] = " -wav\r\n";
// The interpreter's program file: Windows 95 and NT 4 keep it as command.com; a system that has
// it as command.exe is served too. The first name found is taken.
constexpr const char* kInterpreterFiles[] = {"command.com", "command.exe"};
constexpr char kInterpreterParameters[] = "/C mp3.bat";
constexpr char kProgressDot[] = ".";
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

// The directory and a name below it, joined as every path of the program is joined.
void AppendJoinedPath(BatchLine& line, const char* directory, const char* name) {
    const int start = line.length;
    AppendText(line, directory);
    if (!line.fits) return;
    char* path = line.text + start;
    if (!AppendPathComponent(path, line.capacity - start, name)) {
        line.fits = false;
        return;
    }
    line.length = start + lstrlenA(path);
}

// The interpreter splits a line at blanks, so a path with blanks is quoted.
void AppendCommandPath(BatchLine& line, const char* directory, const char* name, bool quoted) {
    if (quoted) AppendText(line, kQuote);
    AppendJoinedPath(line, directory, name);
    if (quoted) AppendText(line, kQuote);
}

void CopyExtender(HWND dialog, const char* installPath) {
    char source[kPathChars];
    char target[kPathChars];
    lstrcpynA(source, ModuleDirectory, kPathChars);
    lstrcpynA(target, installPath, kPathChars);
    if (!AppendPathComponent(source, kPathChars, kExtenderName)) return;
    if (!AppendPathComponent(target, kPathChars, kExtenderName)) return;
    ShellCopyFile(dialog, source, target);
}

void WriteBatchLines(HFILE batch) {
    char line[kBatchLineChars];
    for (const FileGroup& group : kConvertedGroups) {
        for (int i = 0; i < group.count; ++i) {
            if (!ComposeBatchLine(line, kBatchLineChars, ModuleDirectory, group[i])) continue;
            // The interpreter reads a batch file in the OEM code page: a source directory with a
            // letter above 0x7F ("Größe") written in ANSI would name files that do not exist.
            const DWORD length = static_cast<DWORD>(lstrlenA(line));
            CharToOemBuffA(line, line, length);
            _lwrite(batch, line, length);
        }
    }
}

// Created by its bare name in the current directory, which is the install directory by now. A
// batch file that cannot be created is not written; the interpreter is started all the same.
void WriteBatchFile() {
    const HFILE batch = _lcreat(kBatchFileName, 0);
    if (batch == HFILE_ERROR) return;
    WriteBatchLines(batch);
    _lclose(batch);
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

bool ComposeBatchLine(char* line, int capacity, const char* sourceDirectory, const char* mp3Entry) {
    if (capacity <= 0) return false;
    line[0] = '\0';
    char convertedName[kPathChars];
    if (!MakeConvertedName(convertedName, kPathChars, mp3Entry)) return false;
    const bool quoted = ContainsBlank(sourceDirectory);
    BatchLine batchLine{line, capacity, 0, true};
    AppendText(batchLine, kAnswerNo);
    AppendCommandPath(batchLine, sourceDirectory, kDecoderName, quoted);
    AppendText(batchLine, kBlank);
    AppendCommandPath(batchLine, sourceDirectory, mp3Entry, quoted);
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
// same directory as the batch file that is written into the current directory.
HANDLE StartAudioConversion(HWND dialog) {
    SetCurrentDirectoryA(InstallDirectory);
    if (lstrcmpiA(InstallDirectory, ModuleDirectory) != 0) CopyExtender(dialog, InstallDirectory);
    WriteBatchFile();
    return StartBatchFile(dialog, InstallDirectory);
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
