// The one line, printed by the search and the analysis alike, that says
// whether the restraints decide the bundle: they do when every placement
// that fits them as well as the best falls into one cluster.
#pragma once
#include <string>
#include <vector>

#include "formats/allowed_set.h"

// The restraints decide the bundle when the placements that fit them as
// well as the best form one cluster and the best meets them (its Delta
// within the tolerance): the one cluster of a list that no placement meets
// is only the least wrong, as when a restraint is misassigned or the helix
// has another shape.
bool decides(const AllowedSet& set);

// crossingAngles: of each cluster's representative, in the set's order
// (degrees). Decided: how far the members of cluster 1 lie from structure 1;
// else the crossing angles (up to six, then "...") and how far the farthest
// representative lies from structure 1. Angles and distances show one
// decimal.
std::string verdict_line(const AllowedSet& set, const std::vector<double>& crossingAngles);

// How the verdict and its cluster lines show an angle or a distance: one
// decimal and the unit, or "undefined" (a single protomer has no crossing
// angle or axis distance).
std::string one_decimal(double value, const std::string& unit);
