// CA RMSD between two oligomers after the best rigid superposition, over
// every cyclic assignment of protomers to chains in both directions: protomer p of the mobile oligomer goes on chain
// (start + direction * p) mod n of the target. A ring of identical helices
// numbered from another protomer or turned the other way round is the same
// structure, and this finds it. The superposition is the quaternion method
// solved by Jacobi rotations: gemmi's Newton solver does not always
// converge for the near-symmetric cases met here and then writes to stderr.
#pragma once
#include <string>
#include <vector>

#include "run/oligomer.h"

struct Assignment {
    double rmsd = 0;
    int start = 0;
    int direction = 1;  // +1 or -1
    // The target chain of mobile protomer p.
    int chain_of(int p, int n) const { return ((start + direction * p) % n + n) % n; }
};

// Both oligomers hold n protomers of equally many matching points. The first
// best assignment in the order start 0..n-1, direction +1 then -1.
Assignment best_assignment(const Oligomer& target, const Oligomer& mobile);

// Selects the points at the given indices of every protomer.
Oligomer select_points(const Oligomer& oligomer, const std::vector<int>& indices);
