// The fast scorer against the literal score: the same bits, the same flags.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "run/score.h"
#include "support.h"

namespace {

CandidateTable random_rows(int count) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> angle(-7, 7), radius(0, 20);
    CandidateTable rows = {{NAN, 0, 0, 5, 0, 0}, {0, 0, 0, INFINITY, 0, 0}, {1e30f, -1e30f, 3, -1e30f, 0, 0}};
    for (int i = 0; i < count; ++i) rows.push_back({angle(rng), angle(rng), angle(rng), radius(rng), 0, 0});
    return rows;
}

TEST(Scorer, GivesTheBitsAndFlagsOfTheLiteralScoreOnTheExample) {
    Inputs in;
    ASSERT_TRUE(load_bm2_example(in, 4));
    std::vector<Point> scratch(in.helix.numPoint()), rotated(in.helix.numPoint()), model(in.helix.numPoint());
    std::vector<int> literalFlags(in.res.numRestraint), fastFlags(in.res.numRestraint);
    for (int protomers : {2, 4, 5, 7}) {
        const Scorer scorer(in.helix, in.res, protomers);
        Scorer::Scratch s = scorer.scratch();
        for (const CandidateRow& row : random_rows(3000)) {
            const float literal = placed_score(in.helix, scratch, in.res, protomers, row), fast = scorer.score(row, s);
            ASSERT_EQ(std::memcmp(&literal, &fast, sizeof(float)), 0) << literal << " vs " << fast;
            rotate_points(in.helix.coord.data(), &row[0], rotated.data(), in.helix.numPoint());
            shift_points(rotated.data(), model.data(), &row[3], in.helix.numPoint());
            placed_flags(model.data(), scratch, in.res, protomers, literalFlags.data());
            scorer.flags(row, s, fastFlags.data());
            ASSERT_EQ(literalFlags, fastFlags);
        }
    }
}

// Under the upper model a restraint counts only above its upper bound: the
// fast and literal scores still agree bit for bit, never exceed the window
// model's, and equal the root mean square of the excesses over the upper bounds.
TEST(Scorer, UpperModelCountsOnlyDistancesAboveTheUpperBound) {
    Inputs window, upper;
    ASSERT_TRUE(load_bm2_example(window, 4) && load_bm2_example(upper, 4));
    apply_noe_model(NoeModel::upper, upper.res);
    std::vector<Point> scratch(upper.helix.numPoint());
    const Scorer scorer(upper.helix, upper.res, 4);
    Scorer::Scratch s = scorer.scratch();
    int lower = 0;  // placements the lower bounds made worse
    for (const CandidateRow& row : random_rows(2000)) {
        const float literal = placed_score(upper.helix, scratch, upper.res, 4, row), fast = scorer.score(row, s);
        ASSERT_EQ(std::memcmp(&literal, &fast, sizeof(float)), 0) << literal << " vs " << fast;
        const float windowScore = placed_score(window.helix, scratch, window.res, 4, row);
        if (!std::isfinite(windowScore)) continue;
        EXPECT_LE(literal, windowScore);
        lower += literal < windowScore;
        std::vector<Point> model(upper.helix.numPoint()), turned(upper.helix.numPoint());
        rotate_points(upper.helix.coord.data(), &row[0], turned.data(), upper.helix.numPoint());
        shift_points(turned.data(), model.data(), &row[3], upper.helix.numPoint());
        const float step[3] = {step_angle(4), 0, 0};
        rotate_points(model.data(), step, turned.data(), upper.helix.numPoint());
        double sum = 0;
        for (int r = 0; r < upper.res.numRestraint; ++r) {
            float d1, d2;
            pair_distances(upper.res, r, model.data(), turned.data(), d1, d2);
            const double excess = std::max(0.0, double(std::min(d1, d2)) - upper.res.upperBound[r]);
            sum += excess * excess;
        }
        EXPECT_NEAR(literal, std::sqrt(sum / upper.res.numRestraint), 1e-4 * (1 + literal));
    }
    EXPECT_GT(lower, 100);
}

}  // namespace
