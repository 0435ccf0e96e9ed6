// How the protomers of an oligomer pack against each other: which template
// atoms are backbone and which are heavy, the closest approach of backbone
// atoms of different protomers, and the packing energy. Both measures look
// at protomer 1 against every other protomer; the oligomer is symmetric, so
// that is every pair of neighbours. A cell grid keeps the cost proportional
// to the atoms of the oligomer, also for helices of thousands of atoms.
#pragma once
#include <string>
#include <vector>

#include "geometry.h"

// One array of points per protomer, every array in template order.
using Oligomer = std::vector<std::vector<Point>>;

// For each atom of the template: backbone (N, CA, C, O) and heavy (not a
// hydrogen). Both are read from PDB ATOM lines: the atom name in columns
// 13-16 and the element in columns 77-78; without an element, a name whose
// first letter (after digits) is H or D counts as a hydrogen.
struct AtomKinds {
    std::vector<char> backbone;
    std::vector<char> heavy;
    bool side_chains = false;  // some heavy atom beyond N, CA, C, O and CB
};
AtomKinds atom_kinds(const std::vector<std::string>& atomLines);

// The smallest distance below limit between a masked atom of protomer 1 and
// a masked atom of any other protomer; limit itself when there is none. The
// steric test of a placement is closest_below(o, kinds.backbone, 2.5f) < 2.5f.
float closest_below(const Oligomer& oligomer, const std::vector<char>& mask, float limit);

// The closest approach of backbone atoms of different protomers, however far
// (infinity for a single protomer or a template without backbone atoms).
float closest_backbone(const Oligomer& oligomer, const AtomKinds& kinds);

// The packing energy: 100 times the sum of (3.25 - d)^2 over heavy-atom
// pairs of protomer 1 and another protomer closer than 3.25 A, minus the
// number of such pairs within 5 A. Low is good: many contacts, no overlap.
// The sum runs in double in a fixed order, so equal inputs give equal bits.
double packing_energy(const Oligomer& oligomer, const AtomKinds& kinds);
