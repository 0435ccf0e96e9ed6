// Restraint lists as structure calculations write them, converted into the
// restraint file: the BM2 example, the archive's 2JR2 file, and the mapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

#include "restraints/restraint_convert.h"
#include "restraints/restraint_report.h"
#include "support.h"
#include "restraints/nef.h"
#include "restraints/xplor.h"

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
    fs::create_directory(dir.file("run"));
    fs::copy_file(bm2 + "bm2.tbl", dir.file("run/bm2.tbl"));
    const RunResult run = run_program("noebundle-restraints", {"run/bm2.tbl", "--out", "run/bm2.noe"}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(read_text(dir.file("run/bm2.noe")), read_text(bm2 + "bm2.noe"));
    // The output the example's README shows, where "..." stands for lines left out.
    const std::string readme = read_text(bm2 + "README.md");
    const std::size_t start = readme.find("```text\n") + 8;
    std::string pattern;
    for (const std::string& line : lines_of(readme.substr(start, readme.find("```", start) - start)))
        pattern += line == "..." ? "(.*\n)*?" : std::regex_replace(line, std::regex(R"([.^$|()\[\]{}*+?\\])"), "\\$&") + "\n";
    EXPECT_TRUE(std::regex_match(run.out, std::regex(pattern))) << run.out;
}

TEST(RestraintConvert, ProtonClasses) {
    // "heavy": no class, and the name is a heavy atom's.
    const std::map<std::string, std::string> cases{
        {"H", "HN"},   {"hn", "HN"},  {"HA2", "HA"}, {"HA*", "HA"},  {"QB", "HB"},  {"HB#", "HB"},
        {"1HB", "HB"}, {"QG1", "HG"}, {"HG1*", "HG"}, {"MD1", "HD"}, {"QQD", "HD"}, {"HE21", "HE"},
        {"HZ%", "HZ"}, {"HH11", "HH"}, {"HT1", ""},   {"H*", ""},    {"QR", ""},    {"H1", ""},
        {"CA", "heavy"}, {"N", "heavy"}, {"OG1", "heavy"}, {"SD", "heavy"}};
    for (const auto& [name, cls] : cases) {
        bool heavy;
        const std::string got = proton_class(name, heavy);
        EXPECT_EQ(got + (heavy ? "heavy" : ""), cls) << name;
    }
}

