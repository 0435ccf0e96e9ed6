// The parameter file's restraint model: accepted spellings, the default, and
// the one-line refusals; noeModel never counts toward the keys a file needs.
#include <gtest/gtest.h>

#include <sstream>

#include "formats/parameter.h"

namespace {

const std::string keys =
    "proteinName=abc\nworkDir=.\npdbFile=h.pdb\nnoeFile=n.txt\nmemFile=m\nnumProtomer=4\n"
    "memResFlag=0\nss_angle=5\nr_beg=3\nr_end=15\nss_r=0.5\n";

TEST(Parameter, NoeModelValuesAndRefusals) {
    const std::string accepted = "; it takes window or upper";
    const struct {
        std::string lines, message;
        NoeModel model;
    } cases[] = {
        {"", "", NoeModel::window},
        {"noeModel=window\n", "", NoeModel::window},
        {"noeModel=upper\n", "", NoeModel::upper},
        {"noeModel=upper\r\n", "", NoeModel::upper},
        {"noeModel=upper\nnoeModel=upper\n", "[Error] 'p': noeModel is given twice" + accepted, NoeModel::upper},
        {"noeModel=\n", "[Error] 'p': noeModel is empty" + accepted, NoeModel::window},
        {"noeModel=Upper\n", "[Error] 'p': noeModel is 'Upper'" + accepted, NoeModel::window},
        {"noeModel=upper \n", "[Error] 'p': noeModel is 'upper '" + accepted, NoeModel::window},
        {"noeModel\n", "[Error] 'p': noeModel is 'noeMod'" + accepted, NoeModel::window},
        {"noeModel=" + std::string(50, 'x') + "\n",
         "[Error] 'p': noeModel is '" + std::string(40, 'x') + "...'" + accepted, NoeModel::window},
    };
    for (const auto& c : cases) {
        std::istringstream in(keys + c.lines);
        Parameter p;
        const Status s = parse_param(in, "p", p);
        EXPECT_EQ(s.message, c.message) << c.lines;
        if (s.ok()) {
            EXPECT_EQ(p.noeModel, c.model) << c.lines;
        }
    }
    // Ten of the twelve keys stay too few with a noeModel line.
    std::istringstream tenKeys(keys.substr(keys.find('\n') + 1) + "noeModel=upper\n");
    Parameter p;
    EXPECT_EQ(parse_param(tenKeys, "p", p).message, "[Error] 'p' has a wrong format");
}

}  // namespace
