// The install manifest: its lists, its groups and the converted-name rule.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <cstring>
#include <initializer_list>
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

// The demo's files as its makers deliver them, group by group and each group in its order. They are
// written out here once more, apart from installer/manifest.cpp, so that a name, an order or a
// range that slips there shows as a difference rather than as a new truth.
const std::vector<std::string> kRootNames = {
    "quor.exe", "setup.exe", "glide.dll", "glide2x.dll", "sst1init.dll", "test.level", "quorvane.cd", "a3d.dll",
    "resource.res", "fxmemmap.vxd"};
const std::vector<std::string> kEngineResNames = {
    "kq_res\\bground.tga", "kq_res\\closicon.pcx", "kq_res\\downicon.pcx", "kq_res\\kq.res",
    "kq_res\\lefticon.pcx", "kq_res\\minus.pcx", "kq_res\\normcurs.pcx", "kq_res\\normfont.pcx",
    "kq_res\\oldfont.pcx", "kq_res\\pal.pcx", "kq_res\\plus.pcx", "kq_res\\rigticon.pcx", "kq_res\\sqr2curs.pcx",
    "kq_res\\textcurs.pcx", "kq_res\\upicon.pcx"};
const std::vector<std::string> kResNames = {
    "res\\backward.bmp", "res\\closicon.pcx", "res\\delete.bmp", "res\\downicon.pcx", "res\\fforward.bmp",
    "res\\forward.bmp", "res\\lefticon.pcx", "res\\movecurs.pcx", "res\\normcurs.pcx", "res\\normfont.pcx",
    "res\\pal.pcx", "res\\play.bmp", "res\\rewind.bmp", "res\\rigticon.pcx", "res\\sqr_curs.pcx",
    "res\\sqr2curs.pcx", "res\\textcurs.pcx", "res\\upicon.pcx", "res\\cells.res", "res\\constants.res",
    "res\\editor.res", "res\\g1.res", "res\\models.res", "res\\songs.res"};
const std::vector<std::string> kBitmapNames = {
    "bitmaps\\camera.bmp", "bitmaps\\camera_add.bmp", "bitmaps\\fill.bmp", "bitmaps\\height.bmp",
    "bitmaps\\horizon.pcx", "bitmaps\\horizon2.pcx", "bitmaps\\lambient.bmp", "bitmaps\\lcreate.bmp",
    "bitmaps\\letter-0.bmp", "bitmaps\\letter-1.bmp", "bitmaps\\letter-2.bmp", "bitmaps\\letter-3.bmp",
    "bitmaps\\letter-4.bmp", "bitmaps\\letter-5.bmp", "bitmaps\\letter-6.bmp", "bitmaps\\letter-7.bmp",
    "bitmaps\\letter-8.bmp", "bitmaps\\letter-9.bmp", "bitmaps\\letter-comma.bmp", "bitmaps\\letter-dollar.bmp",
    "bitmaps\\light.bmp", "bitmaps\\move.bmp", "bitmaps\\obj_add.bmp", "bitmaps\\object.bmp", "bitmaps\\play.bmp",
    "bitmaps\\rotate.bmp", "bitmaps\\select.bmp", "bitmaps\\spin.bmp", "bitmaps\\target.bmp", "bitmaps\\tile.bmp",
    "bitmaps\\zoom.bmp", "bitmaps\\build_0.tga", "bitmaps\\build_1.tga", "bitmaps\\build_2.tga",
    "bitmaps\\build_3.tga", "bitmaps\\build_4.tga", "bitmaps\\build_5.tga", "bitmaps\\build_6.tga",
    "bitmaps\\build_7.tga", "bitmaps\\build_8.tga", "bitmaps\\build_9.tga", "bitmaps\\build_10.tga",
    "bitmaps\\build_11.tga", "bitmaps\\buildh_0.tga", "bitmaps\\buildh_1.tga", "bitmaps\\buildh_2.tga",
    "bitmaps\\buildh_3.tga", "bitmaps\\buildh_4.tga", "bitmaps\\buildh_5.tga", "bitmaps\\buildh_6.tga",
    "bitmaps\\buildh_7.tga", "bitmaps\\buildh_8.tga", "bitmaps\\buildh_9.tga", "bitmaps\\buildh_10.tga",
    "bitmaps\\buildh_11.tga", "bitmaps\\builds_0.tga", "bitmaps\\builds_1.tga", "bitmaps\\builds_2.tga",
    "bitmaps\\builds_3.tga", "bitmaps\\builds_4.tga", "bitmaps\\builds_5.tga", "bitmaps\\builds_6.tga",
    "bitmaps\\builds_7.tga", "bitmaps\\builds_8.tga", "bitmaps\\builds_9.tga", "bitmaps\\builds_10.tga",
    "bitmaps\\builds_11.tga", "bitmaps\\frame.tga", "bitmaps\\help.tga", "bitmaps\\lit_load.tga",
    "bitmaps\\lit_network.tga", "bitmaps\\lit_newgame.tga", "bitmaps\\lit_options.tga", "bitmaps\\lit_quit.tga",
    "bitmaps\\lit_save.tga", "bitmaps\\net1.tga", "bitmaps\\net2.tga", "bitmaps\\net3.tga", "bitmaps\\pick1.tga",
    "bitmaps\\pick2.tga", "bitmaps\\startup.tga", "bitmaps\\title_screen.tga"};
