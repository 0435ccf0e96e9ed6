// The helices found from backbone hydrogen bonds.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/secondary_structure.h"

namespace {

// Amide N along an ideal alpha-helix (100 degrees and 1.5 Angstrom a
// residue), each carbonyl O 2.9 Angstrom below the N four residues on.
std::vector<BackboneNO> ideal_backbone(int n) {
    std::vector<BackboneNO> out(n);
    auto amide = [](int i) {
        const float turn = i * 100.0f * 3.14159265f / 180.0f;
        return Point{2.0f * std::cos(turn), 2.0f * std::sin(turn), 1.5f * i};
    };
    for (int i = 0; i < n; ++i) {
        out[i].hasN = out[i].hasO = true;
        out[i].n = amide(i);
        out[i].o = amide(i + 4);
        out[i].o.z -= 2.9f;
    }
    return out;
}

TEST(SecondaryStructure, HelicesFromHydrogenBonds) {
    struct Case {
        int residues;
        std::vector<int> withoutO;  // residues whose carbonyl is missing
        std::vector<std::pair<int, int>> helices;
    };
    const Case cases[] = {
        {12, {}, {{1, 10}}},             // every residue but the two ends
        {5, {}, {}},                     // one bond makes no helix
        {20, {8, 9, 10}, {{1, 10}, {12, 18}}},  // three missing bonds break it
        {20, {8, 9}, {{1, 18}}},                // two do not
    };
    for (const Case& c : cases) {
        std::vector<BackboneNO> backbone = ideal_backbone(c.residues);
        for (int i : c.withoutO) backbone[i].hasO = false;
        std::vector<std::pair<int, int>> found;
        for (const HelixRange& h : alpha_helices(backbone)) found.emplace_back(h.first, h.last);
        EXPECT_EQ(found, c.helices) << c.residues;
    }
}

}  // namespace
