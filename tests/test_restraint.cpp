// The restraint file and the per-model choice of neighbour.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>

#include "getpdb.h"
#include "oligomer.h"
#include "parallel.h"
#include "program.h"
#include "rank.h"
#include "report.h"
#include "run.h"
#include "score.h"
#include "restraint.h"

namespace {

const std::vector<int> residues{10, 11, 12, 13, 14, 15, 12};
const float distances[3] = {6.28f, 6.84f, 7.28f};
const float tolerances[3] = {1.7f, 1.5f, 1.5f};

Status parse_line(std::string line, RestraintLine& out) {
    return parse_restraint_line(line, "noe.txt", residues, distances, tolerances, out);
}

std::string restraint(int a, const std::string& pa, int b, const std::string& pb) {
    return "(resid " + std::to_string(a) + " and name " + pa + ") (resid " + std::to_string(b) +
           " and name " + pb + ")";
}

Status parse_file(const std::string& text, Restraint& r) {
    std::istringstream in(text);
    r = Restraint{};
    return parse_restraints(in, "noe.txt", residues, distances, tolerances, r);
}

std::string repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line + "\n";
    return text;
}

const std::string wrongFormat = "[Error] 'noe.txt' has a wrong format";

TEST(RestraintLineFormat, ExactlyTenTokensSplitAtSpacesOnly) {
    RestraintLine r;
    EXPECT_TRUE(parse_line("  " + restraint(10, "HA", 11, "HB") + "   ", r).ok());
    EXPECT_EQ(parse_line("", r).message, wrongFormat);
    EXPECT_EQ(parse_line("    ", r).message, wrongFormat);
    EXPECT_EQ(parse_line("resid 10 and name HA resid 11 and name", r).message, wrongFormat);
    EXPECT_EQ(parse_line(restraint(10, "HA", 11, "HB") + " 2.5", r).message, wrongFormat);
    EXPECT_EQ(parse_line("(resid\t10 and name HA) (resid 11 and name HB)", r).message, wrongFormat);
    // A carriage return after a blank is an eleventh token; right after a name it is cut away.
    EXPECT_EQ(parse_line(restraint(10, "HA", 11, "HB") + " \r", r).message, wrongFormat);
    ASSERT_TRUE(parse_line(restraint(10, "HA", 11, "HB2\r"), r).ok());
    EXPECT_EQ(r.proton2, "HB");
    std::string longLine = restraint(10, "HA", 11, "HB") + std::string(300, ' ');
    EXPECT_TRUE(parse_line(longLine, r).ok());
}

TEST(RestraintLineFormat, ProtonNamesMapToCaOrCbAndSetThePairClass) {
    struct Case {
        std::string proton;
        std::string stored, atom;
        int cb;
    };
    const Case cases[] = {{"HN", "HN", "CA", 0},   {"HB2", "HB", "CA", 0}, {"hb3", "hb", "CA", 0},
                          {"Hb", "Hb", "CA", 0},   {"HA", "HA", "CA", 0},  {"HD21", "HD", "CB", 1},
                          {"hg", "hg", "CB", 1},   {"HE1", "HE", "CB", 1}, {"HZ", "HZ", "CB", 1},
                          {"HH12", "HH", "CB", 1}, {"CA", "CA", "CA", 0},  {"CB", "CB", "CB", 0}};
    for (const Case& c : cases) {
        RestraintLine r;
        ASSERT_TRUE(parse_line(restraint(10, c.proton, 11, "HN"), r).ok()) << c.proton;
        EXPECT_EQ(r.proton1, c.stored);
        EXPECT_EQ(r.atom1, c.atom);
        EXPECT_EQ(r.pairClass, c.cb);
    }
}

TEST(RestraintLineFormat, BoundsFollowThePairClass) {
    RestraintLine r;
    ASSERT_TRUE(parse_line(restraint(10, "HA", 11, "HN"), r).ok());
    EXPECT_EQ(r.lowerBound, 6.28f - 1.7f);
    EXPECT_EQ(r.upperBound, 6.28f + 1.7f);
    ASSERT_TRUE(parse_line(restraint(10, "HG", 11, "HN"), r).ok());
    EXPECT_EQ(r.lowerBound, 6.84f - 1.5f);
    ASSERT_TRUE(parse_line(restraint(10, "HG", 11, "HD1"), r).ok());
    EXPECT_EQ(r.pairClass, 2);
    EXPECT_NEAR(r.lowerBound, 5.78f, 1e-6);
    EXPECT_NEAR(r.upperBound, 8.78f, 1e-6);
}

