// The allowed set of a search: how many placements fit the restraints as
// well as the best (within a tolerance of its Delta) and pass the steric
// rule, and their clusters, each by its best member. The search writes it
// as allowed.csv beside the candidate file; the analysis reads it back to
// say how well the restraints decide the bundle.
#pragma once
#include <istream>
#include <string>
#include <vector>

#include "base/status.h"
#include "formats/candidates.h"

struct AllowedCluster {
    long long population = 0;
    float delta = 0;         // of the representative
    CandidateRow row{};      // the representative, as a candidate file holds it
    double packing = 0;      // packing energy of the representative
    double spread = 0;       // largest CA RMSD of a member to the representative, Angstrom
    double toFirst = 0;      // CA RMSD of the representative to the first cluster's, Angstrom
};

struct AllowedSet {
    double tolerance = 0.05;  // Angstrom of Delta above the best
    long long allowed = 0;    // placements in the set
    double cutoff = 2.0;      // cluster cutoff, CA RMSD in Angstrom
    std::vector<AllowedCluster> clusters;  // best first
};

// The file's text: two comment lines, the settings line, the header and a
// line per cluster.
std::string allowed_set_text(const AllowedSet& set);
// Reads that text back; a wrong format names the path.
Status parse_allowed_set(std::istream& in, const std::string& path, AllowedSet& set);
Status load_allowed_set(const std::string& path, AllowedSet& set);
