// noebundle-search: the helix taken from structure files, the aligned
// template, the grid, and a search that scores exactly as noebundle does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "getpdb.h"
#include "oligomer.h"
#include "parallel.h"
#include "program.h"
#include "rank.h"
#include "report.h"
#include "run.h"
#include "score.h"
#include "prepare.h"
#include "landscape.h"
#include "search.h"
#include "support.h"
#include "text.h"

namespace {

const std::string real = std::string(EXAMPLES_DIR);

// The helix text read back by the helix reader, aligned as a run aligns it.
Helix read_back(const std::string& pdbText) {
    Helix h;
    int atoms;
    count_residues(pdbText, h.numResidue, atoms);
    std::istringstream in(pdbText);
    EXPECT_TRUE(parse_helix_pdb(in, "h", h).ok());
    h.move_zaxis();
    return h;
}

void expect_template_on_helix(const std::string& pdbText, const Helix& h) {
    std::istringstream in(aligned_template(pdbText, h.center, h.angle));
    int k = 0;
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.size(), 80u);
        if (line.compare(12, 4, " CA ") != 0) continue;
        const Point& p = h.coord[2 * k++];
        EXPECT_NEAR(to_float(cut(line, 30, 8)), p.x, 0.0005 + 1e-6);
        EXPECT_NEAR(to_float(cut(line, 38, 8)), p.y, 0.0005 + 1e-6);
        EXPECT_NEAR(to_float(cut(line, 46, 8)), p.z, 0.0005 + 1e-6);
    }
    EXPECT_EQ(k, h.numResidue);
}

TEST(Preparation, BM2ChainAFromPdbAndFromGzippedMmcif) {
    std::string pdb, cif;
    HelixChoice a;
    a.chain = "A";
    ASSERT_TRUE(extract_helix(real + "/bm2/2kix_model1.pdb", a, pdb).ok());
    ASSERT_TRUE(extract_helix(std::string(TEST_DATA) + "/2kix.cif.gz", a, cif).ok());
    int residues, atoms;
    count_residues(pdb, residues, atoms);
    EXPECT_EQ(residues, 33);
    EXPECT_EQ(atoms, 557);
    Helix h = read_back(pdb), fromCif = read_back(cif);
    expect_template_on_helix(pdb, h);
    for (int i = 0; i < h.numPoint(); ++i) EXPECT_EQ(h.coord[i].x, fromCif.coord[i].x);
    EXPECT_NE(pdb.find("ATOM      2  CA  MET A   1      35.086 -20.662  -6.697  1.00  0.00           C  \n"),
              std::string::npos);
}

TEST(Preparation, GlycophorinModelOneChainAResidues70To95) {
    std::string pdb;
    HelixChoice c;
    c.chain = "A";
    c.model = 1;
    ASSERT_TRUE(parse_range("70-95", c.first, c.last));
    c.range = true;
    ASSERT_TRUE(extract_helix(real + "/gpa/1afo.pdb", c, pdb).ok());
    Helix h = read_back(pdb);
    EXPECT_EQ(h.numResidue, 26);
    EXPECT_EQ(h.resNum.front(), 70);
    EXPECT_EQ(h.resNum.back(), 95);
    expect_template_on_helix(pdb, h);
    HelixChoice twenty = c;
    twenty.model = 20;
    std::string other;
    ASSERT_TRUE(extract_helix(real + "/gpa/1afo.pdb", twenty, other).ok());
    EXPECT_NE(other, pdb);
}

TEST(Preparation, ClearErrors) {
    std::string pdb;
    HelixChoice c;
    const std::string mp6 = std::string(TEST_DATA) + "/1mp6.pdb";
    EXPECT_EQ(extract_helix(mp6, c, pdb).message,
              "[Error] Residue GLY 34 of chain A in '" + mp6 + "' has neither CB nor HA2");
    c.chain = "Q";
    EXPECT_EQ(extract_helix(mp6, c, pdb).message, "[Error] Chain Q is not in model 1 of '" + mp6 + "'; its chains are A");
    c.chain.clear();
    c.model = 2;
    EXPECT_EQ(extract_helix(mp6, c, pdb).message, "[Error] Model 2 is not in '" + mp6 + "'");
    c.model = 1;
    c.range = true;
    c.first = 500, c.last = 600;
    EXPECT_EQ(extract_helix(mp6, c, pdb).message, "[Error] No residue with a CA in chain A of '" + mp6 + "'");
    EXPECT_EQ(extract_helix("/no/such.pdb", c, pdb).message, "[Error] Can not open the file '/no/such.pdb'");
    int first, last;
    EXPECT_TRUE(parse_range("-3-20", first, last));
    EXPECT_EQ(first, -3);
    for (const char* bad : {"20-3", "a-b", "5", "5-", "1-2x"}) EXPECT_FALSE(parse_range(bad, first, last)) << bad;
}

