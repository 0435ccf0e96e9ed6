// verdict.json of noebundle-analyze: the verdict, the allowed set's clusters
// described (angles in degrees, distances in Angstrom) and the cross peaks
// that would decide, as one JSON object:
//   decided, tolerance, allowed, cutoff, derived (true when the set was taken
//   from the ranked candidates), clusters [{population, delta, phi, theta,
//   psi, radius, packing, spread, crossing_angle, axis_distance, axis_radius,
//   tilt, supercoil_radius, supercoil_pitch, interface, rmsd_to_first}],
//   suggested [{line, residue1, proton1, residue2, proton2, neighbour, split,
//   distances}].
// Numbers have three decimals; a value that is not a number is null.
#pragma once
#include <string>
#include <vector>

#include "analysis/decisive_pairs.h"
#include "analysis/verdict.h"

std::string verdict_json(const Verdict& verdict, const std::vector<DecisivePair>& suggested);