const std::vector<std::string> kSfxMp3Names = {
    "sfx\\8acc3863.mp3", "sfx\\ec317925.mp3", "sfx\\64b5adeb.mp3", "sfx\\d0ea4265.mp3", "sfx\\e4e53bee.mp3",
    "sfx\\45dc5e10.mp3", "sfx\\f6fb2d9a.mp3", "sfx\\addb3d64.mp3", "sfx\\be1dd319.mp3", "sfx\\a48ef205.mp3",
    "sfx\\56a7da7d.mp3", "sfx\\f42ce71a.mp3", "sfx\\da7c3904.mp3", "sfx\\c1c51769.mp3", "sfx\\fe7cb4b8.mp3",
    "sfx\\3c898f9.mp3", "sfx\\885cc7c2.mp3", "sfx\\84da33b4.mp3", "sfx\\3c2d6d3a.mp3", "sfx\\885bea4a.mp3",
    "sfx\\1cd0d9d4.mp3", "sfx\\ddb992ea.mp3", "sfx\\c897eb.mp3", "sfx\\dce8a9fd.mp3", "sfx\\19e82bcf.mp3",
    "sfx\\fff7aefe.mp3", "sfx\\96ec5d4b.mp3", "sfx\\c39f18eb.mp3", "sfx\\e6ae1dec.mp3", "sfx\\9bd22ed.mp3",
    "sfx\\55df794.mp3", "sfx\\10f4d48d.mp3", "sfx\\3303d98e.mp3", "sfx\\5612de8f.mp3", "sfx\\7921e390.mp3",
    "sfx\\9c30e891.mp3", "sfx\\bf3fed92.mp3", "sfx\\e24ef293.mp3", "sfx\\ede5cf8c.mp3", "sfx\\9223ff28.mp3",
    "sfx\\1e5f132c.mp3", "sfx\\416e182d.mp3", "sfx\\647d1d2e.mp3", "sfx\\878c222f.mp3", "sfx\\aa9b2730.mp3",
    "sfx\\a7290028.mp3", "sfx\\ca380529.mp3", "sfx\\ed470a2a.mp3", "sfx\\861971d1.mp3", "sfx\\d7ce58cc.mp3",
    "sfx\\fadd5dcd.mp3", "sfx\\1dec62ce.mp3", "sfx\\b4bf53cb.mp3", "sfx\\8a802060.mp3", "sfx\\d09e2a62.mp3",
    "sfx\\c2ccd1de.mp3", "sfx\\3e16517b.mp3", "sfx\\4f989b67.mp3", "sfx\\a3bfa96a.mp3", "sfx\\cecb86d.mp3",
    "sfx\\2ffbbd6e.mp3", "sfx\\520ac26f.mp3", "sfx\\8ff3a373.mp3", "sfx\\fa11e05f.mp3", "sfx\\6cf05fe.mp3",
    "sfx\\2d78b010.mp3", "sfx\\dddabbfb.mp3", "sfx\\5da19f68.mp3", "sfx\\80b0a469.mp3", "sfx\\c6ceae6b.mp3",
    "sfx\\72a7a068.mp3", "sfx\\2153115d.mp3", "sfx\\4462165e.mp3", "sfx\\67711b5f.mp3", "sfx\\303e7c5a.mp3",
    "sfx\\93e498bd.mp3", "sfx\\ef27ca39.mp3", "sfx\\fe4199a9.mp3", "sfx\\24a923f8.mp3", "sfx\\b44b2d1d.mp3",
    "sfx\\825507c.mp3"};
const std::vector<std::string> kSfxWavNames = {
    "sfx\\16008c44.wav", "sfx\\313716b6.wav", "sfx\\3b21c209.wav", "sfx\\62bfc8be.wav", "sfx\\7712fd39.wav",
    "sfx\\b1e51eb4.wav", "sfx\\b4e51ba6.wav"};
const std::vector<std::string> kMusicMp3Names = {
    "score.mp3", "level.mp3"};
