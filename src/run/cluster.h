// Leader clustering of ranked structures by CA RMSD after superposition: in
// rank order, a structure joins the first cluster whose leader lies within
// the cutoff and otherwise leads a new one. Leaders are thus each cluster's
// best-ranked member.
#pragma once
#include <vector>

#include "run/superpose.h"

struct Clustering {
    std::vector<int> cluster;      // of each structure, from 1
    std::vector<double> toLeader;  // CA RMSD to its leader
    std::vector<int> leaders;      // index of each cluster's leader
};

// structures: the CA atoms of each ranked structure, best first.
Clustering leader_clusters(const std::vector<Oligomer>& structures, double cutoff);
