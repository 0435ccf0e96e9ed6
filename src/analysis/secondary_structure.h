// The alpha-helices of a chain, found from its backbone hydrogen bonds so
// that viewers draw them as helices: residue i's carbonyl O within 3.6 Å of
// the amide N of residue i + 4 is a hydrogen bond; two such bonds at
// consecutive residues i - 1 and i make residues i to i + 3 helical, and each
// run of helical residues is one helix (the usual minimal-helix rule).
#pragma once
#include <vector>

#include "geometry/geometry.h"

struct BackboneNO {
    bool hasN = false, hasO = false;
    Point n{}, o{};
};

// First and last residue index (0-based, inclusive) of one helix.
struct HelixRange {
    int first, last;
};

// The helices of residues in chain order.
std::vector<HelixRange> alpha_helices(const std::vector<BackboneNO>& residues);
