// The one line, printed by the search and the analysis alike, that says
// whether the restraints decide the bundle: they do when every placement
// that fits them as well as the best falls into one cluster.
#pragma once
#include <string>
#include <vector>

// allowed: placements in the allowed set; crossingAngles: of each cluster's
// representative, best first (degrees); spread: largest CA RMSD of a member
// of cluster 1 to structure 1; apart: largest CA RMSD of a representative to
// structure 1 (Angstrom). Angles and distances show one decimal; up to six
// angles are listed, then "...".
std::string verdict_line(long long allowed, const std::vector<double>& crossingAngles, double spread, double apart);
