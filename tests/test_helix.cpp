// The helix reader, the rigid-body transforms and the axis alignment.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "getpdb.h"
#include "oligomer.h"
#include "parallel.h"
#include "program.h"
#include "rank.h"
#include "report.h"
#include "run.h"
#include "score.h"
#include "helix.h"
#include "support.h"

namespace {

Status read(const std::string& pdb, int numResidue, Helix& h) {
    std::istringstream in(pdb);
    h.numResidue = numResidue;
    return parse_helix_pdb(in, "helix.pdb", h);
}

const std::string wrongFormat = "[Error] 'helix.pdb' has a wrong format";

// Removes the lines of the PDB text that contain the given piece.
std::string drop_lines(const std::string& pdb, const std::string& piece) {
    std::istringstream in(pdb);
    std::string line, out;
    while (std::getline(in, line))
        if (line.find(piece) == std::string::npos) out += line + "\n";
    return out;
}

TEST(HelixReader, ResidueCountLimits) {
    Helix h;
    EXPECT_EQ(read(ideal_helix_pdb(4), 4, h).message, "[Error] Very few residues in 'helix.pdb'");
    EXPECT_TRUE(read(ideal_helix_pdb(5), 5, h).ok());
    EXPECT_TRUE(read(ideal_helix_pdb(5000), 5000, h).ok());
    EXPECT_EQ(h.resNum[4999], 5000);
    EXPECT_EQ(read(ideal_helix_pdb(5001), 5001, h).message, "[Error] Too many residues in 'helix.pdb'");
}

TEST(HelixReader, CheckLogGivesTheCountAndMessagesNameTheRightFile) {
    TempDir dir;
    Helix h;
    write_text(dir.file("helix.pdb"), ideal_helix_pdb(6));
    EXPECT_EQ(load_helix(dir.file("check_pdb.log"), dir.file("helix.pdb"), h).message,
              "[Error] Can not open the file '" + dir.file("check_pdb.log") + "'");
    write_text(dir.file("check_pdb.log"), "not a number\n");
    EXPECT_EQ(load_helix(dir.file("check_pdb.log"), dir.file("helix.pdb"), h).message,
              "[Error] Very few residues in '" + dir.file("helix.pdb") + "'");
    write_text(dir.file("check_pdb.log"), "  6\n 24 atoms\n");
    EXPECT_EQ(load_helix(dir.file("check_pdb.log"), dir.file("none.pdb"), h).message,
              "[Error] Can not open the file '" + dir.file("none.pdb") + "'");
    ASSERT_TRUE(load_helix(dir.file("check_pdb.log"), dir.file("helix.pdb"), h).ok());
    EXPECT_EQ(h.numResidue, 6);
    EXPECT_EQ(h.checkAux, 24);
}

TEST(HelixReader, TwoPointsPerResidueInFileOrder) {
    Helix h;
    ASSERT_TRUE(read(ideal_helix_pdb(6, 10, {12}), 6, h).ok());
    EXPECT_EQ(h.resNum, (std::vector<int>{10, 11, 12, 13, 14, 15}));
    EXPECT_NE(h.atomLine[0].find(" CA  ALA A  10"), std::string::npos);
    EXPECT_NE(h.atomLine[1].find(" CB  ALA A  10"), std::string::npos);
    EXPECT_NE(h.atomLine[5].find(" HA2 GLY A  12"), std::string::npos);  // glycine: HA2 stands in
    EXPECT_FLOAT_EQ(h.coord[0].x, 2.3f);
    EXPECT_FLOAT_EQ(h.coord[1].x, 3.6f);
}

TEST(HelixReader, AtomNamesAreTrimmedOfBlanksButKeepTheirCase) {
    Helix h;
    std::string pdb = ideal_helix_pdb(5);
    std::string lower = pdb;
    lower.replace(lower.find(" CA  ALA A   3"), 4, " ca ");
    EXPECT_EQ(read(lower, 5, h).message, wrongFormat);
    std::string left = pdb;
    left.replace(left.find(" CA  ALA A   3"), 4, "CA  ");
    EXPECT_TRUE(read(left, 5, h).ok());
}

TEST(HelixReader, OtherRecordsNeitherCountNorSplitAResidue) {
    std::string pdb = ideal_helix_pdb(5);
    std::size_t cb = pdb.find(" CB  ALA A   2");
    std::size_t lineStart = pdb.rfind('\n', cb) + 1;
    pdb.insert(lineStart, "TER\nREMARK 99 between\nHETATM    1  CA  HOH A   2      1.000   1.000   1.000\n");
    Helix h;
    ASSERT_TRUE(read(pdb, 5, h).ok());
    EXPECT_EQ(h.resNum[1], 2);
}

TEST(HelixReader, EveryResidueNeedsOneCaAndOneSideChainPoint) {
    Helix h;
    std::string pdb = ideal_helix_pdb(5);
    EXPECT_EQ(read(drop_lines(pdb, " CB  ALA A   2"), 5, h).message, wrongFormat);
    EXPECT_EQ(read(drop_lines(pdb, " CB  ALA A   5"), 5, h).message, wrongFormat);  // the last one
    std::string three = pdb;
    std::size_t at = three.find("ATOM", three.find(" CB  ALA A   3"));
    three.insert(at, "ATOM     99  HA2 ALA A   3       1.000   1.000   1.000  1.00  0.00           H\n");
    EXPECT_EQ(read(three, 5, h).message, wrongFormat);
    std::string twoCa = pdb;
    twoCa.replace(twoCa.find(" CB  ALA A   4"), 4, " CA ");
    EXPECT_EQ(read(twoCa, 5, h).message, wrongFormat);
    EXPECT_EQ(read("REMARK nothing\n", 5, h).message, wrongFormat);
}

TEST(HelixReader, TheFileMustHoldExactlyTheAnnouncedResidues) {
    Helix h;
    EXPECT_EQ(read(ideal_helix_pdb(7), 6, h).message, wrongFormat);
    EXPECT_EQ(read(ideal_helix_pdb(6), 7, h).message, wrongFormat);
    // A repeated number further on starts a residue of its own.
    std::string pdb = ideal_helix_pdb(5) + ideal_helix_pdb(1, 1);
    EXPECT_TRUE(read(pdb, 6, h).ok());
    EXPECT_EQ(h.resNum[5], 1);
}

TEST(HelixReader, AnAcceptedAtomLineWithoutItsZColumnsIsRejected) {
    Helix h;
    std::string pdb = ideal_helix_pdb(5);
    std::size_t ca = pdb.find(" CA  ALA A   2");
    std::size_t start = pdb.rfind('\n', ca) + 1;
    pdb.erase(start + 50, pdb.find('\n', start) - start - 50);  // 50 characters left
    EXPECT_EQ(read(pdb, 5, h).message, wrongFormat);
}

// ---------------------------------------------------------------- geometry

Point turn(Point p, float phi, float theta, float psi) {
    const float angle[3] = {phi, theta, psi};
    Point out;
    Helix::rotate(&p, angle, &out, 1);
    return out;
}

TEST(Rotation, ZeroAnglesLeavePointsUnchanged) {
    Point p{1.25f, -3.5f, 7.75f};
    Point q = turn(p, 0, 0, 0);
    EXPECT_EQ(q.x, p.x);
    EXPECT_EQ(q.y, p.y);
    EXPECT_EQ(q.z, p.z);
}

TEST(Rotation, MatchesTheClosedFormsOfTheSingleTurns) {
    const float a = 0.7f;
    const double c = std::cos(double(a)), s = std::sin(double(a));
    Point p{1.5f, -2.0f, 3.0f};
    Point z = turn(p, a, 0, 0);  // about z by -a
    EXPECT_NEAR(z.x, p.x * c + p.y * s, 1e-6);
    EXPECT_NEAR(z.y, -p.x * s + p.y * c, 1e-6);
    EXPECT_EQ(z.z, p.z);
    Point x = turn(p, 0, a, 0);  // about x by -a
    EXPECT_EQ(x.x, p.x);
    EXPECT_NEAR(x.y, p.y * c + p.z * s, 1e-6);
    EXPECT_NEAR(x.z, -p.y * s + p.z * c, 1e-6);
    Point quarter = turn({1, 0, 0}, static_cast<float>(M_PI / 2), 0, 0);
    EXPECT_NEAR(quarter.x, 0, 1e-7);
    EXPECT_NEAR(quarter.y, -1, 1e-7);
    const float th = 0.4f, ps = -1.1f;
    Point up = turn({0, 0, 1}, 2.0f, th, ps);
    EXPECT_NEAR(up.x, std::sin(ps) * std::sin(th), 1e-6);
    EXPECT_NEAR(up.y, std::cos(ps) * std::sin(th), 1e-6);
    EXPECT_NEAR(up.z, std::cos(th), 1e-6);
}

TEST(Transit, ShiftsInPlaceAndTheObjectFormUsesTheHelixCount) {
    std::vector<Point> points{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    const float shift[3] = {0.5f, -1, 2};
    Helix::transit(points.data(), points.data(), shift, 3);
    EXPECT_EQ(points[2].x, 7.5f);
    EXPECT_EQ(points[2].z, 11.0f);
    Helix h;
    h.numResidue = 1;
    std::vector<Point> out(3, Point{0, 0, 0});
    h.transit(points.data(), out.data(), shift);
    EXPECT_EQ(out[1].y, 3.0f);
    EXPECT_EQ(out[2].x, 0.0f);  // only 2 * numResidue points
}

// ---------------------------------------------------------------- alignment

Helix helix_along(Point axis, Point origin, int n = 12) {
    // A helix of four residues per turn along +z, so that the mean of any
    // four consecutive CA lies on its axis, then turned so that +z goes to axis.
    Helix h;
    h.numResidue = n;
    for (int k = 0; k < n; ++k) {
        double a = k * M_PI / 2;
        h.coord.push_back({float(2.3 * std::cos(a)), float(2.3 * std::sin(a)), float(1.5 * k)});
        h.coord.push_back({float(3.6 * std::cos(a)), float(3.6 * std::sin(a)), float(1.5 * k + 0.4)});
    }
    double len = std::sqrt(double(axis.x) * axis.x + double(axis.y) * axis.y + double(axis.z) * axis.z);
    double ux = axis.x / len, uy = axis.y / len, uz = axis.z / len;
    // Orthonormal frame (e1, e2, u).
    double ax = std::fabs(ux) < 0.9 ? 1 : 0, ay = ax == 1 ? 0 : 1;
    double e1x = ay * uz, e1y = -ax * uz, e1z = ax * uy - ay * ux;
    double l1 = std::sqrt(e1x * e1x + e1y * e1y + e1z * e1z);
    e1x /= l1, e1y /= l1, e1z /= l1;
    double e2x = uy * e1z - uz * e1y, e2y = uz * e1x - ux * e1z, e2z = ux * e1y - uy * e1x;
    for (Point& p : h.coord) {
        double x = p.x, y = p.y, z = p.z;
        p = {float(origin.x + x * e1x + y * e2x + z * ux), float(origin.y + x * e1y + y * e2y + z * uy),
             float(origin.z + x * e1z + y * e2z + z * uz)};
    }
    return h;
}

void expect_aligned(const Helix& h, bool firstUp) {
    const int n = h.numResidue;
    double c[3] = {0, 0, 0}, v[3] = {0, 0, 0};
    for (int k = 0; k < n; ++k) {
        const Point& p = h.coord[2 * k];
        c[0] += p.x, c[1] += p.y, c[2] += p.z;
        double w = k < 4 ? 0.25 : (k >= n - 4 ? -0.25 : 0);
        v[0] += w * p.x, v[1] += w * p.y, v[2] += w * p.z;
    }
    for (double& x : c) EXPECT_NEAR(x / n, 0, 1e-4);
    EXPECT_NEAR(v[0], 0, 1e-4);
    EXPECT_NEAR(v[1], 0, 1e-4);
    if (firstUp) EXPECT_GT(v[2], 1.0);
    else EXPECT_LT(v[2], -1.0);
}

TEST(Alignment, AHelixAlongPlusZIsOnlyCentred) {
    Helix h = helix_along({0, 0, -1}, {5, -2, 1});  // first residues on top
    h.move_zaxis();
    EXPECT_EQ(h.angle[0], 0.0f);
    EXPECT_EQ(h.angle[1], 0.0f);
    EXPECT_NEAR(h.center[0], 5, 1e-4);
    expect_aligned(h, true);
}

TEST(Alignment, AHelixAlongMinusZIsNotTurnedOver) {
    Helix h = helix_along({0, 0, 1}, {0, 0, 0});  // first residues lowest
    h.move_zaxis();
    EXPECT_EQ(h.angle[1], 0.0f);
    expect_aligned(h, false);
}

TEST(Alignment, HelicesAlongXAndYAreTurnedUp) {
    Helix alongX = helix_along({-1, 0, 0}, {1, 2, 3});  // first residues at larger x
    alongX.move_zaxis();
    EXPECT_NEAR(alongX.angle[0], -M_PI / 2, 1e-6);
    EXPECT_NEAR(alongX.angle[1], -M_PI / 2, 1e-6);
    expect_aligned(alongX, true);
    Helix alongY = helix_along({0, -1, 0}, {0, 0, 0});
    alongY.move_zaxis();
    EXPECT_EQ(alongY.angle[0], 0.0f);
    EXPECT_NEAR(alongY.angle[1], -M_PI / 2, 1e-6);
    expect_aligned(alongY, true);
}

TEST(Alignment, RandomOrientationsEndOnTheAxis) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> u(-1, 1);
    for (int i = 0; i < 50; ++i) {
        Point axis{u(rng), u(rng), u(rng)};
        Helix h = helix_along(axis, {10 * u(rng), 10 * u(rng), 10 * u(rng)}, 9 + i % 7);
        h.move_zaxis();
        // The first residues were higher exactly when the axis pointed down.
        expect_aligned(h, axis.z < 0);
        EXPECT_GE(h.angle[1], -M_PI / 2 - 1e-6);
        EXPECT_LE(h.angle[1], 0.0f);
    }
}

TEST(FloatComparison, FequalAndAcompare) {
    EXPECT_TRUE(fequal(1.0f, 1.0000005f));
    EXPECT_FALSE(fequal(1.0f, 1.000002f));
    EXPECT_FALSE(fequal(NAN, NAN));
    float one = 1.0f, two = 2.0f, close = 1.0000005f;
    EXPECT_EQ(acompare(&two, &one), 1);
    EXPECT_EQ(acompare(&one, &two), -1);
    EXPECT_EQ(acompare(&one, &one), 0);
    EXPECT_EQ(acompare(&one, &close), 0);
    EXPECT_EQ(acompare(&close, &one), 1);
}

}  // namespace