TEST(Grid, DefaultStepsAndValuesAsTheCandidateFileHoldsThem) {
    const Grid g = make_grid(5, 3, 15, 0.5);
    EXPECT_EQ(g.phi.size(), 72u);
    EXPECT_EQ(g.theta.size(), 37u);
    EXPECT_EQ(g.radius.size(), 25u);
    EXPECT_EQ(g.size(), 4795200u);
    EXPECT_EQ(g.theta.back(), as_written(M_PI));
    EXPECT_EQ(g.phi.back(), as_written(355 * M_PI / 180));
    EXPECT_EQ(g.radius.back(), 15.0f);
    for (std::uint64_t i : {std::uint64_t(0), std::uint64_t(1), std::uint64_t(12345), g.size() - 1}) {
        const CandidateRow row = g.row(i);
        EXPECT_EQ(parse_candidate_line(candidate_line(row)), row);
    }
    EXPECT_EQ(g.row(25 * 72 + 3), (CandidateRow{g.phi[0], g.theta[1], g.psi[0], g.radius[3], 0, 0}));
    const Grid odd = make_grid(7, 4, 5, 0.3);
    EXPECT_EQ(odd.phi.size(), 52u);
    EXPECT_EQ(odd.theta.size(), 26u);
    EXPECT_EQ(odd.radius.size(), 4u);
}

TEST(Grid, HitsOrderByScoreThenGridOrderWithNaNLast) {
    EXPECT_TRUE(better({0.1f, 9}, {0.2f, 1}));
    EXPECT_TRUE(better({0.1f, 1}, {0.1f, 2}));
    EXPECT_TRUE(better({100.0f, 9}, {NAN, 1}));
    EXPECT_TRUE(better({NAN, 1}, {NAN, 2}));
}

class SearchOnBM2 : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(load_bm2_example(4)); }
};

TEST_F(SearchOnBM2, EveryPlacementScoresAsNoebundleScoresItsLine) {
    const Grid grid = make_grid(40, 5, 9, 2);
    const Scorer scorer(helix, res, param.numProtomer);
    const SearchResult all = search(scorer, grid, grid.size());
    ASSERT_EQ(all.best.size(), grid.size());
    std::vector<Hit> literal;
    for (std::uint64_t i = 0; i < grid.size(); ++i)
        literal.push_back({scoring_function(parse_candidate_line(candidate_line(grid.row(i)))), i});
    std::sort(literal.begin(), literal.end(), better);
    for (std::size_t i = 0; i < literal.size(); ++i) {
        ASSERT_EQ(all.best[i].index, literal[i].index);
        ASSERT_EQ(std::memcmp(&all.best[i].score, &literal[i].score, sizeof(float)), 0);
    }
    // The landscape holds the best score over phi and psi of each (theta, radius).
    for (std::size_t t = 0; t < grid.theta.size(); ++t)
        for (std::size_t r = 0; r < grid.radius.size(); ++r) {
            float low = INFINITY;
            for (const Hit& h : literal) {
                const CandidateRow row = grid.row(h.index);
                if (row[1] == grid.theta[t] && row[3] == grid.radius[r]) low = std::min(low, h.score);
            }
            EXPECT_EQ(all.landscape[t * grid.radius.size() + r], low);
        }
}

