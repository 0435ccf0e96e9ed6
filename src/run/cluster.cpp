#include "run/cluster.h"

Clustering leader_clusters(const std::vector<Oligomer>& structures, double cutoff) {
    Clustering c;
    for (std::size_t s = 0; s < structures.size(); ++s) {
        int joined = 0;
        double rmsd = 0;
        for (std::size_t k = 0; k < c.leaders.size() && joined == 0; ++k) {
            rmsd = best_assignment(structures[c.leaders[k]], structures[s]).rmsd;
            if (rmsd <= cutoff) joined = static_cast<int>(k) + 1;
        }
        if (joined == 0) {
            c.leaders.push_back(static_cast<int>(s));
            joined = static_cast<int>(c.leaders.size());
            rmsd = 0;
        }
        c.cluster.push_back(joined);
        c.toLeader.push_back(rmsd);
    }
    return c;
}
