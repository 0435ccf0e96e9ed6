// The restraint violations of noebundle-analyze against Delta.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>

#include "analysis/analysis_report.h"
#include "analysis/restraint_summary.h"
#include "formats/candidates.h"
#include "run/oligomer.h"
#include "run/score.h"
#include "base/text.h"
#include "support.h"
#include "analysis/violations.h"

namespace {

// With --pack the ensemble's side chains are packed: atoms beyond CB move in
// some residue, the backbone, CB and everything else stay byte for byte.
TEST(PackedEnsemble, MovesOnlyAtomsBeyondCB) {
    TempDir dir;
    fs::copy(EXAMPLES_DIR "/bm2-prepared", dir.file("run"));
    ASSERT_EQ(run_program("noebundle", {"run/bm2.param"}, dir.path()).status, 0);
    ASSERT_EQ(run_program("noebundle-analyze", {"run/bm2.param", "--top", "3", "--out", "plain"}, dir.path()).status, 0);
    ASSERT_EQ(run_program("noebundle-analyze", {"run/bm2.param", "--top", "3", "--out", "packed", "--pack"}, dir.path()).status, 0);
    const std::vector<std::string> plain = lines_of(read_text(dir.file("plain/ensemble.pdb"))),
                                    packed = lines_of(read_text(dir.file("packed/ensemble.pdb")));
    ASSERT_EQ(plain.size(), packed.size());
    const std::set<std::string> backbone{"N", "CA", "C", "O", "OXT", "H", "H1", "H2", "H3", "HA", "HA2", "HA3", "CB"};
    int moved = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const std::string name = trim_blanks(cut(plain[i], 12, 4));
        if (plain[i].compare(0, 4, "ATOM") != 0 || backbone.count(name)) {
            EXPECT_EQ(plain[i], packed[i]);
        }
        moved += plain[i] != packed[i];
    }
    EXPECT_GT(moved, 0);
}

// Delta is the root mean square of the violations, for every candidate of
// the example under either restraint model, and a structure with Delta 0
// violates nothing.
TEST(Violations, AgreeWithDelta) {
    for (NoeModel model : {NoeModel::window, NoeModel::upper, NoeModel::reach}) {
        Inputs in;
        ASSERT_TRUE(load_bm2_example(in, 4));
        apply_noe_model(model, residue_names(in.helix), in.res);
        std::vector<Point> scratch(in.helix.numPoint());
        std::ifstream csFile(EXAMPLES_DIR "/bm2-prepared/bm2.cs");
        CandidateTable table;
        ASSERT_TRUE(parse_candidates(csFile, "bm2.cs", table).ok());
        for (const CandidateRow& row : table) {
            const PlacedPair placed = place_pair(in.helix, row, 4);
            const float delta = placement_delta(in.res, placed);
            EXPECT_EQ(delta, placed_score(in.helix, scratch, in.res, 4, row));
            const std::vector<RestraintCheck> checks = check_restraints(in.res, placed, 4);
            double sum = 0;
            for (const RestraintCheck& c : checks) sum += double(c.violation) * c.violation;
            EXPECT_NEAR(std::sqrt(sum / checks.size()), delta, 1e-4);
            EXPECT_EQ(count_violations(checks, 0).violated == 0, delta == 0.0f);
        }
    }
}

// Each row names the neighbour's chain for the second atom: D for the last of four.
TEST(Violations, TableNamesTheNeighboursChain) {
    Inputs in;
    ASSERT_TRUE(load_bm2_example(in, 4));
    const std::vector<std::string> lines = lines_of(read_text(in.param.noeFile));
    std::vector<RestraintCheck> checks(in.res.numRestraint, RestraintCheck{5.0f, 2, 0.0f});
    checks[1].neighbour = 4;
    const std::vector<std::string> csv =
        lines_of(violations_csv({checks}, RestraintNames{in.res, lines, in.helix.resNum, 4}));
    ASSERT_EQ(csv.size(), checks.size() + 1);
    const std::string& row = csv[2];  // the second restraint, to protomer 4
    EXPECT_NE(row.find(",A " + stand_in_atom(in.res, 1, 1, in.helix.resNum) + ",D " +
                       stand_in_atom(in.res, 1, 2, in.helix.resNum) + ","), std::string::npos) << row;
    EXPECT_EQ(row.rfind(",5.000,4,D,0.000"), row.size() - 16) << row;
}

// Counts are of violations above the threshold; means and largest take every structure.
TEST(Violations, CountedAboveTheThresholdAndTalliedPerRestraint) {
    const std::vector<std::vector<RestraintCheck>> checks = {
        {{9, 2, 0.0f}, {9, 2, 0.5f}, {9, 2, 0.9f}}, {{9, 2, 0.2f}, {9, 2, 0.7f}, {9, 2, 0.0f}}};
    EXPECT_EQ(count_violations(checks[0], 0.5f).violated, 1);
    EXPECT_EQ(count_violations(checks[0], 0.0f).violated, 2);
    EXPECT_EQ(count_violations(checks[1], 0.5f).largest, 0.7f);
    const std::vector<RestraintTally> t = most_violated_first(restraint_tallies(checks, 0.5f));
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(std::vector<int>({t[0].line, t[1].line, t[2].line}), std::vector<int>({2, 3, 1}));
    EXPECT_EQ(std::vector<int>({t[0].violated, t[1].violated, t[2].violated}), std::vector<int>({1, 1, 0}));
    EXPECT_FLOAT_EQ(t[0].mean, 0.6f);
    EXPECT_EQ(t[1].largest, 0.9f);
}

TEST(Violations, ThresholdInWordsWithoutTrailingZeros) {
    const std::pair<float, const char*> cases[] = {{0.5f, "0.5 \u00c5"}, {0, "0.0 \u00c5"}, {1.25f, "1.25 \u00c5"},
                                                   {0.125f, "0.125 \u00c5"}, {2, "2.0 \u00c5"}};
    for (const auto& [threshold, words] : cases) EXPECT_EQ(threshold_words(threshold), words) << threshold;
}

}  // namespace
