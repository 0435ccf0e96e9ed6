// How well the restraints decide the bundle: the allowed set (the placements
// that fit the restraints as well as the best), read from the search's
// allowed.csv or, for a hand-made candidate file, taken from the ranked
// candidates; each cluster's representative placed as the structure files
// place it and described in the terms papers use.
#pragma once
#include <string>
#include <vector>

#include "analysis/run_data.h"
#include "base/status.h"
#include "formats/allowed_set.h"
#include "formats/verdict_line.h"
#include "geometry/bundle_geometry.h"
#include "run/oligomer.h"

struct ClusterView {
    AllowedCluster cluster;
    Oligomer placed;              // every template atom of every protomer
    BundleGeometry geometry;
    std::vector<int> interface;   // residue numbers of protomer 1
};

struct Verdict {
    AllowedSet set;
    bool derived = false;  // taken from the ranked candidates: the run has no allowed.csv
    std::vector<ClusterView> clusters;  // best first
    bool decided() const { return decides(set); }
};

// The set of ranked candidates (best first, with their Deltas) within
// tolerance of the best Delta, leader-clustered in rank order by CA RMSD
// after superposition; each population counts its members.
AllowedSet allowed_from_ranking(const Template& tmpl, const CandidateTable& ranked, const std::vector<float>& deltas,
                                int numProtomer, double tolerance, double cutoff);

// workDir/allowed.csv when the run has one, else the set of its ranked
// candidates within 0.05 A of the best, clustered at 2.0 A.
Status run_verdict(const RunData& run, Verdict& verdict);

// Each cluster's representative placed and described.
std::vector<ClusterView> describe_clusters(const Template& tmpl, const AllowedSet& set, int numProtomer);

// The one line of formats/verdict_line.h, and a line per cluster.
std::string verdict_text(const Verdict& verdict);
std::vector<std::string> cluster_lines(const Verdict& verdict);
