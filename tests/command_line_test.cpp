#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, TailFollowsTheProgramName) {
    EXPECT_EQ(CommandLineTail("TolvaneConfig.exe -u"), "-u");
    EXPECT_EQ(CommandLineTail("\"C:\\FS9\\Addon Scenery\\Tolvane\\TolvaneConfig.exe\"   -u"), "-u");
    EXPECT_EQ(CommandLineTail("\"C:\\a b\\x.exe\"-u"), "-u");
    EXPECT_EQ(CommandLineTail("TolvaneConfig.exe\t -u "), "-u ");
    EXPECT_EQ(CommandLineTail("TolvaneConfig.exe"), "");
    EXPECT_EQ(CommandLineTail("\"unclosed -u"), "");
    EXPECT_EQ(CommandLineTail(""), "");
}

TEST(CommandLineTest, OnlyAnExactDashUSelectsRestore) {
    EXPECT_TRUE(IsRestoreTail("-u"));
    for (const char* tail : {"-U", "-u ", "/u", "-u x", " -u", ""}) {
        EXPECT_FALSE(IsRestoreTail(tail)) << tail;
    }
}

}  // namespace