TEST(RestraintLineFormat, ResiduesMapToTheirFirstPosition) {
    RestraintLine r;
    ASSERT_TRUE(parse_line("(resid 12A and name HA) (resid (15 and name HN)", r).ok());
    EXPECT_EQ(r.resIndex1, 2);  // 12 occurs twice; the first one counts
    EXPECT_EQ(r.resIndex2, 5);
}

TEST(RestraintLineFormat, EveryEndMustBeAPointOfTheHelix) {
    RestraintLine r;
    EXPECT_EQ(parse_line(restraint(10, "HA", 99, "HN"), r).message,
              "[Error] Residue 99 in 'noe.txt' is not in the helix");
    EXPECT_EQ(parse_line("(resid A12 and name HA) (resid 11 and name HN)", r).message,
              "[Error] Residue 0 in 'noe.txt' is not in the helix");
    // The residues are checked before the atoms, the first end before the second.
    EXPECT_EQ(parse_line(restraint(10, "H", 99, "QB"), r).message,
              "[Error] Residue 99 in 'noe.txt' is not in the helix");
    EXPECT_EQ(parse_line(restraint(10, "H", 11, "QB"), r).message,
              "[Error] Atom H in 'noe.txt' is neither CA nor CB");
    EXPECT_EQ(parse_line(restraint(10, "HN", 11, "QB"), r).message,
              "[Error] Atom QB in 'noe.txt' is neither CA nor CB");
    EXPECT_EQ(parse_line(restraint(10, "ca", 11, "HN"), r).message,
              "[Error] Atom ca in 'noe.txt' is neither CA nor CB");
}

TEST(RestraintFile, CountLimits) {
    Restraint r;
    const std::string line = restraint(10, "HA", 11, "HG");
    EXPECT_EQ(parse_file("", r).message, "[Error] Very few restraints in 'noe.txt'");
    EXPECT_EQ(parse_file(repeat(line, 2), r).message, "[Error] Very few restraints in 'noe.txt'");
    EXPECT_TRUE(parse_file(repeat(line, 3), r).ok());
    EXPECT_EQ(r.numRestraint, 3);
    ASSERT_TRUE(parse_file(repeat(line, 100), r).ok());
    EXPECT_STREQ(r.atom2[99], "CB");
    EXPECT_EQ(parse_file(repeat(line, 101), r).message, "[Error] Too many restraints in 'noe.txt'");
}

TEST(RestraintFile, TheFirstBadLineWinsOverTheCounts) {
    Restraint r;
    const std::string line = restraint(10, "HA", 11, "HG");
    EXPECT_EQ(parse_file(line + "\n\n" + line + "\n" + line + "\n", r).message, wrongFormat);
    EXPECT_EQ(parse_file(line + "\n" + line, r).message, "[Error] Very few restraints in 'noe.txt'");
    EXPECT_EQ(parse_file(repeat(line, 120) + "x\n", r).message, wrongFormat);
    EXPECT_EQ(parse_file(repeat(line, 120) + restraint(10, "HA", 77, "HN"), r).message,
              "[Error] Residue 77 in 'noe.txt' is not in the helix");
    // Identical lines stay separate restraints.
    ASSERT_TRUE(parse_file(repeat(line, 4), r).ok());
    EXPECT_EQ(r.numRestraint, 4);
}

// ------------------------------------------------------------ evaluation

class Neighbours : public ::testing::Test {
protected:
    void SetUp() override {
        param.numProtomer = 4;
        helix2.numResidue = 2;
        helix2.coord.assign(4, Point{0, 0, 0});
        res = Restraint{};
    }
    void add(int p, const char* a, int q, const char* b) {
        int i = res.numRestraint++;
        res.resIndex1[i] = p;
        res.resIndex2[i] = q;
        std::strcpy(res.atom1[i], a);
        std::strcpy(res.atom2[i], b);
    }
};

TEST_F(Neighbours, TheCloserPairingDecidesAndTheSameAtomTies) {
    // Residue 0 at angle 0, residue 1 at -80 degrees: close to the copy turned by -90.
    const double a = -80 * M_PI / 180;
    Point model[4] = {{10, 0, 0}, {11, 0, 0}, {float(10 * std::cos(a)), float(10 * std::sin(a)), 0}, {0, 0, 5}};
    add(0, "CA", 1, "CA");
    add(1, "CA", 0, "CA");
    add(0, "CB", 0, "CB");
    int flags[3] = {9, 9, 9};
    check_restraint(model, flags);
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(flags[1], -1);
    EXPECT_EQ(flags[2], 0);
    EXPECT_EQ(helix2.coord[0].x, 10.0f);  // the model was copied into the scratch helix
}

}  // namespace
