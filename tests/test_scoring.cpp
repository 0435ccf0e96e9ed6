// Scores of candidate placements, the ranking and the rewritten candidate file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include <unistd.h>

#include "getpdb.h"
#include "oligomer.h"
#include "parallel.h"
#include "program.h"
#include "rank.h"
#include "report.h"
#include "run.h"
#include "score.h"
#include "support.h"
#include "text.h"

namespace {

void add_restraint(int p, const char* a, int q, const char* b, float lower, float upper) {
    int i = res.numRestraint++;
    res.resIndex1[i] = p;
    res.resIndex2[i] = q;
    std::strcpy(res.atom1[i], a);
    std::strcpy(res.atom2[i], b);
    res.lowerBound[i] = lower;
    res.upperBound[i] = upper;
}

TEST(Violation, InsideAndOnTheBoundsAddsNothing) {
    EXPECT_EQ(violation(7.98f, 4.58f, 7.98f), 0.0f);
    EXPECT_EQ(violation(4.58f, 4.58f, 7.98f), 0.0f);
    EXPECT_EQ(violation(6.0f, 4.58f, 7.98f), 0.0f);
    float excess = 9.0f - 7.98f;
    EXPECT_EQ(violation(9.0f, 4.58f, 7.98f), static_cast<float>(double(excess) * double(excess)));
    EXPECT_NEAR(violation(3.0f, 4.58f, 7.98f), 2.4964, 1e-5);
}

TEST(RestraintScore, TheBetterPairingCountsForEachRestraint) {
    res = Restraint{};
    add_restraint(0, "CA", 0, "CB", 4.58f, 7.98f);
    // d1 = |model CA - turned CB| = 9, d2 = |turned CA - model CB| = 3.
    Point model[2] = {{0, 0, 0}, {0, 0, 3}};
    Point turned[2] = {{0, 0, 6}, {9, 0, 0}};
    EXPECT_NEAR(restraint_score(res, model, turned), 1.02, 1e-3);  // sqrt(1.0404 / 1)
    add_restraint(0, "CA", 0, "CB", 2.0f, 10.0f);                // met by both
    EXPECT_NEAR(restraint_score(res, model, turned), std::sqrt(1.0404 / 2), 1e-5);
}

// One point at the origin; the candidate's radius alone sets the distance to
// its image turned by a quarter, r * sqrt(2), so scores follow the radius.
class RankingRun : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override {
        param = Parameter();
        param.numProtomer = 4;
        param.workDir = dir.path().string();
        param.proteinName = "t";
        helix.numResidue = helix2.numResidue = 1;
        helix.coord.assign(2, Point{0, 0, 0});
        helix2.coord.assign(2, Point{0, 0, 0});
        res = Restraint{};
        for (int i = 0; i < 3; ++i) add_restraint(0, "CA", 0, "CA", 4.58f, 7.98f);
    }
    std::string path() const { return dir.file("t.cs"); }
    // Radius whose score is about s.
    static std::string line_for(float s, float phi = 0) {
        CandidateRow row{phi, 0, 0, float((4.58 - s) / std::sqrt(2.0)), 0, 0};
        return candidate_line(row) + "\n";
    }
    std::vector<float> rank(const std::string& text, CandidateTable& table) {
        write_text(path(), text);
        std::istringstream in(text);
        EXPECT_TRUE(parse_candidates(in, path(), table).ok());
        std::vector<float> scores;
        getpdb.sort_csv(table, scores);
        return scores;
    }
};

TEST_F(RankingRun, ACandidateMeetingEveryRestraintScoresExactlyZero) {
    EXPECT_EQ(scoring_function(CandidateRow{0.3f, 0, 0, 5.0f, 0, 0}), 0.0f);
    EXPECT_NEAR(scoring_function(CandidateRow{0, 0, 0, 3.0f, 0, 0}), 4.58 - 3 * std::sqrt(2.0), 1e-5);
}

