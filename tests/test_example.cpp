// The README's example commands, run as written, print what the README shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "support.h"

namespace {


const std::vector<std::string>& readme() {
    static const std::vector<std::string> lines = lines_of(read_text(std::string(SOURCE_DIR) + "/README.md"));
    return lines;
}

// The lines of the text block that follows the example-output marker.
std::vector<std::string> readme_example_output() {
    std::vector<std::string> block;
    bool marker = false, inside = false;
    for (const std::string& line : readme()) {
        if (line == "<!-- example-output -->") marker = true;
        else if (marker && !inside && line.rfind("```", 0) == 0) inside = true;
        else if (inside && line == "```") break;
        else if (inside) block.push_back(line);
    }
    return block;
}

// What the README's command line that copies `example` runs after the copy,
// with the programs taken from this build.
std::string readme_run_part(const std::string& example) {
    const std::string copy = "cp -r examples/" + example + " run && ";
    for (const std::string& line : readme()) {
        std::size_t at = line.find(copy);
        if (at == std::string::npos) continue;
        std::string rest = line.substr(at + copy.size());
        for (std::size_t p; (p = rest.find("./build/noebundle")) != std::string::npos;)
            rest.replace(p, 17, std::string(BUILD_DIR) + "/noebundle");
        return rest;
    }
    return std::string();
}

RunResult run_readme_command(const TempDir& dir, const std::string& example) {
    fs::copy(std::string(EXAMPLES_DIR) + "/" + example, dir.path() / "run");
    const std::string command = readme_run_part(example);
    EXPECT_FALSE(command.empty());
    return in_child([&] {
        std::fflush(stdout);
        int status = std::system(("cd '" + dir.path().string() + "' && " + command).c_str());
        std::fflush(stdout);
        _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 99);
    });
}

TEST(Readme, TheSearchAndTheRunPrintWhatTheReadmeShows) {
    TempDir dir;
    RunResult result = run_readme_command(dir, "bm2");
    ASSERT_EQ(result.status, 0) << result.out;
    // "..." in the README stands for lines left out.
    std::vector<std::string> shown = readme_example_output(), out = lines_of(result.out);
    ASSERT_FALSE(shown.empty());
    std::size_t at = 0;
    bool skipping = false;
    for (const std::string& line : shown) {
        if (line == "...") {
            skipping = true;
            continue;
        }
        while (skipping && at < out.size() && out[at] != line) ++at;
        ASSERT_LT(at, out.size()) << "README line not printed: " << line;
        EXPECT_EQ(out[at], line);
        ++at;
        skipping = false;
    }
    EXPECT_EQ(at, out.size()) << "the README leaves out the last lines";
    EXPECT_TRUE(fs::exists(dir.path() / "run/landscape.svg"));
    EXPECT_TRUE(fs::exists(dir.path() / "run/bm2_100.pdb"));
}

TEST(Readme, ThePreparedExampleRanksTheDepositedArrangementFirst) {
    TempDir dir;
    RunResult result = run_readme_command(dir, "bm2-prepared");
    ASSERT_EQ(result.status, 0) << result.out;
    std::vector<std::string> ranked = lines_of(read_text((dir.path() / "run/bm2.cs").string()));
    EXPECT_EQ(ranked.size(), 300u);
    EXPECT_EQ(ranked[0] + "\n", read_text(EXAMPLES_DIR "/bm2-prepared/deposited.cs"));
    std::vector<std::string> out = lines_of(result.out);
    EXPECT_EQ(out[2], "   1    0.000");
    EXPECT_NE(std::find(out.begin(), out.end(), "(AN1,  13, HD) - (AN2,   8, HA)"), out.end());
    for (int k = 1; k <= 300; ++k) EXPECT_TRUE(fs::exists(dir.path() / ("run/bm2_" + std::to_string(k) + ".pdb")));
}

}  // namespace
