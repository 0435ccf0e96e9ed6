// Superposition and leader clusters of oligomers.
#include <gtest/gtest.h>

#include <algorithm>

#include "run/cluster.h"
#include "run/superpose.h"
#include "support.h"

namespace {

// The CA atoms of the BM2 helix placed as a tetramer.
std::vector<Point> bm2_ca() {
    Inputs in;
    load_bm2_example(in, 4);
    std::vector<Point> ca;
    for (int k = 0; k < in.helix.numResidue; ++k) ca.push_back(in.helix.coord[2 * k]);
    return ca;
}

Oligomer bm2_ca_tetramer() { return place_oligomer(bm2_ca(), CandidateRow{0.4f, 0.3f, 1.2f, 7.5f, 0, 0}, 4); }

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

// Four points a few Angstrom apart, turned and moved: superposed exactly,
// each mobile point onto its target.
TEST(Superposition, MovesTheMobilePointsOntoTheTarget) {
    const std::vector<Point> target = {{0, 0, 0}, {1.5f, 0, 0}, {0, 2, 0}, {0, 0, 3}};
    const float turn[3] = {0.3f, 1.1f, 2.0f};
    std::vector<Point> mobile;
    for (const Point& q : target) mobile.push_back(apply(rotation_matrix(turn), Point{q.x - 7, q.y + 2, q.z + 5}));
    const Superposition s = superpose(target, mobile);
    EXPECT_LT(s.rmsd, 1e-4);
    for (std::size_t i = 0; i < target.size(); ++i) EXPECT_LT(distance(s.apply(mobile[i]), target[i]), 1e-4f) << i;
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

// Rings compared from their first protomers give the RMSD of the whole
// rings, for one to five protomers, near and far placements alike.
TEST(Superposition, RingsFromTheirFirstProtomers) {
    const std::vector<Point> ca = bm2_ca();
    const CandidateRow rows[] = {{0.4f, 0.3f, 1.2f, 7.5f, 0, 0}, {0.5f, 0.3f, 1.2f, 7.5f, 0, 0},
                                 {2.0f, 1.1f, 4.0f, 9.0f, 0, 0}, {0.4f, 0.3f, 1.2f, 4.0f, 0, 0}};
    for (int n = 1; n <= 5; ++n) {
        const RingCorrelation rings(n);
        for (const CandidateRow& row : rows) {
            const Oligomer a = place_oligomer(ca, rows[0], n), b = place_oligomer(ca, row, n);
            const Assignment whole = best_assignment(a, b), ring = rings.best(a[0], b[0]);
            EXPECT_NEAR(ring.rmsd, whole.rmsd, 1e-4) << n << " " << row[0];
        }
    }
}

}  // namespace
