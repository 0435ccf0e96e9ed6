// Placements refined off the grid: each of the best kept placements moves
// by a pattern search over (phi, theta, psi, radius) in steps below the
// grid's, halving the step whenever no move helps, to a lower score and then
// a lower packing energy. Every value tried is one a candidate file can hold
// (three decimals), placements whose backbones clash are never taken, and
// the mirror-twin half and the searched radii are not left. Each placement
// is refined alone, so the result does not depend on the number of threads.
#pragma once
#include <cstddef>

#include "search/search.h"
#include "search/side_chains.h"

struct RefineSettings {
    double angleStep = 0, radiusStep = 0;  // the grid's steps: radians, Angstrom
    float lowestRadius = 0, highestRadius = 0;
    int halvings = 5;      // step sizes tried: half the grid's step, then halved this many times
    int maxMoves = 400;    // placements tried for one starting point, at most
};

// Refines every placement of result.best (the steric rule and packing
// with the template's points, or with the side chains packed for the
// placement when a packer is given; no refinement with halvings < 0), with
// a packer measures each one's packing with its side chains packed, and
// orders the list again. Two placements that end on the same values keep
// the better one refined and the other where it was.
void refine_best(const Scorer& scorer, const Template& tmpl, int numProtomer, const RefineSettings& settings,
                 const SideChainPacker* packer, SearchResult& result);
