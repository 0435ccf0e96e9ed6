// Cross peaks that would decide the bundle: proton pairs between protomer 1
// and a neighbour that lie under 5 A apart in some clusters of the allowed
// set and over 7 A in others, where the restraint the pair makes is also
// violated: a restraint stands on its stand-in atoms and class bounds, so
// a pair far apart in a cluster whose stand-ins still meet the bounds would
// not remove that cluster once the cross peak is added. A pair splits the
// set by population: its split is the smaller of the population shares on
// either side, at most 0.5. Pairs that structure 1's cluster violates come
// first: seen, such a cross peak overturns structure 1, and looked for and
// not seen, it confirms it. Then the best splits; among equal splits, the
// clearest: the widest gap between its distances under 5 A and
// those over 7 A. Of pairs that part the clusters alike only the best is
// suggested, so that each further cross peak tells something new. Each
// pair is given as the line the restraint file would hold for it (residue
// numbers and proton classes); pairs with the same line are one
// suggestion, by their best split.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "run/oligomer.h"

struct DecisivePair {
    std::string line;          // as noeFile holds a restraint
    int residue1 = 0, residue2 = 0;
    std::string proton1, proton2;  // template atom names: protomer 1, the neighbour
    std::string neighbour;     // the neighbour's chain, as in ensemble.pdb
    double split = 0;
    double gap = 0;            // nearest distance over 7 A less farthest under 5 A
    bool againstFirst = false; // far, its restraint violated, in the first cluster (structure 1's)
    std::vector<double> distances;  // in each cluster, Angstrom
};

// clusters: each representative placed (every template atom, protomer 1
// first); population: of each cluster; resNum: the helix's residue numbers,
// which a restraint line must name. Hydrogens are the template's atoms of
// element H or D. Ties of split and gap go by residues, then proton names.
// violated(line): for each cluster, whether the line's restraint is violated
// there under the run's model.
using ViolatedIn = std::function<std::vector<bool>(const std::string& line)>;
std::vector<DecisivePair> decisive_pairs(const Template& tmpl, const std::vector<int>& resNum,
                                         const std::vector<Oligomer>& clusters,
                                         const std::vector<long long>& population, const ViolatedIn& violated,
                                         std::size_t limit = 10);

// The class a restraint line gives a proton name (HG21: HG, H: HN), or ""
// when the line could not name it.
std::string proton_class(const std::string& atomName);
