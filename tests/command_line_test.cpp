// The command line WinMain gets: what follows the program name.
#include <gtest/gtest.h>

#include "shell/command_line.h"

// 0xE9 is "é" in code page 1252: as a signed char it would pass for a blank, ending the
// name at "Caf" and dropping the first letter of "été".
TEST(CommandLine, BytesAbove0x7FAreNeitherBlanksNorTheEndOfAnUnquotedName) {
    char line[] = "C:\\Caf\xE9\\Varek.exe \xE9t\xE9";
    EXPECT_STREQ(ArgumentsAfterProgramName(line), "\xE9t\xE9");
}
