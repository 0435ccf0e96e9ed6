// The side-chain point of residues whose files name it otherwise or lack it:
// glycine's alpha protons in each naming convention, placed points against
// the deposited ones of 1AFO, and the helices users bring (1MP6).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>

#include "base/text.h"
#include "formats/prepare.h"
#include "geometry/geometry.h"
#include "support.h"

namespace {

// Residues 78-82 of chain A of 1AFO's first model, GLY 79 and ALA 82 among them.
std::string glycophorin_piece() {
    std::ifstream in(EXAMPLES_DIR "/gpa/1afo.pdb");
    std::string text, line;
    while (std::getline(in, line) && line.compare(0, 6, "ENDMDL") != 0) {
        const int number = line.size() > 26 ? std::atoi(line.substr(22, 4).c_str()) : 0;
        if (line.compare(0, 4, "ATOM") == 0 && line[21] == 'A' && number >= 78 && number <= 82) text += line + "\n";
    }
    return text;
}

// The piece with some atoms of a residue renamed ("" deletes the atom).
std::string edited(const std::string& text, int residue, const std::map<std::string, std::string>& names) {
    std::string out;
    for (std::string line : lines_of(text)) {
        const auto it = names.find(trim_blanks(line.substr(12, 4)));
        if (std::atoi(line.substr(22, 4).c_str()) == residue && it != names.end()) {
            if (it->second.empty()) continue;
            line.replace(12, 4, (it->second.size() < 4 ? " " + it->second + "    " : it->second).substr(0, 4));
        }
        out += line + "\n";
    }
    return out;
}

// The point of this atom of a residue in PDB text; x is NaN when it is not there.
Point atom_at(const std::string& text, int residue, const std::string& name) {
    for (const std::string& line : lines_of(text))
        if (std::atoi(line.substr(22, 4).c_str()) == residue && trim_blanks(line.substr(12, 4)) == name)
            return pdb_point(line);
    return {NAN, 0, 0};
}

struct Case {
    const char* what;
    int residue;
    std::map<std::string, std::string> names;  // deposited name -> the file's name
    const char* note;                          // after "From 'piece.pdb': "; "" for none
    const char* point;                         // the deposited atom the side-chain point must be
    float within;                              // Angstrom
};

TEST(SideChainPoint, NamingConventionsAndPointsPlacedFromTheBackbone) {
    const std::string piece = glycophorin_piece();
    const Case cases[] = {
        {"PDB names", 79, {}, "", "HA2", 0},
        {"PyMOL", 79, {{"HA2", "HA"}, {"HA3", "3HA"}}, "took HA of GLY 79 as HA2", "HA2", 0},
        {"PDB version 2", 79, {{"HA2", "1HA"}, {"HA3", "2HA"}}, "took 1HA of GLY 79 as HA2", "HA2", 0},
        {"CHARMM", 79, {{"HA2", "HA1"}, {"HA3", "HA2"}}, "took HA1 of GLY 79 as HA2", "HA2", 0},
        {"HA1 and HA2 the other way round", 79, {{"HA3", "HA1"}, {"H", "HN"}}, "", "HA2", 0},
        {"no hydrogen", 79, {{"HA2", ""}, {"HA3", ""}, {"H", ""}}, "placed HA2 of GLY 79 from its backbone", "HA2", 0.02f},
        {"HA3 alone", 79, {{"HA2", ""}}, "placed HA2 of GLY 79 from its backbone", "HA2", 0.02f},
        {"CB missing", 82, {{"CB", ""}}, "placed CB of ALA 82 from its backbone", "CB", 0.1f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string pdb;
        PreparationNotes notes;
        const Status status = extract_helix_from_bytes(edited(piece, c.residue, c.names), "piece.pdb",
                                                       HelixChoice(), pdb, &notes);
        ASSERT_TRUE(status.ok()) << status.message;
        EXPECT_EQ(notes.sameSequenceChains, 1);
        const std::vector<std::string> expected = {std::string("From 'piece.pdb': ") + c.note};
        EXPECT_EQ(notes.sideChainPoints, *c.note ? expected : std::vector<std::string>());
        EXPECT_LE(distance(atom_at(pdb, c.residue, c.point), atom_at(piece, c.residue, c.point)), c.within);
        if (c.residue == 79) {
            EXPECT_TRUE(std::isnan(atom_at(pdb, 79, "HA1").x) && std::isnan(atom_at(pdb, 79, "HA").x));
        }
    }
}

TEST(SideChainPoint, UsersHelicesAndTheCopiesOfTheChain) {
    std::string pdb;
    PreparationNotes notes;
    ASSERT_TRUE(extract_helix(TEST_DATA "/1mp6.pdb", HelixChoice(), pdb, &notes).ok());
    EXPECT_EQ(notes.sideChainPoints, std::vector<std::string>{"From '" TEST_DATA
                                                              "/1mp6.pdb': placed HA2 of GLY 34 from its backbone"});
    // Placed after O, numbered in turn.
    EXPECT_NE(pdb.find(" O   GLY A  34 "), std::string::npos);
    EXPECT_EQ(pdb.find(" HA2 GLY A  34 ") - pdb.find(" O   GLY A  34 "), 81u);
    HelixChoice b;
    b.chain = "B";
    ASSERT_TRUE(extract_helix(EXAMPLES_DIR "/gpa/1afo.pdb", b, pdb, &notes).ok());
    EXPECT_EQ(notes.sameSequenceChains, 2);
    EXPECT_TRUE(notes.sideChainPoints.empty());
}

}  // namespace
