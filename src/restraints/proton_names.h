// The protons of the twenty standard residues by their IUPAC names, and the
// shortest name that selects all protons of a class (the first two letters,
// "HN" for the amide H) in a residue: the one proton itself (Trp HD1, Tyr
// HH), or the start the protons share, to be written with the format's
// wildcard for trailing digits (Ile HD1: HD11-HD13; Asn HD2; Leu HD).
#pragma once
#include <string>
#include <vector>

// Empty for a residue type outside the twenty.
const std::vector<std::string>& residue_protons(const std::string& residue);

struct MinimalName {
    std::string name;       // "HD1", "H" for the amide proton
    bool wildcard = false;  // more than one proton: name stands for those that go on with digits
};

// False when the residue is not one of the twenty or has no proton of the class.
bool minimal_name(const std::string& residue, const std::string& protonClass, MinimalName& out);