TEST_F(SearchOnBM2, OneAndTwoThreadsKeepTheSameBest) {
    const Grid grid = make_grid(30, 4, 10, 1);
    const Scorer scorer(helix, res, param.numProtomer);
    set_worker_count(1);
    const SearchResult one = search(scorer, grid, 50);
    set_worker_count(2);
    const SearchResult two = search(scorer, grid, 50);
    set_worker_count(0);
    ASSERT_EQ(one.best.size(), 50u);
    for (std::size_t i = 0; i < 50; ++i) EXPECT_EQ(one.best[i].index, two.best[i].index);
    EXPECT_EQ(one.landscape, two.landscape);
    const std::string svg = landscape_svg(grid, one);
    EXPECT_NE(svg.find("radius (\u00c5)"), std::string::npos);
    EXPECT_NE(svg.find("theta (degrees)"), std::string::npos);
    EXPECT_NE(svg.find("<circle"), std::string::npos);
}

// ------------------------------------------------------------- the program


TEST(SearchProgram, UsageAndOptions) {
    TempDir dir;
    RunResult none = run_search({}, dir.path());
    EXPECT_EQ(none.out, "[Error] Usage: noebundle-search PARAMETER_FILE [options]\n");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(run_search({"--help"}, dir.path()).status, 0);
    EXPECT_EQ(run_search({"--version"}, dir.path()).out.rfind("noebundle-search ", 0), 0u);
    Workspace w = make_workspace(dir, 8, 3, sampleRestraints, "");
    RunResult bad = run_search({w.params, "--keep", "-4"}, dir.path());
    EXPECT_EQ(bad.out, "[Error] Wrong option or value: --keep -4\n");
    EXPECT_EQ(run_search({w.params, "--map"}, dir.path()).out, "[Error] Option --map needs a value\n");
    EXPECT_EQ(run_search({w.params, "--radius", "9:3:1"}, dir.path()).out,
              "[Error] The radius range must run from its beginning up to its end in positive steps\n");
}

TEST(SearchProgram, PreparesTheFolderAndNeverOverwritesADifferentHelix) {
    TempDir dir;
    const std::string noe = read_text(real + "/bm2/bm2.noe");
    Workspace w = make_workspace(dir, 8, 4, noe, "");
    const std::string helixBefore = read_text(dir.file("helix.pdb"));
    const std::string from = real + "/bm2/2kix_model1.pdb";
    RunResult refused = run_search({w.params, "--from", from}, dir.path());
    EXPECT_EQ(refused.out, "[Error] '" + dir.file("helix.pdb") + "' already holds a different helix; --force replaces it\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(read_text(dir.file("helix.pdb")), helixBefore);
    RunResult ok = run_search({w.params, "--from", from, "--force", "--angle-step", "30", "--radius", "6:8:1",
                               "--keep", "7", "--map", dir.file("map.svg")}, dir.path());
    ASSERT_EQ(ok.status, 0) << ok.out;
    EXPECT_EQ(ok.err, "");  // no progress bar without a terminal
    EXPECT_EQ(read_text(dir.file("check_pdb.log")), "33\n557\n");
    const std::vector<std::string> kept = lines_of(read_text(dir.file("abc.cs")));
    EXPECT_EQ(kept.size(), 7u);
    EXPECT_TRUE(fs::exists(dir.file("map.svg")));
    EXPECT_NE(ok.out.find("Placements searched: 3024\n"), std::string::npos);
    // The same again is no change of the helix, so it needs no --force.
    EXPECT_EQ(run_search({w.params, "--from", from, "--angle-step", "30", "--radius", "6:8:1"}, dir.path()).status, 0);
    // noebundle then prints, as Delta, the scores of the lines the search kept, best first.
    RunResult ranked = run_noebundle({w.params}, dir.path());
    ASSERT_EQ(ranked.status, 0) << ranked.out;
    Helix h;
    ASSERT_TRUE(load_helix(dir.file("check_pdb.log"), dir.file("helix.pdb"), h).ok());
    h.move_zaxis();
    Restraint r{};
    std::istringstream restraints(noe);
    Parameter p;
    ASSERT_TRUE(parse_restraints(restraints, "n", h.resNum, p.pairDistance, p.pairTolerance, r).ok());
    const Scorer scorer(h, r, 4);
    Scorer::Scratch scratch = scorer.scratch();
    const std::vector<std::string> printed = lines_of(ranked.out);
    for (std::size_t i = 0; i < kept.size(); ++i)
        EXPECT_EQ(printed[2 + i], table_row(i + 1, scorer.score(parse_candidate_line(kept[i]), scratch)));
}

}  // namespace
