// The oligomer PDB files, the restraint report and the run's table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

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

Template small_template() {
    std::ifstream in(std::string(TEST_DATA) + "/template.pdb");
    return parse_template(in);
}


TEST(OligomerPdb, OnlyAtomLinesPaddedTo78) {
    Template t = small_template();
    ASSERT_EQ(t.lines.size(), 3u);
    EXPECT_EQ(t.lines[2].size(), 78u);
    EXPECT_EQ(t.points[1].x, -0.0004f);
    EXPECT_EQ(t.points[2].z, 10.0f);
}

TEST(OligomerPdb, ColumnsOfOneProtomer) {
    EXPECT_EQ(oligomer_pdb(small_template(), CandidateRow{0, 0, 0, 0, 0, 0}, 1),
              "ATOM      1  N   ALA    12       0.000   0.000   0.000  1.00  0.00      AN1X    XY\n"
              "ATOM      2  CA  ALA    12      -0.000   2.000  -3.000  1.00  0.00      AN1   \n"
              "ATOM      3  CB  ALA    12       1.000   0.000  10.000                  AN1   \n"
              "END\n");
    std::vector<std::string> shifted = lines_of(oligomer_pdb(small_template(), CandidateRow{0, 0, 0, 2.5f, 0, 0}, 1));
    EXPECT_EQ(shifted[1].substr(30, 24), "   2.500   2.000  -3.000");
}

TEST(OligomerPdb, ProtomersAreTurnedCopiesOfTheFirst) {
    const Template t = small_template();
    const CandidateRow row{0.3f, 1.1f, -0.4f, 8.0f, 0, 0};
    std::vector<std::string> lines = lines_of(oligomer_pdb(t, row, 10));
    ASSERT_EQ(lines.size(), 31u);
    EXPECT_EQ(lines.back(), "END");
    std::vector<Point> rotated(3), first(3), turned(3);
    Helix::rotate(t.points.data(), &row[0], rotated.data(), 3);
    const float shift[3] = {8.0f, 0, 0};
    Helix::transit(rotated.data(), first.data(), shift, 3);
    for (int p = 0; p < 10; ++p) {
        const float angle[3] = {static_cast<float>(p * 6.283186 / 10), 0, 0};
        Helix::rotate(first.data(), angle, turned.data(), 3);
        for (int j = 0; j < 3; ++j) {
            const std::string& line = lines[3 * p + j];
            EXPECT_EQ(line.substr(6, 5), padded(3 * p + j + 1, 5));
            EXPECT_EQ(line.substr(72, 3), std::string("AN") + char('1' + p));  // ':' for the tenth
            EXPECT_EQ(line[21], ' ');
            EXPECT_EQ(line[77], ' ');
            const Point& q = p == 0 ? first[j] : turned[j];
            EXPECT_EQ(line.substr(30, 24), fixed3(q.x, 8) + fixed3(q.y, 8) + fixed3(q.z, 8));
        }
    }
    EXPECT_EQ(lines[27].substr(72, 3), "AN:");
}

TEST(OligomerPdb, WideValuesWidenTheirFields) {
    std::vector<std::string> lines = lines_of(oligomer_pdb(small_template(), CandidateRow{0, 0, 0, 12345.0f, 0, 0}, 1));
    EXPECT_EQ(lines[0].substr(30, 25), "12345.000   0.000   0.000");
}

// ---------------------------------------------------------------- report

class Report : public ::testing::Test {
protected:
    void SetUp() override {
        param = Parameter();
        param.numProtomer = 4;
        // Two residues along y; placed at x = r, their ordering against the turn decides.
        helix.numResidue = helix2.numResidue = 2;
        helix.resNum = {12, 15};
        helix.coord = {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {0, 1, 1}};
        helix2.coord = helix.coord;
        res = Restraint{};
        add(0, "HA", "CA", 1, "HG", "CB");
    }
    void add(int p, const char* protonA, const char* a, int q, const char* protonB, const char* b) {
        int i = res.numRestraint++;
        res.resIndex1[i] = p;
        res.resIndex2[i] = q;
        std::strcpy(res.proton1[i], protonA);
        std::strcpy(res.atom1[i], a);
        std::strcpy(res.proton2[i], protonB);
        std::strcpy(res.atom2[i], b);
    }
};

TEST_F(Report, LinesNameTheCloserNeighbour) {
    EXPECT_EQ(report_line(res, 0, helix.resNum, -3, 4), "(AN1,  12, HA) - (AN2,  15, HG)");
    EXPECT_EQ(report_line(res, 0, helix.resNum, 1, 5), "(AN1,  12, HA) - (AN5,  15, HG)");
    EXPECT_EQ(report_line(res, 0, helix.resNum, 1, 10), "(AN1,  12, HA) - (AN10,  15, HG)");
    add(1, "H", "CA", 0, "HB", "CA");
    helix.resNum = {-1000, 15};
    EXPECT_EQ(report_line(res, 1, helix.resNum, -1, 4), "(AN1,  15,  H) - (AN2,-1000, HB)");
}

