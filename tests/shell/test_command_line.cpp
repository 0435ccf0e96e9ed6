// The help a program prints: its own usage line first, once, then the
// description and what CLI11 lists after it.
#include <gtest/gtest.h>

#include "shell/command_line.h"

namespace {

TEST(CommandLine, HelpHasTheUsageLineOnceAndTheRestWhole) {
    CLI::App app("Does one thing.\nOn two lines.", "prog");
    std::string file;
    app.add_option("FILE", file, "the input")->required();
    const char* argv[] = {"prog", "--help"};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(parse_command_line(app, 2, const_cast<char**>(argv), "Usage: prog FILE [options]"));
    const std::string help = testing::internal::GetCapturedStdout();
    EXPECT_EQ(help.substr(0, help.find("Positionals:")), "Usage: prog FILE [options]\nDoes one thing.\nOn two lines.\n\n");
    EXPECT_NE(help.find("  FILE TEXT REQUIRED"), std::string::npos) << help;
}

}  // namespace
