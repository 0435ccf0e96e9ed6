// Structures the user gives: copies told apart only by segment ID become
// chains of their own; any other chain is read as the file has it.
#include <gtest/gtest.h>

#include <gemmi/model.hpp>

#include "analysis/reference.h"
#include "support.h"

namespace {

// One CA line of chain `chain`, residue `number`, segment `segment`.
std::string ca_line(char chain, int number, const std::string& segment) {
    char line[100];
    std::snprintf(line, sizeof line, "ATOM  %5d  CA  ALA %c%4d    %8.3f%8.3f%8.3f  1.00  0.00      %-4s C\n",
                  number, chain, number, 1.5 * number, 0.0, 0.0, segment.c_str());
    return line;
}

TEST(Reference, ChainsSplitBySegmentOnlyWhenTheNamesTellCopiesApart) {
    const struct {
        const char* what;
        std::vector<std::pair<char, std::string>> residues;  // chain and segment of residues 1, 2, ...
        std::vector<std::string> chains;                       // as read
    } cases[] = {
        {"noebundle's own file", {{' ', "AN1"}, {' ', "AN1"}, {' ', "AN2"}, {' ', "AN2"}}, {"AN1", "AN2"}},
        {"XPLOR's copies", {{' ', "A"}, {' ', "B"}, {' ', "C"}}, {"A", "B", "C"}},
        {"one segment a chain", {{'A', "PROT"}, {'A', "PROT"}, {'B', "PROT"}}, {"A", "B"}},
        {"a segment met twice", {{' ', "A"}, {' ', "B"}, {' ', "A"}}, {""}},
        {"a segment without a name", {{' ', "A"}, {' ', ""}}, {""}},
        {"a segment named as another chain", {{'A', "X"}, {'A', "B"}, {'B', "B"}}, {"A", "B"}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        std::string text;
        for (std::size_t k = 0; k < c.residues.size(); ++k)
            text += ca_line(c.residues[k].first, int(k) + 1, c.residues[k].second);
        write_text(dir.file("copies.pdb"), text + "END\n");
        gemmi::Structure st;
        ASSERT_TRUE(read_structure_model(dir.file("copies.pdb"), 1, st).ok()) << c.what;
        std::vector<std::string> names;
        std::size_t residues = 0;
        for (const gemmi::Chain& chain : st.models[0].chains) {
            names.push_back(chain.name);
            residues += chain.residues.size();
        }
        EXPECT_EQ(names, c.chains) << c.what;
        EXPECT_EQ(residues, c.residues.size()) << c.what;  // no residue lost or doubled
    }
}

}  // namespace