TEST_F(RankingRun, TheFileIsRewrittenBestFirstAndTheTableKeepsFileOrder) {
    CandidateTable table;
    std::vector<float> scores = rank(line_for(0.9f) + line_for(0.1f) + line_for(0.5f), table);
    ASSERT_EQ(scores.size(), 3u);
    EXPECT_NEAR(scores[0], 0.1, 1e-3);
    EXPECT_NEAR(scores[1], 0.5, 1e-3);
    EXPECT_NEAR(scores[2], 0.9, 1e-3);
    EXPECT_EQ(read_text(path()), line_for(0.1f) + line_for(0.5f) + line_for(0.9f));
    EXPECT_NEAR(table[0][3], (4.58 - 0.9) / std::sqrt(2.0), 1e-3);
}

TEST_F(RankingRun, EqualScoresKeepFileOrder) {
    CandidateTable table;
    std::string text = line_for(0.5f, 2) + line_for(0.2f, 1) + line_for(0.5f, 3) + line_for(0.5f, 1);
    rank(text, table);
    EXPECT_EQ(read_text(path()), line_for(0.2f, 1) + line_for(0.5f, 2) + line_for(0.5f, 3) + line_for(0.5f, 1));
}

TEST_F(RankingRun, AnEmptyTableRewritesAnEmptyFile) {
    CandidateTable table;
    EXPECT_TRUE(rank("", table).empty());
    EXPECT_EQ(read_text(path()), "");
}

TEST_F(RankingRun, ValuesAreWrittenWithThreeDecimals) {
    CandidateTable table;
    rank("   0.12345   -1.2346  100.0004 1.5e1     \n", table);
    EXPECT_EQ(read_text(path()), "     0.123    -1.235   100.000    15.000\n");
}

TEST_F(RankingRun, ARewriteThatCannotHappenLeavesTheFileAlone) {
    const std::string text = line_for(0.9f) + line_for(0.1f);
    write_text(path(), text);
    RunResult r = in_child([&] {
        // The temporary file's place is taken by a folder.
        fs::create_directory(path() + "." + std::to_string(getpid()) + ".tmp");
        CandidateTable table;
        getpdb.read_cs(path(), table);
        std::vector<float> scores;
        getpdb.sort_csv(table, scores);
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "[Error] Can not open the file '" + path() + "'\n");
    EXPECT_EQ(read_text(path()), text);
}

TEST(CandidateFile, FixedColumnsAndShortLines) {
    CandidateTable table;
    std::istringstream in("     0.500    -1.250   1.5e1         2.000extra\n"
                          "     0.100     0.200     0.300\r\n"
                          "     0.100     0.200     0.300     4.000\r\n");
    ASSERT_TRUE(parse_candidates(in, "c.cs", table).ok());
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0], (CandidateRow{0.5f, -1.25f, 15.0f, 2.0f, 0, 0}));
    EXPECT_EQ(table[1][3], 0.0f);
    EXPECT_EQ(table[2], (CandidateRow{0.1f, 0.2f, 0.3f, 4.0f, 0, 0}));
    std::istringstream shortLine("     0.100     0.200     0.300     4.000\n\n");
    EXPECT_EQ(parse_candidates(shortLine, "c.cs", table).message, "[Error] 'c.cs' has a wrong format");
}

