// The restraint violations of noebundle-analyze against Delta.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "formats/candidates.h"
#include "run/oligomer.h"
#include "run/score.h"
#include "support.h"
#include "analysis/violations.h"

namespace {

// Delta is the root mean square of the violations, for every candidate of
// the example under either restraint model, and a structure with Delta 0
// violates nothing.
TEST(Violations, AgreeWithDelta) {
    for (NoeModel model : {NoeModel::window, NoeModel::upper}) {
        Inputs in;
        ASSERT_TRUE(load_bm2_example(in, 4));
        apply_noe_model(model, in.res);
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
}

}  // namespace
