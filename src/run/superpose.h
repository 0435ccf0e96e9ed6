// CA RMSD between two oligomers after the best rigid superposition, over
// every cyclic assignment of protomers to chains in both directions: protomer p of the mobile oligomer goes on chain
// (start + direction * p) mod n of the target. A ring of identical helices
// numbered from another protomer or turned the other way round is the same
// structure, and this finds it. The superposition is the quaternion method
// solved by Jacobi rotations: gemmi's Newton solver does not always
// converge for the near-symmetric cases met here and then writes to stderr.
#pragma once
#include <array>
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

// The same for two rings symmetric about z (protomer p is protomer 1 turned
// by p steps about z), from protomer 1 of each: the rings' correlation is
// that of their first protomers summed over the turns, so a comparison
// costs one protomer's points. Every start of a numbering gives the same
// RMSD (a turn of the ring maps it onto itself), so only the two
// directions are tried and the start is 0. The turns are exact, the placed
// rings' are rounded to float: RMSDs agree with best_assignment to 1e-5 A.
class RingCorrelation {
public:
    explicit RingCorrelation(int numProtomer);
    Assignment best(const std::vector<Point>& target, const std::vector<Point>& mobile) const;
    int size() const { return n_; }

private:
    int n_;
    std::vector<std::array<std::array<double, 3>, 3>> turns_;
};

// The rigid motion that best puts mobile on target (least squares):
// p -> rotation (p - mobileCentre) + targetCentre.
struct Superposition {
    double rotation[3][3];
    double mobileCentre[3], targetCentre[3];
    double rmsd;
    Point apply(Point p) const;
};
Superposition superpose(const std::vector<Point>& target, const std::vector<Point>& mobile);

// Selects the points at the given indices of every protomer.
Oligomer select_points(const Oligomer& oligomer, const std::vector<int>& indices);
