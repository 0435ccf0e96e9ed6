// The restraint violations of noebundle-analyze against Delta.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>

#include "analysis/analysis_report.h"
#include "analysis/cluster.h"
#include "analysis/superpose.h"
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
    for (const char* out : {"plain", "packed"}) {
        std::vector<std::string> args{"run/bm2.param", "--top", "3", "--out", out};
        if (out == std::string("packed")) args.push_back("--pack");
        ASSERT_EQ(run_program("noebundle-analyze", args, dir.path()).status, 0) << out;
    }
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
            EXPECT_EQ(count_violations(checks).violated == 0, delta == 0.0f);
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

// The CA atoms of the BM2 helix placed as a tetramer.
Oligomer bm2_ca_tetramer() {
    Inputs in;
    load_bm2_example(in, 4);
    std::vector<Point> ca;
    for (int k = 0; k < in.helix.numResidue; ++k) ca.push_back(in.helix.coord[2 * k]);
    return place_oligomer(ca, CandidateRow{0.4f, 0.3f, 1.2f, 7.5f, 0, 0}, 4);
}

// A ring numbered from another protomer and the other way round, turned and
// moved far from the origin, is the same structure: RMSD 0, and the
// assignment that undoes the renumbering.
TEST(Superposition, FindsTheRingTurnedRenumberedAndReversed) {
    const Oligomer target = bm2_ca_tetramer();
    const float turn[3] = {1.0f, 2.0f, 0.5f};
    const Rotation r = rotation_matrix(turn);
    Oligomer mobile(4);
    for (int p = 0; p < 4; ++p)  // mobile protomer p is target chain (1 - p) mod 4
        for (const Point& q : target[(5 - p) % 4]) {
            const Point t = apply(r, q);
            mobile[p].push_back({t.x + 40, t.y - 25, t.z + 60});
        }
    const Assignment a = best_assignment(target, mobile);
    EXPECT_LT(a.rmsd, 1e-3);
    EXPECT_EQ(a.direction, -1);
    EXPECT_EQ(a.start, 1);
}

// Leaders only, the first within the cutoff: the third structure lies within
// the cutoff of the second, not of the first, which leads the second's
// cluster; the fourth, the first again, joins the first cluster.
TEST(Clusters, JoinTheLeaderNotTheLastMember) {
    std::vector<Oligomer> s(4, bm2_ca_tetramer());
    for (int k = 1; k < 3; ++k)
        for (std::size_t i = 0; i < s[0][0].size(); i += 3) s[k][0][i].x += 1.5f * k;  // a kink growing with k
    const double r01 = best_assignment(s[0], s[1]).rmsd, r12 = best_assignment(s[1], s[2]).rmsd,
                 r02 = best_assignment(s[0], s[2]).rmsd;
    const double cutoff = (std::max(r01, r12) + r02) / 2;
    ASSERT_LT(std::max(r01, r12), cutoff);
    ASSERT_GT(r02, cutoff);
    const Clustering c = leader_clusters(s, cutoff);
    EXPECT_EQ(c.cluster, (std::vector<int>{1, 1, 2, 1}));  // the fourth is the first again
    EXPECT_EQ(c.leaders, (std::vector<int>{0, 2}));
    EXPECT_NEAR(c.toLeader[1], r01, 1e-9);
    EXPECT_EQ(c.toLeader[2], 0);
}

}  // namespace
