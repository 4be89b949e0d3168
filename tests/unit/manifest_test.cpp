// The install manifest: its lists, its groups and the converted-name rule.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "manifest.h"

namespace {

int CountToNull(const char* const* list) {
    int count = 0;
    while (list[count] != nullptr) ++count;
    return count;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

struct NamedList {
    const char* name;
    const char* const* list;
};
const NamedList kLists[] = {{"CoreFileList", CoreFileList},
                            {"DataFileList", DataFileList},
                            {"WaveFileList", WaveFileList},
                            {"ExtraFileList", ExtraFileList}};

std::vector<std::string> AllEntries() {
    std::vector<std::string> entries;
    for (const NamedList& named : kLists) {
        for (const char* const* entry = named.list; *entry != nullptr; ++entry) entries.push_back(*entry);
    }
    return entries;
}

std::vector<std::string> Entries(const FileGroup& group) {
    std::vector<std::string> entries;
    for (int i = 0; i < group.count; ++i) entries.push_back(group[i]);
    return entries;
}

struct NamedGroup {
    const char* name;
    FileGroup group;
};
const NamedGroup kGroups[] = {{"RootFiles", RootFiles},         {"EngineResFiles", EngineResFiles},
                              {"ResFiles", ResFiles},           {"BitmapFiles", BitmapFiles},
                              {"SfxMp3Files", SfxMp3Files},     {"SfxWavFiles", SfxWavFiles},
                              {"MusicMp3Files", MusicMp3Files}, {"ReadmeFile", ReadmeFile}};

std::string Converted(const char* entry, int capacity = MAX_PATH, bool* made = nullptr) {
    std::vector<char> out(capacity + 8, 'x');
    const bool result = MakeConvertedName(out.data(), capacity, entry);
    if (made != nullptr) *made = result;
    EXPECT_EQ('x', out[capacity]) << "nothing written past the capacity for " << entry;
    return std::string(out.data(), strnlen(out.data(), capacity));
}

bool IsLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

TEST(ManifestLists, The222EntriesAreDistinctAlsoWithoutRegardToCase) {
    const std::vector<std::string> entries = AllEntries();
    ASSERT_EQ(222u, entries.size());
    std::set<std::string> seen;
    for (const std::string& entry : entries) {
        EXPECT_TRUE(seen.insert(Lower(entry)).second) << entry << " appears twice";
    }
}

TEST(ManifestLists, AllEntriesAreLowerCaseRelativeBackslashPathsButTheReadme) {
    for (const std::string& entry : AllEntries()) {
        EXPECT_EQ(std::string::npos, entry.find('/')) << entry;
        EXPECT_EQ(std::string::npos, entry.find(':')) << entry << " names a drive";
        EXPECT_FALSE(entry.empty());
        if (entry == "\\docs\\README.doc") continue;
        EXPECT_EQ(Lower(entry), entry) << "not lower case";
        EXPECT_NE('\\', entry[0]) << entry << " begins with a backslash";
    }
    EXPECT_STREQ("\\docs\\README.doc", ExtraFileList[2]);
}

TEST(ManifestLists, SoundEffectNamesAreSixToEightLowerCaseHexDigitsWithoutLeadingZero) {
    for (const FileGroup& group : {SfxMp3Files, SfxWavFiles}) {
        const std::string extension = group.list == WaveFileList ? ".wav" : ".mp3";
        for (const std::string& entry : Entries(group)) {
            ASSERT_GT(entry.size(), 8u) << entry;
            EXPECT_EQ("sfx\\", entry.substr(0, 4)) << entry;
            EXPECT_EQ(extension, entry.substr(entry.size() - 4)) << entry;
            const std::string digits = entry.substr(4, entry.size() - 8);
            EXPECT_GE(digits.size(), 6u) << entry;
            EXPECT_LE(digits.size(), 8u) << entry;
            for (char c : digits) EXPECT_TRUE(IsLowerHex(c)) << entry;
            EXPECT_NE('0', digits[0]) << entry << " has a leading zero";
        }
    }
}

TEST(ManifestGroups, TheGroupsCoverEveryListWithoutGapOrOverlap) {
    for (const NamedList& named : kLists) {
        std::vector<int> uses(CountToNull(named.list), 0);
        for (const NamedGroup& g : kGroups) {
            if (g.group.list != named.list) continue;
            for (int i = 0; i < g.group.count; ++i) {
                ASSERT_LT(g.group.first + i, static_cast<int>(uses.size())) << g.name << " runs past " << named.name;
                ++uses[g.group.first + i];
            }
        }
        for (size_t i = 0; i < uses.size(); ++i) {
            EXPECT_EQ(1, uses[i]) << named.name << " entry " << i << " (" << named.list[i] << ") in groups";
        }
    }
}

// Each group by the demo's own description of it: its size and the names that open and close it.
// With the groups covering their lists without gap or overlap (above), this fixes every range.
TEST(ManifestGroups, EachGroupHoldsItsFilesFromTheFirstToTheLast) {
    const struct {
        FileGroup group;
        int count;
        const char* first;
        const char* last;
    } expected[] = {
        {RootFiles, 10, "quor.exe", "fxmemmap.vxd"},
        {EngineResFiles, 15, "kq_res\\bground.tga", "kq_res\\upicon.pcx"},
        {ResFiles, 24, "res\\backward.bmp", "res\\songs.res"},
        {BitmapFiles, 82, "bitmaps\\camera.bmp", "bitmaps\\title_screen.tga"},
        {SfxMp3Files, 81, "sfx\\8acc3863.mp3", "sfx\\825507c.mp3"},
        {SfxWavFiles, 7, "sfx\\16008c44.wav", "sfx\\b4e51ba6.wav"},
        {MusicMp3Files, 2, "score.mp3", "level.mp3"},
        {ReadmeFile, 1, "\\docs\\README.doc", "\\docs\\README.doc"},
    };
    for (size_t i = 0; i < sizeof(expected) / sizeof(expected[0]); ++i) {
        const FileGroup& group = expected[i].group;
        ASSERT_EQ(expected[i].count, group.count) << kGroups[i].name;
        EXPECT_STREQ(expected[i].first, group[0]) << kGroups[i].name;
        EXPECT_STREQ(expected[i].last, group[group.count - 1]) << kGroups[i].name;
    }
}

TEST(ManifestGroups, EachFolderGroupStaysInItsFolder) {
    const struct {
        FileGroup group;
        const char* folder;
    } expected[] = {{EngineResFiles, "kq_res\\"}, {ResFiles, "res\\"}, {BitmapFiles, "bitmaps\\"},
                    {SfxMp3Files, "sfx\\"},       {SfxWavFiles, "sfx\\"}};
    for (const auto& e : expected) {
        for (const std::string& entry : Entries(e.group)) EXPECT_EQ(0u, entry.find(e.folder)) << entry;
    }
    for (const std::string& entry : Entries(RootFiles)) {
        EXPECT_EQ(std::string::npos, entry.find('\\')) << entry << " lies in the directory root";
    }
}

TEST(ManifestGroups, EntriesWithARoleOfTheirOwn) {
    EXPECT_STREQ("quor.exe", CoreFileList[kGameProgramEntry]);
    EXPECT_STREQ("setup.exe", CoreFileList[kSetupProgramEntry]);
}

// The install copies the groups in this order, each opened by its first file, and converts the
// sound effects before the music.
TEST(ManifestGroups, TheInstallCopies139FilesAndConverts83InTheirOrder) {
    std::vector<std::string> copied, converted;
    int copiedCount = 0, convertedCount = 0;
    for (const FileGroup& group : kCopyGroups) {
        copied.push_back(group[0]);
        copiedCount += group.count;
    }
    for (const FileGroup& group : kConvertedGroups) {
        converted.push_back(group[0]);
        convertedCount += group.count;
    }
    EXPECT_EQ(139, copiedCount);
    EXPECT_EQ(83, convertedCount);
    EXPECT_EQ((std::vector<std::string>{"quor.exe", "kq_res\\bground.tga", "res\\backward.bmp", "\\docs\\README.doc",
                                        "bitmaps\\camera.bmp", "sfx\\16008c44.wav"}),
              copied);
    EXPECT_EQ((std::vector<std::string>{"sfx\\8acc3863.mp3", "score.mp3"}), converted);

    std::set<std::string> handled;
    for (const FileGroup& group : kCopyGroups) for (const std::string& e : Entries(group)) handled.insert(e);
    for (const FileGroup& group : kConvertedGroups) for (const std::string& e : Entries(group)) handled.insert(e);
    EXPECT_EQ(222u, handled.size()) << "every entry is either copied or converted";
    for (const FileGroup& group : kConvertedGroups) {
        for (const std::string& entry : Entries(group)) {
            EXPECT_EQ(".mp3", entry.substr(entry.size() - 4)) << entry << " is converted";
        }
    }
}

TEST(ConvertedName, ReplacesTheLastThreeCharactersWithWav) {
    EXPECT_EQ("sfx\\8acc3863.wav", Converted("sfx\\8acc3863.mp3"));
    EXPECT_EQ("sfx\\c897eb.wav", Converted("sfx\\c897eb.mp3"));
    EXPECT_EQ("score.wav", Converted("score.mp3"));
    EXPECT_EQ(13, ConvertedStemLength("sfx\\8acc3863.mp3")) << "the stem ends in the full stop";
    EXPECT_EQ(11, ConvertedStemLength("sfx\\c897eb.mp3"));
    EXPECT_EQ(6, ConvertedStemLength("score.mp3"));
}

TEST(ConvertedName, RefusesABufferTooSmallAndLeavesItEmpty) {
    bool made = false;
    EXPECT_EQ("score.wav", Converted("score.mp3", 10, &made)) << "9 characters and the NUL";
    EXPECT_TRUE(made);
    EXPECT_EQ("", Converted("score.mp3", 9, &made));
    EXPECT_FALSE(made);
    EXPECT_EQ("", Converted("sfx\\8acc3863.mp3", 16, &made));
    EXPECT_FALSE(made);
    std::vector<char> none(4, 'x');
    EXPECT_FALSE(MakeConvertedName(none.data(), 0, "score.mp3"));
    EXPECT_EQ('x', none[0]) << "a capacity of 0 writes nothing";
}

TEST(ConvertedName, NoConvertedNameEqualsADeliveredWaveFile) {
    std::set<std::string> delivered;
    for (const std::string& entry : Entries(SfxWavFiles)) delivered.insert(Lower(entry));
    int checked = 0;
    for (const FileGroup& group : kConvertedGroups) {
        for (int i = 0; i < group.count; ++i) {
            const std::string name = Converted(group[i]);
            EXPECT_EQ(0u, delivered.count(Lower(name))) << name << " would overwrite a delivered WAV file";
            ++checked;
        }
    }
    EXPECT_EQ(83, checked);
}

}  // namespace
