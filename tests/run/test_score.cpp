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

}  // namespace
