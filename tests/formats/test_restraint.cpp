// Restraint lines: which proton stands for which point, the bounds of its
// pair class, and where a residue is found.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>

#include "formats/restraint.h"

namespace {

const std::vector<int> residues{10, 11, 12, 13, 14, 15, 12};
const float distances[3] = {6.28f, 6.84f, 7.28f};
const float tolerances[3] = {1.7f, 1.5f, 1.5f};

Status parse(std::string line, RestraintLine& out) {
    return parse_restraint_line(line, "noe.txt", residues, distances, tolerances, out);
}

TEST(RestraintLine, ProtonNamesChooseThePointAndThePairClassTheBounds) {
    struct Case {
        std::string proton1, proton2, stored, atom;
        int pairClass;
        float lower, upper;
    };
    const Case cases[] = {
        {"HN", "HN", "HN", "CA", 0, 6.28f - 1.7f, 6.28f + 1.7f}, {"HB2", "HN", "HB", "CA", 0, 4.58f, 7.98f},
        {"hb3", "HN", "hb", "CA", 0, 4.58f, 7.98f},   {"HA", "HN", "HA", "CA", 0, 4.58f, 7.98f},
        {"HD21", "HN", "HD", "CB", 1, 6.84f - 1.5f, 6.84f + 1.5f}, {"hg", "HN", "hg", "CB", 1, 5.34f, 8.34f},
        {"HE1", "HN", "HE", "CB", 1, 5.34f, 8.34f},   {"HZ", "HN", "HZ", "CB", 1, 5.34f, 8.34f},
        {"HH12", "HN", "HH", "CB", 1, 5.34f, 8.34f},  {"CA", "HN", "CA", "CA", 0, 4.58f, 7.98f},
        {"CB", "HN", "CB", "CB", 0, 4.58f, 7.98f},    {"HG", "HD1", "HG", "CB", 2, 7.28f - 1.5f, 7.28f + 1.5f}};
    for (const Case& c : cases) {
        RestraintLine r;
        ASSERT_TRUE(parse("(resid 10 and name " + c.proton1 + ") (resid 11 and name " + c.proton2 + ")", r).ok());
        EXPECT_EQ(std::tie(r.proton1, r.atom1, r.pairClass), std::tie(c.stored, c.atom, c.pairClass));
        EXPECT_NEAR(r.lowerBound, c.lower, 1e-6) << c.proton1;
        EXPECT_NEAR(r.upperBound, c.upper, 1e-6) << c.proton1;
    }
}

// The bounds each model leaves: window keeps the class's; upper (and reach,
// its other name) drops the lower bound and adds how far each end's proton
// reaches beyond 3.49 A, the farthest HD (residues 10-15: ALA GLY LEU PHE TRP ARG).
TEST(RestraintBounds, EachModelKnownBounds) {
    const std::vector<std::string> names{"ALA", "GLY", "LEU", "PHE", "TRP", "ARG", "LEU"};
    const struct {
        const char *proton1, *proton2;
        int residue1, residue2;
        float window, upper;  // the upper bound under window and under upper
    } cases[] = {
        {"HA", "HA2", 10, 11, 7.98f, 7.98f},
        {"HB", "HN", 12, 10, 7.98f, 7.98f},
        {"HZ", "HH2", 13, 14, 8.78f, 8.78f + 1.89f + 2.97f},
        {"HH12", "HA", 15, 10, 8.34f, 8.34f + 3.49f},
        {"hd1", "HG", 12, 12, 8.78f, 8.78f},  // Leu's HD 3.46: within the class's
        {"HE", "HA", 15, 10, 8.34f, 8.34f + 1.14f}};
    for (NoeModel model : {NoeModel::window, NoeModel::upper, NoeModel::reach}) {
        Restraint res{};
        for (const auto& c : cases) {
            RestraintLine r;
            ASSERT_TRUE(parse("(resid " + std::to_string(c.residue1) + " and name " + c.proton1 + ") (resid " +
                              std::to_string(c.residue2) + " and name " + c.proton2 + ")", r).ok());
            add_restraint(res, r);
        }
        apply_noe_model(model, names, res);
        for (int i = 0; i < res.numRestraint; ++i) {
            const float lower = res.pairClass[i] == 0 ? 4.58f : (res.pairClass[i] == 1 ? 5.34f : 5.78f);
            EXPECT_NEAR(res.lowerBound[i], model == NoeModel::window ? lower : 0.0f, 1e-5) << i;
            EXPECT_NEAR(res.upperBound[i], model == NoeModel::window ? cases[i].window : cases[i].upper, 1e-4) << i;
        }
    }
}

// Each model's most restraints kept, and the message one more line gives.
TEST(RestraintFile, EachModelTakesItsMost) {
    const struct {
        NoeModel model;
        int lines;
        std::string error;
    } cases[] = {{NoeModel::window, 100, ""},
                 {NoeModel::window, 101, "[Error] Too many restraints in 'noe.txt'"},
                 {NoeModel::reach, 100000, ""},
                 {NoeModel::upper, 100001, "[Error] Too many restraints in 'noe.txt': 100001, more than the 100000 "
                                           "noebundle takes: keep those of fewer residues (noebundle-restraints --residues FIRST-LAST)"}};
    for (const auto& c : cases) {
        std::string text;
        for (int i = 0; i < c.lines; ++i) text += "(resid 1" + std::to_string(i % 6) + " and name HA) (resid 11 and name HG)\n";
        std::istringstream in(text);
        Restraint res{};
        const Status s = parse_restraints(in, "noe.txt", residues, distances, tolerances, res, most_restraints(c.model));
        EXPECT_EQ(s.message, c.error) << c.lines;
        EXPECT_EQ(res.numRestraint, c.lines);  // every line counted, only the most kept
        EXPECT_EQ(res.upperBound.size(), std::size_t(std::min(c.lines, most_restraints(c.model))));
    }
}

TEST(RestraintLine, ResiduesMapToTheirFirstPositionAndNamesLoseALineEnd) {
    RestraintLine r;
    ASSERT_TRUE(parse("  (resid 12A and name HA) (resid (15 and name HB2\r   ", r).ok());
    EXPECT_EQ(r.resIndex1, 2);  // 12 occurs twice; the first one counts
    EXPECT_EQ(r.resIndex2, 5);
    EXPECT_EQ(r.proton2, "HB");
}

}  // namespace
