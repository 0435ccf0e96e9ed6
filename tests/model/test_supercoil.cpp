// The supercoil bend on a built helix: its curvature, the helix's axis kept
// at one distance from the bundle's axis, residues moved as rigid bodies.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "formats/helix.h"
#include "geometry/geometry.h"
#include "model/helix_builder.h"
#include "model/supercoil.h"

namespace {

const std::string sequence = "SSEYIIFCIFLIAAVAWLIVIIALLKFIR";  // a transmembrane helix of 29 residues

struct Aligned {
    std::string text;
    float center[3], angle[3];
};

Aligned built_helix() {
    Aligned a{helix_pdb_text(build_ideal_helix(sequence, 1)), {}, {}};
    Helix helix;
    count_residues(a.text, helix.numResidue, helix.checkAux);
    std::istringstream in(a.text);
    EXPECT_TRUE(parse_helix_pdb(in, "helix.pdb", helix).ok());
    align_on_z(helix.coord, helix.numResidue, a.center, a.angle);
    return a;
}

std::vector<Point> atom_points(const std::string& text, const char* name = nullptr) {
    std::vector<Point> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("ATOM", 0) == 0 && (!name || line.substr(12, 4) == name)) out.push_back(pdb_point(line));
    return out;
}

// Distance from the bundle's axis (z) of the helix's axis at the start, the
// middle and the end (means of four CA), placed by row in the frame of a.
std::vector<double> axis_distances(const std::string& text, const Aligned& a, const CandidateRow& row) {
    const Rotation align = rotation_matrix(a.angle), place = rotation_matrix(&row[0]);
    std::vector<Point> cas;
    for (Point p : atom_points(text, " CA ")) {
        const Point q = apply(place, apply(align, {p.x - a.center[0], p.y - a.center[1], p.z - a.center[2]}));
        cas.push_back({q.x + row[3], q.y, q.z});
    }
    std::vector<double> out;
    for (std::size_t start : {std::size_t(0), cas.size() / 2 - 2, cas.size() - 4}) {
        double x = 0, y = 0;
        for (std::size_t k = start; k < start + 4; ++k) x += cas[k].x / 4, y += cas[k].y / 4;
        out.push_back(std::hypot(x, y));
    }
    return out;
}

}  // namespace

