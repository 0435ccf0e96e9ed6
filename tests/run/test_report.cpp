// What a run tells its user: the votes, the report lines, the table rows.
#include <gtest/gtest.h>

#include <cmath>

#include "run/parallel.h"
#include "run/report.h"
#include "run/run.h"
#include "support.h"

namespace {

// Two residues along y; placed at x = r, their order against the turn decides.
class Report : public ::testing::Test {
protected:
    Inputs in;
    void SetUp() override {
        in.param.numProtomer = 4;
        in.helix.numResidue = 2;
        in.helix.resNum = {12, 15};
        in.helix.coord = {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {0, 1, 1}};
        add_restraint(in.res, RestraintLine{0, 1, 1, "CA", "HA", "CB", "HG", 0, 0});
    }
};

TEST_F(Report, LinesNameTheCloserNeighbourByNumberAndTableRows) {
    EXPECT_EQ(report_line(in.res, 0, in.helix.resNum, -3, 4), "(AN1,  12, HA) - (AN2,  15, HG)");
    EXPECT_EQ(report_line(in.res, 0, in.helix.resNum, 1, 5), "(AN1,  12, HA) - (AN5,  15, HG)");
    EXPECT_EQ(report_line(in.res, 0, in.helix.resNum, 1, 10), "(AN1,  12, HA) - (AN10,  15, HG)");
    add_restraint(in.res, RestraintLine{1, 0, 0, "CA", "H", "CA", "HB", 0, 0});
    EXPECT_EQ(report_line(in.res, 1, {-1000, 15}, -1, 4), "(AN1,  15,  H) - (AN2,-1000, HB)");
    // The ranking table's rows and the closing line.
    EXPECT_EQ(table_row(1, 0.4567f), "   1    0.457");
    EXPECT_EQ(table_row(12345, 123456.0f), "12345123456.000");
    EXPECT_EQ(done_line(0, "/w"), "[Done] 0 structure can be found in '/w'");
    EXPECT_EQ(done_line(1, "/w"), "[Done] 1 structure can be found in '/w'");
    EXPECT_EQ(done_line(2, "/w"), "[Done] 2 structures can be found in '/w'");
}

TEST_F(Report, VotesAddUpAndAreAppendedToTheLog) {
    add_restraint(in.res, RestraintLine{0, 0, 0, "CA", "HA", "CA", "HA", 0, 0});  // the same atom: always a tie
    const CandidateRow up{0, 0, 0, 5, 0, 0}, down{float(M_PI), 0, 0, 5, 0, 0};
    EXPECT_EQ(restraint_votes(in.helix, in.res, 4, {up, up, up}), (std::vector<int>{-3, 0}));
    EXPECT_EQ(restraint_votes(in.helix, in.res, 4, {down}), (std::vector<int>{1, 0}));
    EXPECT_EQ(restraint_votes(in.helix, in.res, 4, {up, down}), (std::vector<int>{0, 0}));
    // Enough candidates for two threads whose halves disagree: every vote counts.
    CandidateTable many(700, up);
    many.insert(many.end(), 300, down);
    set_worker_count(2);
    EXPECT_EQ(restraint_votes(in.helix, in.res, 4, many), (std::vector<int>{-400, 0}));
    set_worker_count(0);
    TempDir dir;
    in.param.logFile = dir.file("t.log");
    write_text(in.param.logFile, "earlier\n");
    ASSERT_TRUE(write_restraint_report(in.param, in.helix, in.res, {up}).ok());
    EXPECT_EQ(read_text(in.param.logFile), "earlier\nPredicted unambiguous restraints:\n(AN1,  12, HA) - (AN2,  15, HG)\n");
    in.param.logFile = dir.file("missing/t.log");
    EXPECT_EQ(write_restraint_report(in.param, in.helix, in.res, {}).message,
              "[Error] Can not open the file '" + in.param.logFile + "'");
}

}  // namespace
