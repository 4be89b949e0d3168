// Paths as the program joins and cuts them, in its fixed buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "machine.h"
#include "install_chain.h"
#include "paths.h"

namespace {

// Fills the buffer with garbage first, so a missing second NUL cannot pass by accident.
std::string Join(const char* path, const char* component, bool* secondNul = nullptr, int capacity = 260) {
    char buffer[600];
    memset(buffer, 'x', sizeof(buffer));
    strcpy(buffer, path);
    const bool fits = AppendPathComponent(buffer, capacity, component);
    EXPECT_TRUE(fits) << path << " + " << component;
    if (secondNul != nullptr) *secondNul = buffer[strlen(buffer) + 1] == '\0';
    return buffer;
}

TEST(AppendPathComponent, InsertsOneSeparatorUnlessThePathEndsInOne) {
    EXPECT_EQ("C:\\Games\\quor.exe", Join("C:\\Games", "quor.exe"));
    EXPECT_EQ("C:\\Games\\quor.exe", Join("C:\\Games\\", "quor.exe"));
    EXPECT_EQ("C:/Games/quor.exe", Join("C:/Games/", "quor.exe"));
}

TEST(AppendPathComponent, AnEmptyPathGivesTheComponentAlone) {
    EXPECT_EQ("quor.exe", Join("", "quor.exe"));
}

TEST(AppendPathComponent, AComponentWithALeadingSeparatorKeepsItDoubled) {
    EXPECT_EQ("C:\\Games\\\\docs\\README.doc", Join("C:\\Games", "\\docs\\README.doc"));
}

TEST(AppendPathComponent, LeavesASecondNulBehindEveryResult) {
    for (const char* path : {"C:\\Games", "C:\\Games\\", "", "D:"}) {
        bool secondNul = false;
        Join(path, "sfx\\c897eb.wav", &secondNul);
        EXPECT_TRUE(secondNul) << "behind the join of " << path;
    }
}

TEST(AppendPathComponent, AJoinThatDoesNotFitLeavesTheBufferUntouchedAndDoubleTerminated) {
    char buffer[16];
    memset(buffer, 'x', sizeof(buffer));
    strcpy(buffer, "C:\\Games");  // 8 characters
    // "C:\Games\a.b" is 12 characters: 12 + 2 NULs fit 14 but not 13.
    EXPECT_FALSE(AppendPathComponent(buffer, 13, "a.b"));
    EXPECT_STREQ("C:\\Games", buffer);
    EXPECT_EQ('\0', buffer[9]);
    EXPECT_EQ('x', buffer[13]) << "nothing written past the capacity";
    EXPECT_TRUE(AppendPathComponent(buffer, 14, "a.b"));
    EXPECT_STREQ("C:\\Games\\a.b", buffer);
    EXPECT_EQ('\0', buffer[13]);
}

TEST(AppendPathComponent, TheLongestPathsOfTheSystemFitABufferOf260) {
    const std::string directory = "C:\\" + std::string(kLongestDestination - 3, 'd');
    char buffer[260];
    strcpy(buffer, directory.c_str());
    EXPECT_TRUE(AppendPathComponent(buffer, sizeof(buffer), "bitmaps\\letter-dollar.bmp"));
    EXPECT_EQ(258u, strlen(buffer));
    strcpy(buffer, (directory + "x").c_str());
    EXPECT_FALSE(AppendPathComponent(buffer, sizeof(buffer), "bitmaps\\letter-dollar.bmp"));
}

std::string Directory(const char* fileName) {
    char buffer[260];
    strcpy(buffer, fileName);
    CutFileName(buffer);
    return buffer;
}

TEST(ModuleDirectory, IsTheFullPathWithoutTrailingSeparator) {
    EXPECT_EQ("C:\\Games\\Quorvane", Directory("C:\\Games\\Quorvane\\setup.exe"));
}

TEST(ModuleDirectory, AtTheRootOfADriveIsTheDriveAlone) {
    EXPECT_EQ("D:", Directory("D:\\setup.exe"));
}

TEST(ModuleDirectory, CutsAtTheLastForwardOrBackwardSlash) {
    EXPECT_EQ("C:/Games/Quorvane", Directory("C:/Games/Quorvane/setup.exe"));
    EXPECT_EQ("C:\\Games/Quorvane", Directory("C:\\Games/Quorvane/setup.exe"));
    EXPECT_EQ("C:/Games\\Quorvane", Directory("C:/Games\\Quorvane\\setup.exe"));
}

TEST(ModuleDirectory, ANameWithoutSeparatorBecomesEmptyAndEmptyStaysEmpty) {
    EXPECT_EQ("", Directory("setup.exe"));
    EXPECT_EQ("", Directory(""));
}

TEST(ContainsBlank, IsTrueForABlankAnywhereInThePath) {
    EXPECT_TRUE(ContainsBlank("C:\\My Games\\Quorvane"));
    EXPECT_TRUE(ContainsBlank("C:\\Games\\Quorvane "));
    EXPECT_FALSE(ContainsBlank("C:\\Games\\Quorvane"));
    EXPECT_FALSE(ContainsBlank(""));
}

// One folder however it is spelled; a drive's root stays the root, not the drive's current folder.
TEST(SameFolder, ComparesFullShortFormsInCapitalsWithoutTrailingSeparators) {
    const std::string folder = machine::FreshDirectory("paths\\QuorvaneFolder");
    char shortForm[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameA(folder.c_str(), shortForm, MAX_PATH));
    for (const std::string& other : {folder + "\\", std::string(shortForm), folder + "\\..\\quorvanefolder\\"}) {
        EXPECT_TRUE(SameFolder(folder.c_str(), other.c_str())) << other;
    }
    EXPECT_FALSE(SameFolder(folder.c_str(), (folder + "2").c_str()));
    // A drive named alone, as ModuleDirectory names a root, is that root here too.
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    EXPECT_FALSE(SameFolder(folder.substr(0, 3).c_str(), folder.c_str())) << "the root of " << folder;
    EXPECT_FALSE(SameFolder(folder.substr(0, 2).c_str(), folder.c_str())) << "the root of " << folder;
    EXPECT_TRUE(SameFolder(folder.substr(0, 2).c_str(), folder.substr(0, 3).c_str())) << "the root of " << folder;
    SetCurrentDirectoryA(saved);
    // Names without a short form (none exists), as the file system keeps them apart: letter by
    // letter in capitals, where a language's comparison folds "ß" into "ss", "Æ" into "AE" and
    // ignores a soft hyphen (0xAD).
    EXPECT_TRUE(SameFolder("C:\\Quorvane", "c:\\QUORVANE\\"));
    EXPECT_FALSE(SameFolder("C:\\Stra\xDF" "e", "C:\\Strasse"));
    EXPECT_FALSE(SameFolder("C:\\\xC6gir", "C:\\AEgir"));
    EXPECT_FALSE(SameFolder("C:\\Demo\xAD" "1", "C:\\Demo1"));
}

}  // namespace
