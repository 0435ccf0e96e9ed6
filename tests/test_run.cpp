// The program end to end: arguments, messages, exit status and every file
// a run leaves in its working folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "support.h"

namespace {

const std::string candidates =
    "     0.000     0.000     0.000     9.000\n"
    "     1.000     0.500     0.250     6.000\n"
    "     0.100     0.000     0.000     7.500\n";


std::vector<std::string> files_in(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CommandLine, WithoutArgumentsItPrintsUsageAndFails) {
    TempDir dir;
    RunResult r = run_noebundle({}, dir.path());
    EXPECT_EQ(r.out, "[Error] Usage: noebundle PARAMETER_FILE\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
}

TEST(CommandLine, HelpAndVersionSucceed) {
    TempDir dir;
    RunResult help = run_noebundle({"--help"}, dir.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: noebundle PARAMETER_FILE\n", 0), 0u);
    EXPECT_EQ(run_noebundle({"-h"}, dir.path()).out, help.out);
    RunResult version = run_noebundle({"--version"}, dir.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("noebundle ", 0), 0u);
    EXPECT_TRUE(files_in(dir).empty());
}

TEST(CommandLine, AMissingParameterFileIsReported) {
    TempDir dir;
    RunResult r = run_noebundle({"nothing.param", "ignored"}, dir.path());
    EXPECT_EQ(r.out, "[Error] Can not open the file 'nothing.param'\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
}

TEST(Run, ATetramerRunRanksWritesAndReports) {
    TempDir dir;
    Workspace w = make_workspace(dir, 10, 4, sampleRestraints, candidates);
    RunResult r = run_noebundle({w.params, "extra", "arguments"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.err, "");
    std::vector<std::string> out = lines_of(r.out);
    ASSERT_GE(out.size(), 7u);
    EXPECT_EQ(out[0], "3 structures are calculated:");
    EXPECT_EQ(out[1], "  ID    Delta");
    EXPECT_EQ(out[2].substr(0, 4), "   1");
    EXPECT_EQ(out[5], "Predicted unambiguous restraints:");
    EXPECT_EQ(out.back(), "[Done] 3 structures can be found in '" + dir.path().string() + "'");
    // The log holds everything but the closing line.
    std::string log = read_text(dir.file("abc.log"));
    EXPECT_EQ(log + out.back() + "\n", r.out);
    EXPECT_EQ(files_in(dir), (std::vector<std::string>{"abc.cs", "abc.log", "abc_1.pdb", "abc_2.pdb", "abc_3.pdb",
                                                       "check_pdb.log", "helix.pdb", "noe.txt", "origin.pdb",
                                                       "run.param"}));
    // Scores never decrease, and the ranked file keeps every candidate.
    for (int i = 3; i < 5; ++i) EXPECT_LE(std::stof(out[i - 1].substr(4)), std::stof(out[i].substr(4)));
    std::vector<std::string> ranked = lines_of(read_text(dir.file("abc.cs")));
    std::vector<std::string> original = lines_of(candidates);
    EXPECT_TRUE(std::is_permutation(ranked.begin(), ranked.end(), original.begin()));
}

TEST(Run, ErrorsOfLaterStagesStopTheRunWithOneLine) {
    TempDir dir;
    Workspace w = make_workspace(dir, 10, 2, sampleRestraints, candidates);
    fs::remove(dir.file("check_pdb.log"));
    RunResult r = run_noebundle({w.params}, dir.path());
    EXPECT_EQ(r.out, "[Error] Can not open the file '" + dir.file("check_pdb.log") + "'\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(read_text(dir.file("abc.cs")), candidates);
}

}  // namespace

#include <map>
#include <random>

#include "getpdb.h"
#include "oligomer.h"
#include "parallel.h"
#include "program.h"
#include "rank.h"
#include "report.h"
#include "run.h"
#include "score.h"
#include "text.h"

namespace {

// Every file of a folder by name, with its bytes.
std::map<std::string, std::string> snapshot(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        files[entry.path().filename().string()] = read_text(entry.path().string());
    return files;
}

TEST(Threads, OneAndTwoThreadsGiveTheSameBytes) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> angle(0, 6.3f), radius(3, 12);
    std::string candidates;
    for (int i = 0; i < 600; ++i)
        candidates += candidate_line({angle(rng), angle(rng) / 2, angle(rng), radius(rng), 0, 0}) + "\n";
    std::map<std::string, std::string> results[2];
    std::string printed[2];
    for (int threads = 1; threads <= 2; ++threads) {
        TempDir dir;
        Workspace w = make_workspace(dir, 10, 3, sampleRestraints, candidates);
        RunResult r = in_child([&] {
            set_worker_count(threads);
            Parameter param;
            Helix aligned;
            Restraint res{};
            check(load_param(w.params, param));
            check(load_helix(param.workDir + "/check_pdb.log", param.pdbFile, aligned));
            align_on_z(aligned.coord, aligned.numResidue, aligned.center, aligned.angle);
            check(load_restraints(param.noeFile, aligned.resNum, param.pairDistance, param.pairTolerance, res));
            check(run_candidates(param, aligned, res));
        });
        ASSERT_EQ(r.status, 0) << r.out;
        // The same folder name in both, so that the closing line can match.
        printed[threads - 1] = r.out.substr(0, r.out.rfind("[Done]"));
        results[threads - 1] = snapshot(dir);
        results[threads - 1].erase("run.param");
    }
    EXPECT_EQ(printed[0], printed[1]);
    EXPECT_EQ(results[0].size(), 600u + 6u);
    EXPECT_TRUE(results[0] == results[1]);
}

}  // namespace
