// The install manifest: the demo's files by their path relative to the source and the install
// directory. Fixed when the program is built. Plain C++ without Windows headers, so the build
// machine's medium generator reads the same lists.
#ifndef QUORVANE_MANIFEST_H
#define QUORVANE_MANIFEST_H

// Each list ends with a null pointer.
extern const char* const CoreFileList[];
extern const char* const DataFileList[];
extern const char* const WaveFileList[];
extern const char* const ExtraFileList[];

// A fixed range of one list. Every user walks a group by its count, never to the null pointer.
struct FileGroup {
    const char* const* list;
    int first;
    int count;
    const char* operator[](int index) const { return list[first + index]; }
};

constexpr FileGroup RootFiles{CoreFileList, 0, 10};
constexpr FileGroup EngineResFiles{CoreFileList, 10, 15};
constexpr FileGroup ResFiles{DataFileList, 0, 24};
constexpr FileGroup BitmapFiles{DataFileList, 24, 82};
constexpr FileGroup SfxMp3Files{DataFileList, 106, 81};
constexpr FileGroup SfxWavFiles{WaveFileList, 0, 7};
constexpr FileGroup MusicMp3Files{ExtraFileList, 0, 2};
constexpr FileGroup ReadmeFile{ExtraFileList, 2, 1};

// Entries with a role of their own.
constexpr int kGameProgramEntry = 0;   // CoreFileList: "quor.exe"
constexpr int kSetupProgramEntry = 1;  // CoreFileList: "setup.exe"

// The groups the install copies, in the order it copies them (139 files).
constexpr FileGroup kCopyGroups[] = {RootFiles, EngineResFiles, ResFiles,
                                     ReadmeFile, BitmapFiles, SfxWavFiles};
// The groups the audio conversion turns into WAV files, in batch order (83 files).
constexpr FileGroup kConvertedGroups[] = {SfxMp3Files, MusicMp3Files};

// The longest entry of every list, in characters ("bitmaps\letter-dollar.bmp"); a converted name is
// as long as its MP3 entry. The lists are checked against it when the program is built.
constexpr int kLongestEntryChars = 25;

// Length of an MP3 entry's stem: the entry less its last three characters ("mp3"), so the stem
// ends in the full stop.
int ConvertedStemLength(const char* mp3Entry);

// The WAV name of an MP3 entry: the stem followed by "wav". False, with `out` empty, when it does
// not fit `capacity` characters with its NUL.
bool MakeConvertedName(char* out, int capacity, const char* mp3Entry);

#endif