TEST_F(Report, VotesAddUpAndOppositeVotesCancel) {
    add(0, "HA", "CA", 0, "HA", "CA");  // the same atom: always a tie
    const CandidateRow up{0, 0, 0, 5, 0, 0}, down{static_cast<float>(M_PI), 0, 0, 5, 0, 0};
    EXPECT_EQ(restraint_votes(helix, res, param.numProtomer, {up, up, up}), (std::vector<int>{-3, 0}));
    EXPECT_EQ(restraint_votes(helix, res, param.numProtomer, {down}), (std::vector<int>{1, 0}));
    EXPECT_EQ(restraint_votes(helix, res, param.numProtomer, {up, down}), (std::vector<int>{0, 0}));
}

TEST_F(Report, ItIsAppendedToTheLogAndPrinted) {
    TempDir dir;
    param.logFile = dir.file("t.log");
    write_text(param.logFile, "earlier\n");
    RunResult r = in_child([] { getpdb.determine_direction({CandidateRow{0, 0, 0, 5, 0, 0}}); });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Predicted unambiguous restraints:\n(AN1,  12, HA) - (AN2,  15, HG)\n");
    EXPECT_EQ(read_text(param.logFile), "earlier\n" + r.out);
    RunResult empty = in_child([] { getpdb.determine_direction({}); });
    EXPECT_EQ(empty.out, "Predicted unambiguous restraints:\n");
    param.logFile = dir.file("missing/t.log");
    RunResult failed = in_child([] { getpdb.determine_direction({}); });
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "[Error] Can not open the file '" + param.logFile + "'\n");
}

TEST(Table, RowsAndTheClosingLine) {
    EXPECT_EQ(table_row(1, 0.4567f), "   1    0.457");
    EXPECT_EQ(table_row(12345, 123456.0f), "12345123456.000");
    EXPECT_EQ(done_line(0, "/w"), "[Done] 0 structure can be found in '/w'");
    EXPECT_EQ(done_line(1, "/w"), "[Done] 1 structure can be found in '/w'");
    EXPECT_EQ(done_line(2, "/w"), "[Done] 2 structures can be found in '/w'");
}

// ---------------------------------------------------------------- driver

TEST(Driver, AnEmptyCandidateFileGivesNoStructure) {
    TempDir dir;
    Workspace w = make_workspace(dir, 8, 3, sampleRestraints, "");
    RunResult r = run_noebundle({w.params}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0 structures are calculated:\n  ID    Delta\nPredicted unambiguous restraints:\n"
                     "[Done] 0 structure can be found in '" + dir.path().string() + "'\n");
    EXPECT_FALSE(fs::exists(dir.file("abc_1.pdb")));
}

TEST(Driver, TwoProtomersSkipTheReportAndRunsAppendToTheLog) {
    TempDir dir;
    const std::string one = "     0.000     0.000     0.000     8.000\n";
    Workspace w = make_workspace(dir, 8, 2, sampleRestraints, one);
    RunResult first = run_noebundle({w.params}, dir.path());
    EXPECT_EQ(first.status, 0);
    std::vector<std::string> out = lines_of(first.out);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], "1 structures are calculated:");
    EXPECT_EQ(out[3], "[Done] 1 structure can be found in '" + dir.path().string() + "'");
    RunResult second = run_noebundle({w.params}, dir.path());
    EXPECT_EQ(second.out, first.out);
    std::string table = first.out.substr(0, first.out.rfind("[Done]"));
    EXPECT_EQ(read_text(dir.file("abc.log")), table + table);
}

TEST(Driver, RankLineAndStructureNumbersAgree) {
    TempDir dir;
    std::string candidates;
    for (int i = 0; i < 6; ++i)
        candidates += candidate_line(CandidateRow{0.4f * i, 0.3f * i, 0.1f, 4.0f + i, 0, 0}) + "\n";
    Workspace w = make_workspace(dir, 8, 5, sampleRestraints, candidates);
    write_text(dir.file("abc_9.pdb"), "older\n");
    RunResult r = run_noebundle({w.params}, dir.path());
    ASSERT_EQ(r.status, 0) << r.out;
    std::vector<std::string> out = lines_of(r.out);
    std::vector<std::string> ranked = lines_of(read_text(dir.file("abc.cs")));
    ASSERT_EQ(ranked.size(), 6u);
    std::ifstream templateFile(dir.file("origin.pdb"));
    Template t = parse_template(templateFile);
    for (std::size_t k = 1; k <= 6; ++k) {
        EXPECT_EQ(read_text(dir.file("abc_" + std::to_string(k) + ".pdb")),
                  oligomer_pdb(t, parse_candidate_line(ranked[k - 1]), 5));
        EXPECT_EQ(out[1 + k].substr(0, 4), padded(long(k), 4));
    }
    EXPECT_EQ(read_text(dir.file("abc_9.pdb")), "older\n");
    EXPECT_FALSE(fs::exists(dir.file("abc_7.pdb")));
}

TEST(Driver, AStructureFileThatCannotBeWrittenStopsTheRun) {
    TempDir dir;
    Workspace w = make_workspace(dir, 8, 3, sampleRestraints, "     0.000     0.000     0.000     8.000\n");
    fs::create_directories(dir.file("abc_1.pdb/in-the-way"));
    RunResult r = run_noebundle({w.params}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "[Error] Can not open the file '" + dir.file("abc_1.pdb") + "'\n");
    EXPECT_FALSE(fs::exists(dir.file("abc.log")));
}

}  // namespace
