// noebundle-search: the helix taken from structure files, the aligned
// template, the grid, and a search that scores exactly as noebundle does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>

#include "run/oligomer.h"
#include "formats/prepare.h"
#include "search/search.h"
#include "run/parallel.h"
#include "support.h"
#include "base/text.h"

namespace {

TEST(Preparation, BM2ChainAFromPdbAndFromGzippedMmcifAndItsAlignedTemplate) {
    std::string pdb, cif;
    HelixChoice a;
    a.chain = "A";
    ASSERT_TRUE(extract_helix(EXAMPLES_DIR "/bm2/2kix_model1.pdb", a, pdb).ok());
    ASSERT_TRUE(extract_helix(TEST_DATA "/2kix.cif.gz", a, cif).ok());
    EXPECT_EQ(pdb, cif);
    EXPECT_NE(pdb.find("ATOM      2  CA  MET A   1      35.086 -20.662  -6.697  1.00  0.00           C  \n"),
              std::string::npos);
    Helix h;
    int atoms;
    count_residues(pdb, h.numResidue, atoms);
    EXPECT_EQ(h.numResidue, 33);
    EXPECT_EQ(atoms, 557);
    std::istringstream in(pdb);
    ASSERT_TRUE(parse_helix_pdb(in, "h", h).ok());
    align_on_z(h.coord, h.numResidue, h.center, h.angle);
    // The template's CA atoms lie on the aligned helix's.
    int k = 0;
    for (const std::string& line : lines_of(aligned_template(pdb, h.center, h.angle))) {
        if (line.compare(12, 4, " CA ") != 0) continue;
        const Point p = pdb_point(line), q = h.coord[2 * k++];
        for (float d : {p.x - q.x, p.y - q.y, p.z - q.z}) EXPECT_LE(std::fabs(d), 0.0005 + 1e-6);
    }
    EXPECT_EQ(k, 33);
}

// A side chain in two alternate locations: one of each atom in the helix
// taken from the file and in the template of a helix file as it is.
TEST(Preparation, OneConformationOfAtomsInAlternateLocations) {
    std::string pdb;
    for (const std::string& line : lines_of(ideal_helix_pdb(8))) {
        if (line.size() < 17 || line.compare(12, 4, " CB ") != 0) {
            pdb += line + "\n";
            continue;
        }
        for (const char* alt : {"A", "B"}) pdb += line.substr(0, 16) + alt + line.substr(17, 13) + (*alt == 'A' ? line.substr(30, 8) : "   9.999") + line.substr(38) + "\n";
    }
    std::string helix;
    ASSERT_TRUE(extract_helix_from_bytes(pdb, "alt.pdb", HelixChoice(), helix).ok());
    const float none[3] = {0, 0, 0};
    for (const std::string& text : {helix, aligned_template(pdb, none, none)}) {
        int cb = 0;
        for (const std::string& line : lines_of(text)) {
            if (line.size() < 38 || line.compare(12, 4, " CB ") != 0) continue;
            ++cb;
            EXPECT_EQ(line[16], ' ');
            EXPECT_NE(line.substr(30, 8), "   9.999");  // the first location
        }
        EXPECT_EQ(cb, 8) << text;
    }
}

// What gemmi's PDB reader would take as a record of its own: the rest of a
// line past column 120 after a byte above 127 (a CA elsewhere, taken first;
// a short SSBOND record, which it reads past the end), the line after a zero
// byte (the CA left out). None changes the helix taken.
TEST(Preparation, NoRecordsFromWithinALine) {
    const std::string clean = ideal_helix_pdb(8);
    const std::vector<std::string> lines = lines_of(clean);  // REMARK, then N and CA of residue 1
    const std::string past120 = std::string(40, ' ') + "\xae";
    const std::string moved = lines[2].substr(0, 30) + "   9.999" + lines[2].substr(38);
    const std::string ssbond = "SSBOND   1 CYS A    1    CYS A    2" + std::string(38, ' ');
    std::string expected, helix;
    ASSERT_TRUE(extract_helix_from_bytes(clean, "h.pdb", HelixChoice(), expected).ok());
    for (const std::string& line : {lines[1] + past120 + moved, lines[1] + past120 + ssbond, lines[1].substr(0, 79) + '\0'}) {
        std::string text = clean;
        text.replace(text.find(lines[1]), lines[1].size(), line);
        EXPECT_EQ(extract_helix_from_bytes(text, "h.pdb", HelixChoice(), helix).message, "");
        EXPECT_EQ(helix, expected);
    }
}

TEST(Grid, ValuesAsTheCandidateFileHoldsThemAndHitsInOrder) {
    const Grid g = make_grid(5, 3, 15, 0.5);
    EXPECT_EQ(g.size(), 72u * 37 * 72 * 25);
    EXPECT_EQ(g.theta.back(), as_written(M_PI));
    EXPECT_EQ(g.radius.back(), 15.0f);
    for (std::uint64_t i : {std::uint64_t(0), std::uint64_t(12345), g.size() - 1})
        EXPECT_EQ(parse_candidate_line(candidate_line(g.row(i))), g.row(i));
    EXPECT_EQ(g.row(25 * 72 + 3), (CandidateRow{g.phi[0], g.theta[1], g.psi[0], g.radius[3], 0, 0}));
    EXPECT_EQ(make_grid(7, 4, 5, 0.3).size(), 52u * 26 * 52 * 4);
}

TEST(Search, EveryPlacementScoresAsNoebundleScoresItsLine) {
    Inputs in;
    ASSERT_TRUE(load_bm2_example(in, 4));
    const Grid grid = make_grid(40, 5, 9, 2);
    const SearchResult all = search(Scorer(in.helix, in.res, 4), grid, grid.size());
    ASSERT_EQ(all.best.size(), all.searched);
    std::vector<Point> scratch(in.helix.numPoint());
    std::vector<Hit> literal;
    // The landscape: the best score over phi and psi of each (theta, radius); NaN for the twins left out.
    std::vector<float> landscape(grid.theta.size() * grid.radius.size(), NAN);
    const std::size_t perTheta = grid.psi.size() * grid.radius.size();
    for (std::uint64_t i = 0; i < grid.size(); ++i) {
        const std::size_t theta = i / perTheta % grid.theta.size();
        if (!grid.one_twin(i / perTheta / grid.theta.size(), theta)) continue;
        const CandidateRow row = parse_candidate_line(candidate_line(grid.row(i)));
        literal.push_back({placed_score(in.helix, scratch, in.res, 4, row), i});
        float& low = landscape[theta * grid.radius.size() + i % grid.radius.size()];
        low = std::fmin(low, literal.back().score);
    }
    // Best first: scores equal to the millionth in grid order, NaN last.
    auto millionths = [](float score) { return std::isnan(score) ? INFINITY : std::floor(double(score) * 1e6); };
    std::stable_sort(literal.begin(), literal.end(),
                     [&](const Hit& a, const Hit& b) { return millionths(a.score) < millionths(b.score); });
    for (std::size_t i = 0; i < literal.size(); ++i) {
        ASSERT_EQ(all.best[i].index, literal[i].index);
        ASSERT_EQ(std::memcmp(&all.best[i].score, &literal[i].score, sizeof(float)), 0);
    }
    ASSERT_EQ(all.landscape.size(), landscape.size());
    EXPECT_EQ(std::memcmp(all.landscape.data(), landscape.data(), landscape.size() * sizeof(float)), 0);
}

}  // namespace
