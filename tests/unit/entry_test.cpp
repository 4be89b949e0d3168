// The start-up's view of the command line and the program's own directory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "command_line.h"
#include "paths.h"

namespace {

std::string Arguments(const char* commandLine) { return SkipProgramName(commandLine); }

TEST(CommandLine, SkipsAQuotedProgramNameWithBlanks) {
    EXPECT_EQ("-REMOVE", Arguments("\"C:\\My Games\\Q\\setup.exe\" -REMOVE"));
}

TEST(CommandLine, SkipsAnUnquotedProgramName) {
    EXPECT_EQ("-REMOVE", Arguments("C:\\Games\\setup.exe -REMOVE"));
    EXPECT_EQ("", Arguments("setup.exe"));
}

TEST(CommandLine, SkipsBlanksAndControlCharactersBehindTheNameButKeepsTrailingOnes) {
    EXPECT_EQ("-REMOVE ", Arguments("setup.exe  \t -REMOVE "));
    EXPECT_EQ("-REMOVE x", Arguments("\"setup.exe\"\t\t-REMOVE x"));
}

TEST(CommandLine, AnUnclosedQuoteTakesTheWholeLineAsTheName) {
    EXPECT_EQ("", Arguments("\"C:\\setup.exe -REMOVE"));
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

}  // namespace
