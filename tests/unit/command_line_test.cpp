// The start-up's view of the command line: the arguments behind the program's name.
#include <gtest/gtest.h>

#include <string>

#include "command_line.h"

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

}  // namespace
