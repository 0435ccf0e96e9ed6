// The restraints measured in one placement, with the distance code of the
// score: the two-point helix placed by the candidate, its neighbour turned
// by one step, and pair_distances on the restraint's points. Each restraint
// takes the better of its two pairings, as the score does, so a structure
// whose Delta is 0 violates nothing and Delta is the root mean square of the
// violations.
#pragma once
#include <string>
#include <vector>

#include "formats/candidates.h"
#include "formats/helix.h"
#include "formats/restraint.h"
#include "run/score.h"

// The helix placed by a candidate (protomer 1) and turned by one step (protomer 2).
struct PlacedPair {
    std::vector<Point> model, turned;
};
PlacedPair place_pair(const Helix& aligned, const CandidateRow& row, int numProtomer);

// The score of the placement, bit for bit the Delta of noebundle.
float placement_delta(const Restraint& res, const PlacedPair& placed);

struct RestraintCheck {
    float distance;   // in the better pairing, Angstrom
    int neighbour;    // the protomer that pairing joins to protomer 1: 2 or the last
    float violation;  // Angstrom beyond the nearer bound, 0 inside the bounds
};
// One entry per restraint. The better pairing has the smaller violation; when
// both are equal (both satisfied, say) the shorter distance, the pairing the
// restraint report votes for.
std::vector<RestraintCheck> check_restraints(const Restraint& res, const PlacedPair& placed, int numProtomer);

// A restraint counts as violated when its violation exceeds a threshold, as
// NMR programs count them (0.5 Å by default, as Xplor-NIH does): a
// violation of a few hundredths is within what NOE bounds can say.
constexpr float defaultViolationThreshold = 0.5f;
bool violated(const RestraintCheck& check, float threshold);

// The threshold in words for headers, "0.5 Å": the shortest decimals.
std::string threshold_words(float threshold);

// The number of restraints violated above the threshold, and the largest violation of all.
struct ViolationCount {
    int violated = 0;
    float largest = 0;
};
ViolationCount count_violations(const std::vector<RestraintCheck>& checks, float threshold);

// A restraint's stand-in atoms as "9 CB" and "5 CA" (residue number, atom).
std::string stand_in_atom(const Restraint& res, int i, int end, const std::vector<int>& resNum);
