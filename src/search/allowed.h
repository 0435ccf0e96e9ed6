// The set of placements the restraints allow, clustered: every placement
// that passes the steric rule and scores within the tolerance of the best
// (search.h), grouped by CA RMSD of the whole oligomer after superposition
// over every numbering of the ring. Clusters are led in the kept order, so
// each cluster's representative is its best member and the first cluster's
// is the best placement. When the set outnumbers the kept list, the kept
// list is made to hold every cluster's representative, so that it shows
// the whole set and not only the neighbours of one placement.
#pragma once
#include <string>
#include <vector>

#include "formats/allowed_set.h"
#include "run/oligomer.h"
#include "search/search.h"

struct AllowedClusters {
    AllowedSet set;
    std::vector<Hit> representatives;  // of each cluster, in the set's order
    std::vector<int> memberOf;         // the cluster of each allowed placement, from 0
};

// Leader clustering of result.allowed with the given cutoff (Angstrom).
// The template's CA atoms stand for the oligomer.
AllowedClusters cluster_allowed(const SearchResult& result, const Grid& grid, const Template& tmpl, int numProtomer,
                                double cutoff);

// Puts the representatives that the kept list lacks in place of its last
// members that represent no cluster, then restores the kept order; at most
// as many as the list holds. The rows are the grid's.
void keep_representatives(const std::vector<Hit>& representatives, const Grid& grid, SearchResult& result);

// After the kept list was refined off the grid and ordered again: each
// cluster represented by its best member in that order (refined: its row,
// Delta and packing energy), and the clusters in the order of their
// representatives, so that structure 1 still leads cluster 1; clusters
// whose refined representatives came within the cutoff of an earlier one
// join it.
void follow_refined(const SearchResult& result, const Template& tmpl, int numProtomer, AllowedClusters& clusters);

