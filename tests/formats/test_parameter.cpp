// The parameter file's restraint model: accepted spellings and the default
// (the refusals are the catalogue's); unknown keys named with the nearest.
#include <gtest/gtest.h>

#include <sstream>

#include "formats/parameter.h"
#include "formats/parameter_keys.h"

namespace {

const std::string keys =
    "proteinName=abc\nworkDir=.\npdbFile=h.pdb\nnoeFile=n.txt\nmemFile=m\nnumProtomer=4\n"
    "memResFlag=0\nss_angle=5\nr_beg=3\nr_end=15\nss_r=0.5\n";

TEST(Parameter, NoeModelValues) {
    const std::pair<std::string, NoeModel> cases[] = {
        {"", NoeModel::window}, {"noeModel=window\n", NoeModel::window}, {"noeModel=upper\n", NoeModel::upper},
        {"noeModel=upper\r\n", NoeModel::upper}, {"noeModel=reach\n", NoeModel::reach}};
    for (const auto& [lines, model] : cases) {
        std::istringstream in(keys + lines);
        Parameter p;
        EXPECT_EQ(parse_param(in, "p", p).message, "") << lines;
        EXPECT_EQ(p.noeModel, model) << lines;
    }
}

// A key the file does not know is named with its line and the nearest key when a slip could make it.
TEST(Parameter, UnknownKeysNameTheNearest) {
    const std::string at = "Warning: line 12 of 'p': ";
    const std::pair<std::string, std::string> cases[] = {
        {"noeModel=upper\n# x=1\nno equals sign\n", ""},
        {"noeModle=upper\n", at + "noeModle: did you mean noeModel? (the line is ignored)"},
        {"NOEMODEL=upper\n", at + "NOEMODEL: did you mean noeModel? (the line is ignored)"},
        {"ssangle=5\n", at + "ssangle: did you mean ss_angle? (the line is ignored)"},
        {"noeModel =upper\n", at + "noeModel : no blanks around '=' (the line is ignored)"},
        {"colour=blue\n", at + "colour: not a key of the parameter file (the line is ignored)"},
    };
    for (const auto& [lines, warning] : cases) {
        std::istringstream in(keys + lines);
        const std::vector<std::string> got = unknown_key_warnings(in, "p");
        EXPECT_EQ(got.empty() ? "" : got.front(), warning) << lines;
        EXPECT_LE(got.size(), 1u) << lines;
    }
}

}  // namespace
