// Whole runs: the real program in a working folder, and the stages in
// process with one and with two threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "run/oligomer.h"
#include "run/parallel.h"
#include "run/run.h"
#include "support.h"
#include "base/text.h"

namespace {

std::map<std::string, std::string> files_in(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        files[entry.path().filename().string()] = read_text(entry.path().string());
    return files;
}

std::string random_candidates(int count) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> angle(0, 6.3f), radius(3, 12);
    std::string text;
    for (int i = 0; i < count; ++i) text += candidate_line({angle(rng), angle(rng) / 2, angle(rng), radius(rng), 0, 0}) + "\n";
    return text;
}

TEST(Run, ATetramerRunRanksWritesEveryStructureAndReports) {
    TempDir dir;
    RunResult r = run_program("noebundle", {make_workspace(dir, 4, random_candidates(6)), "extra", "arguments"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.out;
    const std::vector<std::string> out = lines_of(r.out), ranked = lines_of(read_text(dir.file("abc.cs")));
    EXPECT_EQ(out[0] + out[1] + out[8], "6 structures are calculated:  ID    DeltaPredicted unambiguous restraints:");
    EXPECT_EQ(out.back(), "[Done] 6 structures can be found in '" + dir.path().string() + "'");
    EXPECT_EQ(read_text(dir.file("abc.log")) + out.back() + "\n", r.out);  // the log holds all but the last line
    const Template t = read_template(dir.file("origin.pdb"));
    for (std::size_t k = 1; k <= 6; ++k) {
        EXPECT_EQ(out[1 + k].substr(0, 4), padded(long(k), 4));
        EXPECT_EQ(read_text(dir.file("abc_" + std::to_string(k) + ".pdb")),
                  oligomer_pdb(t, parse_candidate_line(ranked[k - 1]), 4));
    }
    EXPECT_EQ(files_in(dir).size(), 6u + 8u);  // with the run's record
}

// A second run with fewer candidates removes the structure files the first
// wrote beyond its count, only those still as it wrote them, and says so.
TEST(Run, TheStructuresOfAnEarlierRunBeyondTheNewCountGo) {
    TempDir dir;
    const std::string params = make_workspace(dir, 3, random_candidates(6));
    ASSERT_EQ(run_program("noebundle", {params}, dir.path()).status, 0);
    std::string five = read_text(dir.file("abc_5.pdb"));
    five[five.size() - 20] ^= 1;  // one character edited near the end, the size kept
    write_text(dir.file("abc_5.pdb"), five);
    write_text(dir.file("abc_9.pdb"), "the user's own\n");
    const std::vector<std::string> ranked = lines_of(read_text(dir.file("abc.cs")));
    write_text(dir.file("abc.cs"), ranked[0] + "\n" + ranked[1] + "\n");
    const std::vector<std::string> out = lines_of(run_program("noebundle", {params}, dir.path()).out);
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[out.size() - 2], "Removed 3 structure files of an earlier run ('" + dir.file("abc_3.pdb") + "' to '" +
                                       dir.file("abc_6.pdb") + "'); kept 1 changed since noebundle wrote it");
    for (int k = 1; k <= 9; ++k)
        EXPECT_EQ(fs::exists(dir.file("abc_" + std::to_string(k) + ".pdb")), k <= 2 || k == 5 || k == 9) << k;
    write_text(dir.file("abc.cs"), ranked[0] + "\n");  // one file to remove, the edited one forgotten
    const std::vector<std::string> third = lines_of(run_program("noebundle", {params}, dir.path()).out);
    ASSERT_GE(third.size(), 2u);
    EXPECT_EQ(third[third.size() - 2], "Removed 1 structure file of an earlier run ('" + dir.file("abc_2.pdb") + "')");
}

TEST(Run, DimersHaveNoReportAndRunsAppendToTheLog) {
    TempDir dir;
    const std::string params = make_workspace(dir, 2, random_candidates(1));
    RunResult first = run_program("noebundle", {params}, dir.path());
    ASSERT_EQ(lines_of(first.out).size(), 4u);
    EXPECT_EQ(run_program("noebundle", {params}, dir.path()).out, first.out);
    const std::string table = first.out.substr(0, first.out.rfind("[Done]"));
    EXPECT_EQ(read_text(dir.file("abc.log")), table + table);
}

TEST(Run, OneAndTwoThreadsWriteTheSameBytes) {
    std::map<std::string, std::string> results[2];
    for (int threads = 1; threads <= 2; ++threads) {
        TempDir dir;
        Inputs in;
        ASSERT_TRUE(load_param(make_workspace(dir, 3, random_candidates(600)), in.param).ok() && load_inputs(in));
        set_worker_count(threads);
        CandidateTable table;
        std::vector<float> scores;
        ASSERT_TRUE(load_candidates(candidate_path(in.param), table).ok());
        ASSERT_TRUE(rank_candidates(in.param, in.helix, in.res, table, scores).ok() && write_structures(in.param).ok());
        results[threads - 1] = files_in(dir);
        results[threads - 1].erase("run.param");  // names its own folder
    }
    set_worker_count(0);
    EXPECT_EQ(results[0].size(), 600u + 6u);
    EXPECT_TRUE(results[0] == results[1]);
}

}  // namespace
