// The restraint violations of noebundle-analyze against Delta.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "analysis_report.h"
#include "candidates.h"
#include "oligomer.h"
#include "score.h"
#include "support.h"
#include "violations.h"

namespace {

// Delta is the root mean square of the violations, for every candidate of
// the example, and a structure with Delta 0 violates nothing.
TEST(Violations, AgreeWithDelta) {
    Inputs in;
    ASSERT_TRUE(load_bm2_example(in, 4));
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
        EXPECT_EQ(count_violations(checks).violated == 0, delta == 0.0f);
    }
}

// Each row names the neighbour's chain for the second atom: B for protomer
// 2, D for the last of four.
TEST(Violations, TableNamesTheNeighboursChain) {
    Inputs in;
    ASSERT_TRUE(load_bm2_example(in, 4));
    const std::vector<std::string> lines = lines_of(read_text(in.param.noeFile));
    std::vector<RestraintCheck> checks(in.res.numRestraint, RestraintCheck{5.0f, 2, 0.0f});
    checks[1].neighbour = 4;
    const std::vector<std::string> csv =
        lines_of(violations_csv({checks}, RestraintNames{in.res, lines, in.helix.resNum, 4}));
    ASSERT_EQ(csv.size(), checks.size() + 1);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string& row = csv[i + 1];
        const std::string chain = i == 0 ? "B" : "D";
        EXPECT_NE(row.find(",A " + stand_in_atom(in.res, int(i), 1, in.helix.resNum) + "," + chain + " " +
                           stand_in_atom(in.res, int(i), 2, in.helix.resNum) + ","), std::string::npos) << row;
        const std::string tail = ",5.000," + std::to_string(i == 0 ? 2 : 4) + "," + chain + ",0.000";
        EXPECT_EQ(row.rfind(tail), row.size() - tail.size()) << row;
    }
}

}  // namespace
