// The side-chain point of a residue (CB, or HA2 on glycine) when its file
// does not name one: glycine's alpha protons told apart by their position
// whatever convention named them, and a point the file lacks placed from
// the residue's N, CA and C (geometry/backbone_points.h).
#pragma once
#include <string>

#include <gemmi/model.hpp>

// Gives r an atom CB or HA2 where it has neither (or has CHARMM's HA1 and
// HA2): a glycine's alpha proton at dihedral C-N-CA-H > 0 renamed HA2 (the
// other HA3), else HA2 of a glycine or CB of any other residue placed from
// N, CA and C, after O. Returns what was done ("placed HA2 of GLY 79 from its
// backbone", "took HA of GLY 2 as HA2") or an empty string; problem is set
// (the end of the "[Error] Residue ..." line) when it can not be done.
std::string complete_side_chain_point(gemmi::Residue& r, std::string& problem);