// One XPLOR statement: the restraint line it becomes, or why it is dropped.
TEST(RestraintConvert, SelectionsToLinesOrReasons) {
    const std::string b8 = " (segid B and resid 8 and name HG#) 4.0 2.2 1.0";
    ConvertOptions helix;
    helix.useHelix = true, helix.helixResidues = {8, 9};
    ConvertOptions pairAB, pairAC, range;
    pairAB.chain1 = "A", pairAB.chain2 = "B";
    pairAC.chain1 = "A", pairAC.chain2 = "C";
    range.useRange = true, range.firstResidue = 8, range.lastResidue = 9;
    const std::string s9 = "(segid A and resid 9 and name HG#)", a9 = "assign " + s9;
    const std::string eitherBD = "((segid B and resid 5 and name HA) or (segid D and resid 5 and name HA)) 4 2 1";
    const std::string hn8 = "(resid 9 and name HN) (resid 8 and name HG)";
    const std::string ha5 = "(resid 9 and name HG) (resid 5 and name HA) on either neighbour";
    const struct {
        std::string text;
        ConvertOptions options;
        std::string expected;
    } cases[] = {
        {"assign (segid A and resid 9 and name H)" + b8, {}, hn8},
        {"ASSI (SEGI A AND RESI 9 AND (NAME HB1 OR NAME HB2))" + b8, {}, "(resid 9 and name HB) (resid 8 and name HG)"},
        {"assign (chain A and resid 9 and name QG1)" + b8, {}, "(resid 9 and name HG) (resid 8 and name HG)"},
        {"assign (atom A 9 MD1)" + b8, {}, "(resid 9 and name HD) (resid 8 and name HG)"},
        {"assign (segid A and resid 9 and name HA# and name HA2)" + b8, {}, "(resid 9 and name HA) (resid 8 and name HG)"},
        {"assign (segid A and resid 9 and resname LEU and name HA)" + b8, {}, "(resid 9 and name HA) (resid 8 and name HG)"},
        {"assign (segid A and resid 9 and name HN)" + b8 + " or (segid A and resid 9 and name HN) (segid B and resid 8 and name HG1)",
         {}, hn8},
        {"assign (segid B and resid 9 and name HN)" + b8, {}, "intra-chain"},
        {"assign (segid A and resid 9 and name N)" + b8, {}, "heavy atom"},
        {"assign (segid A and resid 9:10 and name HA)" + b8, {}, "ambiguous end"},
        {"assign (segid A and (resid 9 or resid 10) and name HA)" + b8, {}, "ambiguous end"},
        {"assign (segid A and resid 9 and (name HA or name HB#))" + b8, {}, "ambiguous end"},
        // 'and' binds tighter than 'or': two atoms, not residue 9 and 10 at once.
        {"assign (segid A and resid 9 and name HA or segid A and resid 10 and name HA)" + b8, {}, "ambiguous end"},
        {"assign (segid A and resid 9 and name HN or segid A and resid 9 and name H)" + b8, {}, hn8},
        {"assign (segid A and resid 9 and name HG# and name HGX)" + b8, {}, "unreadable selection"},  // '#': digits
        {"assign (segid A and resid 9 and name HG* and name HGX)" + b8, {}, "(resid 9 and name HG) (resid 8 and name HG)"},
        {"assign (resid 9 and name HA)" + b8, {}, "no chain"},
        {"assign (segid A and resid 9 and not name HA)" + b8, {}, "unreadable selection"},
        {"assign (segid A and resid 9 and resid 10)" + b8, {}, "unreadable selection"},
        {"assign (segid C and resid 9 and name HA)" + b8, pairAB, "other chains"},
        {"assign (segid B and resid 8 and name HG#) (segid A and resid 9 and name HA) 4.0 2.2 1.0", pairAB,
         "(resid 8 and name HG) (resid 9 and name HA)"},  // --chains A,B takes B to A too
        {"assign (segid A and resid 10 and name HA)" + b8, helix, "not in the helix"},
        {"assign (segid A and resid 7 and name HA)" + b8, range, "outside --residues"},
        {"assign (segid A and resid 8 and name HA)" + b8, range, "(resid 8 and name HA) (resid 8 and name HG)"},
        // The partner on either neighbour: inside a selection, or as pairs after the numbers.
        {"assign (segid A and resid 9 and name HG#) " + eitherBD, {}, ha5},
        {"ASSI (SEGI A AND RESI 9 AND NAME HG#) ((SEGI B AND RESI 5 AND NAME HA) OR (SEGI D AND RESI 5 AND NAME HA)) 4 2 1", {}, ha5},
        {a9 + " (segid B and resid 5 and name HA) 4 2 1 or " + s9 + " (segid D and resid 5 and name HA)", {}, ha5},
        {a9 + " (segid B and resid 5 and name HA) 4 2 1 or (segid B and resid 9 and name HG2) (segid A and resid 5 and name HA)",
         {}, ha5},
        {"assign (segid A and resid 9 and name HG#) " + eitherBD, pairAB, ha5},
        {"assign (segid A and resid 9 and name HG#) " + eitherBD, pairAC, "other chains"},
        {a9 + " ((segid A and resid 5 and name HA) or (segid B and resid 5 and name HA)) 4 2 1", {}, "ambiguous end"},
        {"assign ((segid A or segid B) and resid 9 and name HG#) ((segid B or segid A) and resid 5 and name HA) 4 2 1", {},
         "ambiguous end"},
        {a9 + " ((segid B and resid 5 and name HA) or (segid D and resid 6 and name HA)) 4 2 1", {}, "ambiguous end"},
        {a9 + " ((segid B and resid 5 and name HA) or (segid D and resid 5 and name HB#)) 4 2 1", {}, "ambiguous end"},
        {a9 + " (segid A and resid 5 and name HA) 4 2 1 or " + s9 + " (segid A and resid 5 and name HA2)", {},
         "intra-chain"},
    };
    for (const auto& c : cases) {
        Conversion out;
        ASSERT_TRUE(read_xplor(c.text, "t", out.input).ok()) << c.text;
        map_restraints(c.options, out);
        std::string got = out.kept.empty() ? out.dropped.at(0).reason : restraint_file_text(out);
        // Alternatives on several chains are counted as the partner on either neighbour.
        if (!out.kept.empty()) got.replace(got.size() - 1, 1, out.kept[0].eitherNeighbour ? " on either neighbour" : "");
        EXPECT_EQ(got, c.expected) << c.text;
    }
}