TEST(Supercoil, KeepsTheTiltedHelixAtOneDistanceFromTheBundleAxis) {
    const Aligned a = built_helix();
    // The ideal helix turns 99.4 degrees a residue (3.62 a turn) and rises
    // 1.56 A; a heptad seam then winds once about the axis every 160 A.
    const HelixTwist twist = helix_twist(a.text);
    EXPECT_NEAR(twist.degrees, 99.36, 0.01);
    EXPECT_NEAR(twist.rise, 1.558, 0.001);
    const double perTurn = twist.rise * 360 / (360 / 3.5 - twist.degrees), tilt = std::asin(2 * M_PI * 7.5 / perTurn);
    EXPECT_NEAR(perTurn, 160.1, 0.1);
    // At 7.5 A from the axis that is a tilt of 17 degrees; a placement with
    // that tilt across the way to the axis, left-handed, is bent so that it
    // stays at 7.5 A (however the placement itself tilts, the bend is the same).
    const CandidateRow row = {0.3f, float(tilt), float(M_PI), 7.5f, 0, 0};
    const SupercoilBend bend = supercoil_bend(row, twist);
    EXPECT_NEAR(bend.curvature, std::sin(tilt) * std::sin(tilt) / 7.5, 1e-6);
    EXPECT_NEAR(bend.tilt, tilt * 180 / M_PI, 1e-4);
    EXPECT_EQ(supercoil_bend({0.3f, 0.1f, float(M_PI), 7.5f, 0, 0}, twist).curvature, bend.curvature);
    EXPECT_NEAR(std::hypot(bend.toward[0], bend.toward[1]), 1.0, 1e-6);
    EXPECT_NEAR(bend.toward[2], 0.0, 1e-6);
    const std::string bent = supercoiled_pdb_text(a.text, a.center, a.angle, bend);
    // The straight helix drifts 1.9 A away from the axis toward its ends;
    // the supercoiled one stays within about 0.5 A (the arc lies in one
    // plane, where the supercoil's path also winds about the axis).
    const std::vector<double> straight = axis_distances(a.text, a, row), coiled = axis_distances(bent, a, row);
    EXPECT_GT(straight[0] - straight[1], 1.8);
    EXPECT_GT(straight[2] - straight[1], 1.8);
    EXPECT_LT(std::fabs(coiled[0] - coiled[1]), 0.6);
    EXPECT_LT(std::fabs(coiled[2] - coiled[1]), 0.6);
    // A helix with the curvature asked already is left as it is, and so is
    // one curved more than asked (nearer the axis the seam asks less).
    EXPECT_TRUE(supercoiled_pdb_text(bent, a.center, a.angle, bend) == bent);
    const SupercoilBend nearer = supercoil_bend({0.3f, float(tilt), float(M_PI), 6.0f, 0, 0}, twist);
    EXPECT_NEAR(nearer.curvature, bend.curvature * 0.8, 1e-6);
    EXPECT_TRUE(supercoiled_pdb_text(bent, a.center, a.angle, nearer) == bent);
    // Within a residue nothing moves apart; the peptide bonds between residues
    // stretch by far less than their spread in real structures.
    const std::vector<Point> before = atom_points(a.text), after = atom_points(bent);
    ASSERT_EQ(before.size(), after.size());
    std::istringstream in(a.text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("ATOM", 0) == 0) lines.push_back(line);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        for (std::size_t j = i + 1; j < lines.size() && j < i + 40; ++j) {
            const bool sameResidue = lines[i].substr(22, 4) == lines[j].substr(22, 4);
            const float was = distance(before[i], before[j]), now = distance(after[i], after[j]);
            if (sameResidue) {
                EXPECT_NEAR(now, was, 0.003f) << lines[i] << "\n" << lines[j];
            } else if (was < 1.5f) {
                EXPECT_NEAR(now, was, 0.02f) << lines[i] << "\n" << lines[j];
            }
        }
}

TEST(Supercoil, LeavesStraightWhatNeedsNoWinding) {
    const Aligned a = built_helix();
    // Along the axis; on it; leaning toward it (a cone); a right-handed
    // crossing, whose helices meet at a point rather than wind.
    for (const CandidateRow& row : {CandidateRow{0.5f, 0.0f, 1.0f, 7.5f, 0, 0}, CandidateRow{0.5f, 0.4f, 1.0f, 0.0f, 0, 0},
                                    CandidateRow{0.5f, 0.4f, float(M_PI / 2), 7.5f, 0, 0},
                                    CandidateRow{0.5f, 0.4f, 0.0f, 7.5f, 0, 0}}) {
        const SupercoilBend bend = supercoil_bend(row, helix_twist(a.text));
        EXPECT_EQ(bend.curvature, 0.0);
        EXPECT_EQ(bend.rightHanded, row[2] == 0.0f);
        EXPECT_EQ(supercoiled_pdb_text(a.text, a.center, a.angle, bend), a.text);
    }
    // A left-handed placement, but a helix that turns as fast as the seam
    // (3.5 residues a turn or fewer), or too short to tell, or one too far out
    // to wind once in the length per turn (2 pi r = 160 A at r = 25.5 A).
    const CandidateRow left = {0.3f, 0.3f, float(M_PI), 7.5f, 0, 0};
    EXPECT_GT(supercoil_bend(left, {102.0, 1.5}).curvature, 0.0);
    for (const HelixTwist& twist : {HelixTwist{360 / 3.5, 1.5}, HelixTwist{105.0, 1.5}, HelixTwist{}})
        EXPECT_EQ(supercoil_bend(left, twist).curvature, 0.0) << twist.degrees;
    EXPECT_GT(supercoil_bend({0.3f, 0.3f, float(M_PI), 25.0f, 0, 0}, helix_twist(a.text)).curvature, 0.0);
    EXPECT_EQ(supercoil_bend({0.3f, 0.3f, float(M_PI), 26.0f, 0, 0}, helix_twist(a.text)).curvature, 0.0);
    EXPECT_EQ(helix_twist(a.text.substr(0, a.text.find(" CA ", a.text.find(" CA ") + 1))).degrees, 0.0);
}
