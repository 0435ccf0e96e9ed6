// Restraint lists as structure calculations write them, converted into the
// restraint file: the BM2 example, the archive's 2JR2 file, and the mapping.
#include <gtest/gtest.h>

#include <map>

#include "restraints/restraint_convert.h"
#include "restraints/restraint_report.h"
#include "support.h"
#include "formats/xplor.h"

namespace {

const std::string bm2 = std::string(EXAMPLES_DIR) + "/bm2/";

TEST(RestraintConvert, BothBm2FilesGiveTheShippedRestraintFile) {
    for (const char* name : {"bm2.tbl", "bm2.nef"}) {
        Conversion c;
        ASSERT_TRUE(convert_restraints(bm2 + name, ConvertOptions(), c).ok()) << name;
        EXPECT_EQ(restraint_file_text(c), read_text(bm2 + "bm2.noe")) << name;
        EXPECT_EQ(c.dropped.size(), 5u) << name;  // one for each reason
    }
    TempDir dir;
    const RunResult run = run_program("noebundle-restraints", {bm2 + "bm2.tbl", "--out", dir.file("out.noe")}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(lines_of(run.out).back(), "[Done] 21 restraints written to '" + dir.file("out.noe") + "'");
    EXPECT_EQ(read_text(dir.file("out.noe")), read_text(bm2 + "bm2.noe"));
}

// The class the report names is the one noebundle scores with: CB stands in
// for protons from HG on, CA for HN, HA and HB.
TEST(RestraintConvert, ReportNamesTheClassOfEachPair) {
    const std::map<std::string, std::string> classes{
        {"HN", "CA-CA"}, {"HA", "CA-CA"}, {"HB#", "CA-CA"}, {"HG", "CA-CB"}, {"HD#", "CA-CB"}, {"HE", "CA-CB"}};
    for (const auto& [name, pairClass] : classes) {
        Conversion c;
        c.path = "t";
        ASSERT_TRUE(read_xplor("assign (segid A and resid 9 and name " + name +
                                   ") (segid B and resid 8 and name HA) 4.0 2.2 1.0", "t", c.input).ok());
        map_restraints(ConvertOptions(), c);
        const std::string report = conversion_report(c);
        EXPECT_NE(report.find("  " + pairClass + " "), std::string::npos) << name << "\n" << report;
    }
}

TEST(RestraintConvert, ArchiveFile2jr2IsReadCompletely) {
    // The restraint file of PDB entry 2JR2 as the archive keeps it: a homodimer,
    // hydrogen-bond and NOE distances and dihedral restraints over two lines.
    Conversion c;
    const Status s = convert_restraints(std::string(TEST_DATA) + "/2jr2.mr", ConvertOptions(), c);
    EXPECT_EQ(s.message.substr(0, 34), "[Error] 139 restraints kept from '");
    EXPECT_EQ(c.input.restraints.size(), 1510u);
    EXPECT_EQ(c.kept.size(), 139u);
    std::map<std::string, int> reasons;
    for (const DroppedRestraint& d : c.dropped) ++reasons[d.reason];
    EXPECT_EQ(reasons, (std::map<std::string, int>{{"intra-chain", 1142}, {"duplicate", 229}}));
    EXPECT_EQ(c.input.skipped, (std::vector<std::pair<std::string, int>>{{"remarks", 2}, {"dihedral restraint", 212}}));
    ASSERT_EQ(c.input.sections.size(), 2u);
    EXPECT_EQ(c.input.sections[0].lastLine, 27);
    EXPECT_EQ(c.input.sections[1].firstLine, 2188);
    EXPECT_EQ(c.input.sections[1].lastLine, 27288);
}

TEST(RestraintConvert, HelixKeepsItsResiduesAndTheReportNamesTheSkippedLines) {
    TempDir dir;
    const RunResult run = run_program("noebundle-restraints", {std::string(TEST_DATA) + "/2jr2.mr", "--helix", bm2 + "2kix_model1.pdb"},
                                      dir.path());
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> out = lines_of(run.out);
    EXPECT_EQ(out.at(1), "Skipped lines 1-27 (archive header)");
    EXPECT_EQ(out.at(2), "Skipped lines 2188-27288 (table of hydrogen names)");
    EXPECT_EQ(out.back(), "[Done] 33 restraints kept; --out FILE writes them");
}

TEST(RestraintConvert, SyntaxErrorsNameTheLineAndWhatWasExpected) {
    const std::map<std::string, std::string> cases{
        {"{ a comment\n\n", "line 1: the comment opened with '{' is not closed"},
        {"assign (segid \"A) (name HA) 1 1 1", "line 1: expected a closing '\"'"},
        {"assign (segid A and name) (name HA) 1 1 1", "line 1: expected a value after 'name', found ')'"},
        {"!\nassign (name HA) (name HB)\n 1 1 1 1",
         "line 2: expected three numbers (distance, minus, plus) after the selections, found 4 before the end of the file"},
        {"assign (name HA) (name HB) 1 1 1 nmae", "line 1: expected a statement such as 'assign', found 'nmae'"},
        {"assign (name HA) (name HB) 1 2",
         "line 1: expected three numbers (distance, minus, plus) after the selections, found 2 before the end of the file"},
        {"noe\n assign (name HA) (name HB) (name HG) (name HD)\nend", "line 3: expected a number after the selections, found 'end'"},
    };
    for (const auto& c : cases) {
        RestraintInput input;
        EXPECT_EQ(read_xplor(c.first, "t", input).message, "[Error] 't', " + c.second) << c.first;
    }
}

TEST(RestraintConvert, ProtonClasses) {
    const std::map<std::string, std::string> cases{
        {"H", "HN"},   {"hn", "HN"},  {"HA2", "HA"}, {"HA*", "HA"},  {"QB", "HB"},  {"HB#", "HB"},
        {"1HB", "HB"}, {"QG1", "HG"}, {"HG1*", "HG"}, {"MD1", "HD"}, {"QQD", "HD"}, {"HE21", "HE"},
        {"HZ%", "HZ"}, {"HH11", "HH"}, {"HT1", ""},   {"H*", ""},    {"QR", ""},    {"H1", ""}};
    for (const auto& c : cases) {
        bool heavy;
        EXPECT_EQ(proton_class(c.first, heavy), c.second) << c.first;
        EXPECT_FALSE(heavy) << c.first;
    }
    for (const char* name : {"CA", "N", "OG1", "SD"}) {
        bool heavy;
        EXPECT_EQ(proton_class(name, heavy), "") << name;
        EXPECT_TRUE(heavy) << name;
    }
}

// One XPLOR statement: the restraint line it becomes, or why it is dropped.
TEST(RestraintConvert, SelectionsToLinesOrReasons) {
    const std::string b8 = " (segid B and resid 8 and name HG#) 4.0 2.2 1.0";
    ConvertOptions helix;
    helix.useHelix = true, helix.helixResidues = {8, 9};
    ConvertOptions pairAB;
    pairAB.chain1 = "A", pairAB.chain2 = "B";
    const struct {
        std::string text;
        ConvertOptions options;
        std::string expected;
    } cases[] = {
        {"assign (segid A and resid 9 and name H)" + b8, {}, "(resid 9 and name HN) (resid 8 and name HG)"},
        {"ASSI (SEGI A AND RESI 9 AND (NAME HB1 OR NAME HB2))" + b8, {}, "(resid 9 and name HB) (resid 8 and name HG)"},
        {"assign (chain A and resid 9 and name QG1)" + b8, {}, "(resid 9 and name HG) (resid 8 and name HG)"},
        {"assign (atom A 9 MD1)" + b8, {}, "(resid 9 and name HD) (resid 8 and name HG)"},
        {"assign (segid A and resid 9 and name HA# and name HA2)" + b8, {}, "(resid 9 and name HA) (resid 8 and name HG)"},
        {"assign (segid A and resid 9 and name HN)" + b8 + " or (segid A and resid 9 and name HN) (segid B and resid 8 and name HG1)",
         {}, "(resid 9 and name HN) (resid 8 and name HG)"},
        {"assign (segid B and resid 9 and name HN)" + b8, {}, "intra-chain"},
        {"assign (segid A and resid 9 and name N)" + b8, {}, "heavy atom"},
        {"assign (segid A and resid 9:10 and name HA)" + b8, {}, "ambiguous end"},
        {"assign (segid A and (resid 9 or resid 10) and name HA)" + b8, {}, "ambiguous end"},
        {"assign (segid A and resid 9 and (name HA or name HB#))" + b8, {}, "ambiguous end"},
        // 'and' binds tighter than 'or': two atoms, not residue 9 and 10 at once.
        {"assign (segid A and resid 9 and name HA or segid A and resid 10 and name HA)" + b8, {}, "ambiguous end"},
        {"assign (segid A and resid 9 and name HN or segid A and resid 9 and name H)" + b8, {},
         "(resid 9 and name HN) (resid 8 and name HG)"},
        {"assign (segid A and resid 9 and name HG# and name HGX)" + b8, {}, "unreadable selection"},  // '#': digits
        {"assign (segid A and resid 9 and name HG* and name HGX)" + b8, {}, "(resid 9 and name HG) (resid 8 and name HG)"},
        {"assign (resid 9 and name HA)" + b8, {}, "no chain"},
        {"assign (segid A and resid 9 and not name HA)" + b8, {}, "unreadable selection"},
        {"assign (segid A and resid 9 and resid 10)" + b8, {}, "unreadable selection"},
        {"assign (segid C and resid 9 and name HA)" + b8, pairAB, "other chains"},
        {"assign (segid A and resid 10 and name HA)" + b8, helix, "not in the helix"},
    };
    for (const auto& c : cases) {
        Conversion out;
        ASSERT_TRUE(read_xplor(c.text, "t", out.input).ok()) << c.text;
        map_restraints(c.options, out);
        const std::string got = out.kept.empty() ? out.dropped.at(0).reason : restraint_file_text(out);
        EXPECT_EQ(got, out.kept.empty() ? c.expected : c.expected + "\n") << c.text;
    }
}

}  // namespace