// NEF rows of one restraint that differ only in the chain become the plain
// restraint; rows that leave a chain paired with itself, or differ in the
// residue, are dropped; the summary counts each kind.
TEST(RestraintConvert, NefRowsOnEitherNeighbour) {
    const std::string rows[] = {
        "1 A 9 HG1 B 5 HA", "1 A 9 HG1 D 5 HA",    // either neighbour of a tetramer
        "2 A 13 HD1 B 8 HA", "2 B 13 HD1 A 8 HA",  // both directions of a dimer
        "3 A 16 HG B 12 HA",                        // plain
        "4 A 20 HD1 A 15 HA", "4 A 20 HD1 B 15 HA", "5 A 23 HD1 B 19 HA", "5 A 23 HD1 D 18 HA"};
    std::string text = "data_t\nsave_l\nloop_\n";
    for (const char* tag : {"restraint_id", "chain_code_1", "sequence_code_1", "atom_name_1", "chain_code_2",
                            "sequence_code_2", "atom_name_2"})
        text += std::string("_nef_distance_restraint.") + tag + "\n";
    for (const std::string& row : rows) text += row + "\n";
    Conversion c;
    c.path = "t.nef";
    ASSERT_TRUE(read_nef(text + "stop_\nsave_\n", "t.nef", c.input).ok());
    map_restraints(ConvertOptions(), c);
    EXPECT_EQ(restraint_file_text(c),
              "(resid 9 and name HG) (resid 5 and name HA)\n(resid 13 and name HD) (resid 8 and name HA)\n"
              "(resid 16 and name HG) (resid 12 and name HA)\n");
    const std::vector<std::string> summary = lines_of(conversion_summary(c));
    EXPECT_EQ(summary, (std::vector<std::string>{
                           "Read 't.nef' as NEF: 5 distance restraints, 3 kept, 2 dropped", "Kept by form:",
                           "  between two chains                 1", "  partner on either neighbour        2",
                           "Dropped by reason:", "  ambiguous end                      2"}));
    EXPECT_EQ(c.dropped.at(0).detail, "an alternative joins chain A to itself");
    EXPECT_EQ(c.input.restraints.at(0).origin, "restraint 1");  // one list: no list name before the id
}

// The accounting comes first, also before the error on too many restraints;
// the dropped statements follow by reason, ten of each unless --verbose.
TEST(RestraintConvert, AccountingFirstAndDroppedByReason) {
    TempDir dir;
    const std::string mr = std::string(TEST_DATA) + "/2jr2.mr";
    const RunResult tooMany = run_program("noebundle-restraints", {mr}, dir.path());
    const std::vector<std::string> out = lines_of(tooMany.out);
    EXPECT_EQ(tooMany.status, 1);
    ASSERT_EQ(out.size(), 13u) << tooMany.out;
    // The archive's file of PDB entry 2JR2, read completely: a homodimer, hydrogen-bond and NOE distances
    // and dihedral restraints over two lines.
    const std::vector<std::string> accounting = {
        "Read '" + mr + "' as XPLOR/CNS: 1510 distance restraints, 139 kept, 1371 dropped",
        "Skipped lines 1-27 (archive header)", "Skipped lines 2188-27288 (table of hydrogen names)",
        "Skipped 2 statement(s): remarks", "Skipped 212 statement(s): dihedral restraint", "Kept by form:",
        "  between two chains               139", "  partner on either neighbour        0", "Dropped by reason:",
        "  intra-chain                     1142", "  duplicate                        229"};
    EXPECT_EQ(std::vector<std::string>(out.begin(), out.begin() + 11), accounting);
    const RunResult helix = run_program("noebundle-restraints", {mr, "--helix", bm2 + "2kix_model1.pdb"}, dir.path());
    EXPECT_EQ(lines_of(helix.out).back(), "[Done] 33 restraints kept; --out FILE writes them");  // the helix's residues
    EXPECT_EQ(out[11].rfind("Suggestion: noeModel=upper. 136 of 139 kept restraints", 0), 0u);
    EXPECT_EQ(out[12], "[Error] 139 restraints kept from '" + mr +
                           "', more than the 100 noebundle takes: --residues FIRST-LAST keeps only theirs; noeModel=upper, for lists taken from spectra, takes up to 100000");
    const std::vector<std::string> verboseOut = lines_of(run_program("noebundle-restraints", {mr, "--verbose"}, dir.path()).out);
    EXPECT_EQ(std::count_if(verboseOut.begin(), verboseOut.end(), [](const std::string& l) { return l.rfind("    line ", 0) == 0; }),
              1371);  // every dropped line, though the count then fails
    for (const bool verbose : {false, true}) {
        std::vector<std::string> args = {mr, "--residues", "5-30"};
        if (verbose) args.push_back("--verbose");
        const RunResult run = run_program("noebundle-restraints", args, dir.path());
        EXPECT_EQ(run.status, 0);
        std::map<std::string, int> listed;  // dropped lines shown, by the heading above them
        std::string heading;
        for (const std::string& line : lines_of(run.out)) {
            if (line.compare(0, 2, "  ") == 0 && line.compare(0, 3, "   ") != 0 && line.back() == ':') heading = line;
            else if (!heading.empty() && line.compare(0, 9, "    line ") == 0) ++listed[heading];
        }
        EXPECT_EQ(listed, (std::map<std::string, int>{{"  intra-chain (1142):", verbose ? 1142 : 10},
                                                      {"  outside --residues (314):", verbose ? 314 : 10},
                                                      {"  duplicate (32):", verbose ? 32 : 10}}));
        EXPECT_EQ(lines_of(run.out).back(), "[Done] 22 restraints kept; --out FILE writes them");
    }
}

}  // namespace
