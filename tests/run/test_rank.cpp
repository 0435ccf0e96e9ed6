// The ranking: the rank map against the quadratic scan that defines it, and
// the rewritten candidate file.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <unistd.h>

#include "geometry/geometry.h"
#include "run/rank.h"
#include "run/run.h"
#include "support.h"
#include "base/text.h"

namespace {

std::vector<int> quadratic_rank_map(const std::vector<float>& scores, const std::vector<float>& sorted) {
    const std::size_t n = scores.size();
    std::vector<int> map(n, -1);
    std::vector<char> taken(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n && map[i] < 0; ++j)
            if (!taken[j] && fequal(scores[j], sorted[i])) map[i] = int(j), taken[j] = 1;
    for (std::size_t i = 0, next = 0; i < n; ++i)
        if (map[i] < 0) {  // no equal score left: the unused rows in file order
            while (taken[next]) ++next;
            map[i] = int(next), taken[next] = 1;
        }
    return map;
}

TEST(RankMap, AgreesWithTheQuadraticScanOnClustersTiesAndNonNumbers) {
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        std::vector<float> scores(1 + rng() % 60);
        for (float& s : scores) {
            const int kind = rng() % 10;
            const float base = float(rng() % 4) * 0.5f;
            if (kind < 5) s = base + float(rng() % 5) * 4e-7f;  // clusters closer than 1e-6
            else if (kind < 8) s = base;
            else if (kind == 8) s = NAN;
            else s = (rng() % 2) ? INFINITY : base + 3e-6f;
        }
        const std::vector<float> sorted = sorted_scores(scores);
        EXPECT_EQ(rank_map(scores, sorted), quadratic_rank_map(scores, sorted)) << "round " << round;
    }
}

std::string line_for(float score, float phi = 0) {  // a candidate of about this score in the helix below
    return candidate_line(CandidateRow{phi, 0, 0, float((4.58 - score) / std::sqrt(2.0)), 0, 0}) + "\n";
}

// One point at the origin: the candidate's radius alone sets the distance to
// its image turned by a quarter, r sqrt(2), so scores follow the radius.
class Ranking : public ::testing::Test {
protected:
    TempDir dir;
    Inputs in;
    void SetUp() override {
        in.param.numProtomer = 4;
        in.param.workDir = dir.path().string();
        in.param.proteinName = "t";
        in.helix.numResidue = 1;
        in.helix.coord.assign(2, Point{0, 0, 0});
        for (int i = 0; i < 3; ++i) add_restraint(in.res, RestraintLine{0, 0, 0, "CA", "HA", "CA", "HA", 4.58f, 7.98f});
    }
    // Ranks the candidate text; returns the rewritten file, or the error.
    std::string rank(const std::string& text, std::vector<float>& scores) {
        write_text(dir.file("t.cs"), text);
        CandidateTable table;
        Status status = load_candidates(dir.file("t.cs"), table);
        if (status.ok()) status = rank_candidates(in.param, in.helix, in.res, table, scores);
        return status.ok() ? read_text(dir.file("t.cs")) : status.message;
    }
};

TEST_F(Ranking, TheFileIsRewrittenBestFirstEqualScoresInFileOrder) {
    std::vector<float> scores, none;
    EXPECT_EQ(rank(line_for(0.5f, 2) + line_for(0.2f, 1) + line_for(0.9f) + line_for(0.5f, 3), scores),
              line_for(0.2f, 1) + line_for(0.5f, 2) + line_for(0.5f, 3) + line_for(0.9f));
    ASSERT_EQ(scores.size(), 4u);
    EXPECT_NEAR(scores[0], 0.2, 1e-3);
    EXPECT_NEAR(scores[3], 0.9, 1e-3);
    EXPECT_EQ(rank("", none), "");
    EXPECT_EQ(rank("   0.12345   -1.2346  100.0004 1.5e1     extra\n", none), "     0.123    -1.235   100.000    15.000\n");
    // A rewrite that cannot happen (a folder in the temporary file's place) leaves the file alone.
    fs::create_directory(dir.file("t.cs." + std::to_string(getpid()) + ".tmp"));
    EXPECT_EQ(rank(line_for(0.9f) + line_for(0.1f), none), "[Error] Can not open the file '" + dir.file("t.cs") + "'");
    EXPECT_EQ(read_text(dir.file("t.cs")), line_for(0.9f) + line_for(0.1f));
}

}  // namespace
