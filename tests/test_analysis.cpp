// The measures of noebundle-analyze: the cell grid of the packing measures
// against every pair, and the restraint violations against Delta.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

#include "candidates.h"
#include "getpdb.h"
#include "oligomer.h"
#include "score.h"
#include "packing.h"
#include "support.h"
#include "violations.h"

namespace {

// Protomer 1 against the others, every pair.
void brute_force(const Oligomer& o, const std::vector<char>& heavy, const std::vector<char>& backbone,
                 float& closest, double& energy) {
    closest = INFINITY;
    double overlap = 0;
    long contacts = 0;
    for (std::size_t p = 1; p < o.size(); ++p)
        for (std::size_t i = 0; i < o[0].size(); ++i)
            for (std::size_t j = 0; j < o[p].size(); ++j) {
                const float d = distance(o[0][i], o[p][j]);
                if (backbone[i] && backbone[j]) closest = std::min(closest, d);
                if (!heavy[i] || !heavy[j] || !(d < 5.0f)) continue;
                ++contacts;
                if (d < 3.25f) overlap += (3.25 - double(d)) * (3.25 - double(d));
            }
    energy = 100 * overlap - contacts;
}

TEST(Packing, TheCellGridFindsEveryPairThatAllPairsFind) {
    struct Case {
        int protomers, atoms;
        float spread;  // side of the box the atoms fill, Angstrom
    };
    const Case cases[] = {{2, 300, 12}, {4, 500, 20}, {5, 200, 3000}, {3, 1, 1}, {1, 50, 10}};
    std::mt19937 random(7);
    for (const Case& c : cases) {
        std::uniform_real_distribution<float> coordinate(-c.spread / 2, c.spread / 2);
        Oligomer o(c.protomers);
        AtomKinds kinds;
        for (int i = 0; i < c.atoms; ++i) {
            kinds.heavy.push_back(i % 3 != 0);
            kinds.backbone.push_back(i % 4 == 1);
        }
        for (auto& protomer : o)
            for (int i = 0; i < c.atoms; ++i) protomer.push_back({coordinate(random), coordinate(random), coordinate(random)});
        float closest;
        double energy;
        brute_force(o, kinds.heavy, kinds.backbone, closest, energy);
        EXPECT_EQ(closest_backbone(o, kinds), closest) << c.atoms;
        EXPECT_NEAR(packing_energy(o, kinds), energy, 1e-9 * std::fabs(energy) + 1e-9) << c.atoms;
    }
}

TEST(Packing, AtomKindsComeFromNamesAndElements) {
    const std::vector<std::string> lines = {
        "ATOM      1  N   ALA A   1       0.000   0.000   0.000  1.00  0.00           N  ",
        "ATOM      2  CA  ALA A   1       0.000   0.000   0.000  1.00  0.00           C  ",
        "ATOM      3  CB  ALA A   1       0.000   0.000   0.000  1.00  0.00           C  ",
        "ATOM      4  HA  ALA A   1       0.000   0.000   0.000  1.00  0.00           H  ",
        "ATOM      5 1HB  ALA A   1       0.000   0.000   0.000  1.00  0.00              "};
    const AtomKinds kinds = atom_kinds(lines);
    EXPECT_EQ(kinds.backbone, (std::vector<char>{1, 1, 0, 0, 0}));
    EXPECT_EQ(kinds.heavy, (std::vector<char>{1, 1, 1, 0, 0}));
    EXPECT_FALSE(kinds.side_chains);
}

// Delta is the root mean square of the violations, for every candidate of
// the example, and a structure with Delta 0 violates nothing.
TEST(Violations, AgreeWithDelta) {
    ASSERT_TRUE(load_bm2_example(4));
    std::ifstream in(EXAMPLES_DIR "/bm2-prepared/bm2.cs");
    CandidateTable table;
    ASSERT_TRUE(parse_candidates(in, "bm2.cs", table).ok());
    for (const CandidateRow& row : table) {
        const PlacedPair placed = place_pair(helix, row, 4);
        const float delta = placement_delta(res, placed);
        EXPECT_EQ(delta, scoring_function(row));
        const std::vector<RestraintCheck> checks = check_restraints(res, placed, 4);
        double sum = 0;
        for (const RestraintCheck& c : checks) sum += double(c.violation) * c.violation;
        EXPECT_NEAR(std::sqrt(sum / checks.size()), delta, 1e-4);
        EXPECT_EQ(count_violations(checks).violated == 0, delta == 0.0f);
    }
}

}  // namespace
