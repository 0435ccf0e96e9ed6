// The shipped example, run as the README says, prints what the README shows.
#include <gtest/gtest.h>

#include <sstream>

#include "support.h"

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The lines of the text block that follows the example-output marker.
std::vector<std::string> readme_example_output() {
    std::vector<std::string> readme = lines_of(read_text(std::string(SOURCE_DIR) + "/README.md"));
    std::vector<std::string> block;
    bool marker = false, inside = false;
    for (const std::string& line : readme) {
        if (line == "<!-- example-output -->") marker = true;
        else if (marker && !inside && line.rfind("```", 0) == 0) inside = true;
        else if (inside && line == "```") break;
        else if (inside) block.push_back(line);
    }
    return block;
}

class Example : public ::testing::Test {
protected:
    TempDir dir;
    RunResult result;
    void SetUp() override {
        fs::copy(EXAMPLES_DIR "/bm2", dir.path() / "run");
        result = run_noebundle({"run/bm2.param"}, dir.path());
        ASSERT_EQ(result.status, 0) << result.out;
    }
};

TEST_F(Example, PrintsWhatTheReadmeShows) {
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
    EXPECT_EQ(result.err, "");
}

TEST_F(Example, TheDepositedArrangementRanksFirst) {
    std::vector<std::string> ranked = lines_of(read_text((dir.path() / "run/bm2.cs").string()));
    EXPECT_EQ(ranked.size(), 300u);
    EXPECT_EQ(ranked[0] + "\n", read_text(EXAMPLES_DIR "/bm2/deposited.cs"));
    EXPECT_EQ(lines_of(result.out)[2], "   1    0.000");
    for (int k = 1; k <= 300; ++k) EXPECT_TRUE(fs::exists(dir.path() / ("run/bm2_" + std::to_string(k) + ".pdb")));
}

}  // namespace
