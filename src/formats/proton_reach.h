// How far a proton can lie from the atom that stands in for it in a
// restraint (CA for HN, HA and HB; CB for HG, HD, HE, HZ and HH), by residue
// type and proton class: the largest distance over every side-chain
// conformation at ideal bond lengths and angles. Data; the source is named
// in proton_reach.cpp.
#pragma once
#include <string>

// The reach in Angstrom of protonClass ("HN", "HA", ..., "HH", either case)
// in the residue named residueName (three-letter PDB name, blanks around it
// ignored). A residue outside the twenty, or a class that the residue type
// has no proton of, gets the largest reach of that class over the twenty,
// so that the reach never falls short; an unknown class reaches 0.
float proton_reach(const std::string& residueName, const std::string& protonClass);
