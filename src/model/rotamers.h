// The side-chain conformations the helix builder gives each residue type:
// its rotamers common in alpha-helices, most frequent first, as data
// (sources in rotamers.cpp), and the atoms that define each chi angle.
#pragma once
#include <array>
#include <vector>

namespace ideal {

struct Rotamer {
    const char* label;          // the rotamer's name in the library
    std::array<double, 4> chi;  // degrees
};

struct RotamerSet {
    char code;  // one-letter code
    int count;  // how many chi angles the residue has
    std::array<std::array<const char*, 4>, 4> atoms;  // the four atoms of each chi
    std::vector<Rotamer> rotamers;                    // most frequent in helices first
};

// The rotamers of the residue with this one-letter code (none for alanine
// and glycine), or nullptr for a letter outside the twenty.
const RotamerSet* helix_rotamers(char code);

}  // namespace ideal