// The ranking as the plain quadratic scan that defines it.
std::vector<int> quadratic_rank_map(const std::vector<float>& scores, const std::vector<float>& sorted) {
    const std::size_t n = scores.size();
    std::vector<int> map(n, -1);
    std::vector<char> taken(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            if (!taken[j] && fequal(scores[j], sorted[i])) {
                map[i] = int(j);
                taken[j] = 1;
                break;
            }
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (map[i] < 0) {
            while (taken[next]) ++next;
            map[i] = int(next);
            taken[next] = 1;
        }
    return map;
}

TEST(RankMap, AgreesWithTheQuadraticScanOnClustersTiesAndNonNumbers) {
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        std::size_t n = 1 + rng() % 60;
        std::vector<float> scores(n);
        for (float& s : scores) {
            int kind = rng() % 10;
            float base = float(rng() % 4) * 0.5f;
            if (kind < 5) s = base + float(rng() % 5) * 4e-7f;  // clusters closer than 1e-6
            else if (kind < 8) s = base;
            else if (kind == 8) s = NAN;
            else s = (rng() % 2) ? INFINITY : base + 3e-6f;
        }
        std::vector<float> sorted = scores;
        std::qsort(sorted.data(), n, sizeof(float), acompare);
        EXPECT_EQ(rank_map(scores, sorted), quadratic_rank_map(scores, sorted)) << "round " << round;
    }
}

TEST(AtomicReplace, FailuresLeaveTheOriginalAndNoLitter) {
    TempDir dir;
    write_text(dir.file("a.cs"), "original\n");
    fs::create_directory(dir.file("a.cs." + std::to_string(getpid()) + ".tmp"));
    EXPECT_FALSE(replace_file(dir.file("a.cs"), "new\n", true));
    EXPECT_EQ(read_text(dir.file("a.cs")), "original\n");
    fs::remove(dir.file("a.cs." + std::to_string(getpid()) + ".tmp"));
    fs::create_directories(dir.file("b.pdb/inside"));  // a folder in the way of the rename
    EXPECT_FALSE(replace_file(dir.file("b.pdb"), "new\n", false));
    EXPECT_TRUE(fs::is_directory(dir.file("b.pdb")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
    EXPECT_TRUE(replace_file(dir.file("a.cs"), "new\n", true));
    EXPECT_EQ(read_text(dir.file("a.cs")), "new\n");
}

}  // namespace

namespace {

// The helix of the shipped example, aligned, with its restraints.
class ExampleHelix : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(load_bm2_example(5)); }
    static CandidateTable random_rows(int count) {
        std::mt19937 rng(3);
        std::uniform_real_distribution<float> angle(-7, 7), radius(0, 20);
        CandidateTable rows;
        for (int i = 0; i < count; ++i) rows.push_back({angle(rng), angle(rng), angle(rng), radius(rng), 0, 0});
        rows.push_back({NAN, 0, 0, 5, 0, 0});
        rows.push_back({0, 0, 0, INFINITY, 0, 0});
        rows.push_back({1e30f, -1e30f, 3, -1e30f, 0, 0});
        return rows;
    }
};

TEST_F(ExampleHelix, TheFastScorerGivesTheSameBitsAsTheLiteralScore) {
    for (int protomers : {2, 4, 5, 7}) {
        param.numProtomer = protomers;
        const Scorer scorer(helix, res, protomers);
        Scorer::Scratch scratch = scorer.scratch();
        for (const CandidateRow& row : random_rows(3000)) {
            float literal = scoring_function(row), fast = scorer.score(row, scratch);
            ASSERT_EQ(std::memcmp(&literal, &fast, sizeof(float)), 0) << literal << " vs " << fast;
        }
    }
}

TEST_F(ExampleHelix, TheFastFlagsAreThoseOfCheckRestraint) {
    const Scorer scorer(helix, res, param.numProtomer);
    Scorer::Scratch scratch = scorer.scratch();
    std::vector<Point> rotated(helix.numPoint()), model(helix.numPoint());
    std::vector<int> literal(res.numRestraint), fast(res.numRestraint);
    for (const CandidateRow& row : random_rows(500)) {
        helix.rotate(&row[0], rotated.data());
        helix.transit(rotated.data(), model.data(), &row[3]);
        check_restraint(model.data(), literal.data());
        scorer.flags(row, scratch, fast.data());
        ASSERT_EQ(literal, fast);
    }
}

}  // namespace
