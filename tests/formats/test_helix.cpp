// The helix reader and the alignment of the helix axis on +z.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "formats/helix.h"
#include "support.h"

namespace {

Status read(const std::string& pdb, int numResidue, Helix& h) {
    std::istringstream in(pdb);
    h = Helix();
    h.numResidue = numResidue;
    return parse_helix_pdb(in, "helix.pdb", h);
}

// The PDB text with the first occurrence of piece replaced.
std::string edit(std::string pdb, const std::string& piece, const std::string& replacement) {
    return pdb.replace(pdb.find(piece), piece.size(), replacement);
}

TEST(HelixReader, WhichAtomLinesMakeAResidue) {
    const std::string five = ideal_helix_pdb(5);
    // Files refused are the bad-input catalogue's.
    struct Case { const char* what; std::string pdb; int numResidue; };
    const Case cases[] = {
        {"names are trimmed", edit(five, " CA  ALA A   3", "CA   ALA A   3"), 5},
        {"other records between", edit(five, "ATOM      8", "TER\nREMARK 9\nHETATM    1  CA  HOH A   2      1.000   1.000   1.000\nATOM      8"), 5},
        {"a number repeated later", five + ideal_helix_pdb(1), 6},
    };
    Helix h;
    for (const Case& c : cases) EXPECT_TRUE(read(c.pdb, c.numResidue, h).ok()) << c.what;
    EXPECT_EQ(h.resNum, (std::vector<int>{1, 2, 3, 4, 5, 1}));
    ASSERT_TRUE(read(ideal_helix_pdb(6, 10, {12}), 6, h).ok());
    EXPECT_NE(h.atomLine[1].find(" CB  ALA A  10"), std::string::npos);
    EXPECT_NE(h.atomLine[5].find(" HA2 GLY A  12"), std::string::npos);  // glycine: HA2 stands in
    EXPECT_EQ(h.resNum[2], 12);
    EXPECT_FLOAT_EQ(h.coord[0].x, 2.3f);
    EXPECT_FLOAT_EQ(h.coord[1].x, 3.6f);
}

// Helices of four residues a turn (so that the mean of any four consecutive
// CA lies on the axis), first residue lowest, along many axes through random points.
TEST(Alignment, AnyOrientationEndsCentredOnTheAxisWithoutTurningOver) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1, 1);
    // The axis and whether the first residues end on top: exactly when they were higher.
    std::vector<std::pair<Point, bool>> axes = {{{0, 0, 1}, false}, {{0, 0, -1}, true}, {{-1, 0, 0}, true}, {{0, -1, 0}, true}};
    for (int i = 0; i < 50; ++i) {
        const Point axis{float(u(rng)), float(u(rng)), float(u(rng))};
        axes.push_back({axis, axis.z < 0});
    }
    for (std::size_t i = 0; i < axes.size(); ++i) {
        const double len = std::hypot(axes[i].first.x, axes[i].first.y, axes[i].first.z);
        const double ux = axes[i].first.x / len, uy = axes[i].first.y / len, uz = axes[i].first.z / len;
        const bool steep = std::fabs(ux) < 0.9;  // e1 perpendicular to the axis, e2 = axis x e1
        const double l1 = std::hypot(steep ? 0 : uz, steep ? uz : 0, steep ? uy : ux);
        const double e1x = (steep ? 0 : uz) / l1, e1y = (steep ? -uz : 0) / l1, e1z = (steep ? uy : -ux) / l1;
        const double e2x = uy * e1z - uz * e1y, e2y = uz * e1x - ux * e1z, e2z = ux * e1y - uy * e1x;
        const double o[3] = {10 * u(rng), 10 * u(rng), 10 * u(rng)};
        Helix h;
        h.numResidue = 9 + i % 7;
        for (int k = 0; k < 2 * h.numResidue; ++k) {
            const double a = (k / 2) * M_PI / 2, r = k % 2 ? 3.6 : 2.3, x = r * std::cos(a), y = r * std::sin(a),
                         z = 1.5 * (k / 2) + 0.4 * (k % 2);
            h.coord.push_back({float(o[0] + x * e1x + y * e2x + z * ux), float(o[1] + x * e1y + y * e2y + z * uy),
                               float(o[2] + x * e1z + y * e2z + z * uz)});
        }
        align_on_z(h.coord, h.numResidue, h.center, h.angle);
        const int n = h.numResidue;
        double c[3] = {0, 0, 0}, v[3] = {0, 0, 0};  // CA centroid; first four CA minus last four
        for (int k = 0; k < n; ++k) {
            const Point& p = h.coord[2 * k];
            const double w = k < 4 ? 0.25 : (k >= n - 4 ? -0.25 : 0);
            c[0] += p.x / n, c[1] += p.y / n, c[2] += p.z / n;
            v[0] += w * p.x, v[1] += w * p.y, v[2] += w * p.z;
        }
        for (double x : {c[0], c[1], c[2], v[0], v[1]}) EXPECT_NEAR(x, 0, 1e-4) << i;
        EXPECT_GT(axes[i].second ? v[2] : -v[2], 1.0) << i;
        EXPECT_GE(h.angle[1], -M_PI / 2 - 1e-6);
        EXPECT_LE(h.angle[1], 0.0f);
    }
}

}  // namespace