const std::vector<std::string> kReadmeNames = {
    "\\docs\\README.doc"};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const std::vector<std::string>& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<std::string> ToNull(const char* const* list) {
    std::vector<std::string> entries;
    for (int i = 0; list[i] != nullptr; ++i) entries.push_back(list[i]);
    return entries;
}

// One name to a line, so that a failure shows the lines that differ.
std::string Lines(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += name + "\n";
    return text;
}

// The WAV name of an MP3 name as the demo's makers name the converted sounds: "mp3" becomes "wav".
std::string AsWav(const std::string& mp3Name) { return mp3Name.substr(0, mp3Name.size() - 3) + "wav"; }

TEST(ManifestLists, EachListHoldsItsEntriesInOrderUpToTheNullPointer) {
    EXPECT_EQ(Lines(Concat({kRootNames, kEngineResNames})), Lines(ToNull(CoreFileList))) << "CoreFileList";
    EXPECT_EQ(Lines(Concat({kResNames, kBitmapNames, kSfxMp3Names})), Lines(ToNull(DataFileList))) << "DataFileList";
    EXPECT_EQ(Lines(kSfxWavNames), Lines(ToNull(WaveFileList))) << "WaveFileList";
    EXPECT_EQ(Lines(Concat({kMusicMp3Names, kReadmeNames})), Lines(ToNull(ExtraFileList))) << "ExtraFileList";
}

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

// With the lists as above, a group that holds these names is its range of its list.
TEST(ManifestGroups, EachGroupIsItsRangeOfItsList) {
    const std::vector<std::string>* expected[] = {&kRootNames,   &kEngineResNames, &kResNames,      &kBitmapNames,
                                                  &kSfxMp3Names, &kSfxWavNames,    &kMusicMp3Names, &kReadmeNames};
    ASSERT_EQ(sizeof(kGroups) / sizeof(kGroups[0]), sizeof(expected) / sizeof(expected[0]));
    for (size_t i = 0; i < sizeof(expected) / sizeof(expected[0]); ++i) {
        EXPECT_EQ(Lines(*expected[i]), Lines(Entries(kGroups[i].group))) << kGroups[i].name;
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

TEST(ManifestGroups, TheInstallCopies139FilesAndConverts83InTheirOrder) {
    std::vector<std::string> copied;
    for (const FileGroup& group : kCopyGroups) for (const std::string& e : Entries(group)) copied.push_back(e);
    EXPECT_EQ(139u, copied.size());
    EXPECT_EQ(Lines(Concat({kRootNames, kEngineResNames, kResNames, kReadmeNames, kBitmapNames, kSfxWavNames})),
              Lines(copied))
        << "the copy groups in the order the install copies them";
    std::vector<std::string> converted;
    for (const FileGroup& group : kConvertedGroups) for (const std::string& e : Entries(group)) converted.push_back(e);
    EXPECT_EQ(83u, converted.size());
    EXPECT_EQ(Lines(Concat({kSfxMp3Names, kMusicMp3Names})), Lines(converted))
        << "the converted groups in the order of the batch file";

    std::set<std::string> handled(copied.begin(), copied.end());
    handled.insert(converted.begin(), converted.end());
    EXPECT_EQ(222u, handled.size()) << "every entry is either copied or converted";
    for (const std::string& entry : converted) {
        EXPECT_EQ(".mp3", entry.substr(entry.size() - 4)) << entry << " is converted";
    }
}

// The removal deletes what the install leaves of the manifest but the running setup program: the
// copied files by their names and the converted sounds by their WAV names, each a file of its own.
TEST(ManifestGroups, WhatTheInstallLeavesButTheSetupProgramIs221FilesOfDistinctNames) {
    std::vector<std::string> left;
    for (const FileGroup& group : kCopyGroups) {
        for (int i = 0; i < group.count; ++i) {
            // The entry itself, not a name that equals it: the one the removal leaves in place.
            if (group[i] != CoreFileList[kSetupProgramEntry]) left.push_back(group[i]);
        }
    }
    for (const FileGroup& group : kConvertedGroups) {
        for (int i = 0; i < group.count; ++i) left.push_back(Converted(group[i]));
    }
    std::vector<std::string> expected;
    for (const std::string& name : Concat({kRootNames, kEngineResNames, kResNames, kReadmeNames, kBitmapNames,
                                           kSfxWavNames})) {
        if (name != "setup.exe") expected.push_back(name);
    }
    for (const std::string& name : Concat({kSfxMp3Names, kMusicMp3Names})) expected.push_back(AsWav(name));
    EXPECT_EQ(221u, left.size());
    EXPECT_EQ(Lines(expected), Lines(left));
    std::set<std::string> distinct;
    for (const std::string& name : left) EXPECT_TRUE(distinct.insert(Lower(name)).second) << name << " twice";
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
