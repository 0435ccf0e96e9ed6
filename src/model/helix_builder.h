// The ideal alpha-helix of a one-letter sequence: the backbone at the
// helix's torsions, every residue in its most common helix rotamer, with
// every heavy atom and hydrogen under its PDB name (ideal_geometry.h,
// rotamers.h), written as the ATOM lines of chain A that the search reads.
#pragma once
#include <string>
#include <vector>

#include "base/status.h"

struct BuiltAtom {
    std::string name;     // PDB name: "CA", "HB2", "HD11", ...
    std::string residue;  // three-letter name
    int number;           // residue number
    double x, y, z;
};

// The sequence (5 to 5000 of the letters ACDEFGHIKLMNPQRSTVWY) numbered from
// first must fit the PDB columns (-999 to 9999); otherwise the "[Error] "
// line that says what is wrong.
Status check_sequence(const std::string& sequence, long first);
// --first as typed: an integer, else the "[Error] " line.
Status parse_first(const std::string& text, long& first);

// The atoms of the helix, residue by residue: N, CA, C, O, the side chain's
// heavy atoms, OXT on the last residue, then H and the other hydrogens.
// The sequence must have passed check_sequence.
std::vector<BuiltAtom> build_ideal_helix(const std::string& sequence, int first);

// ATOM lines of 80 characters (chain A, serials from 1) and END.
std::string helix_pdb_text(const std::vector<BuiltAtom>& atoms);
