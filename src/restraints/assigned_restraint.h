// A distance restraint with both ends on named atoms of named chains, as a
// refinement program takes it: what the analysis exports from a run, once
// for every pair of protomers the restraint joins.
#pragma once
#include <string>
#include <vector>

struct AssignedAtom {
    std::string chain;
    int residue = 0;
    std::string residueName;
    std::string atomName;  // a proton's name; the writers add their own wildcard
    bool wildcard = false; // the protons whose names go on with more digits
};

struct AssignedRestraint {
    std::string comment;  // names where the restraint comes from
    std::vector<AssignedAtom> end1, end2;  // the atoms each end may be on (usually one)
    bool hasTarget = true, hasLower = true;  // without a lower bound: an upper bound alone
    float distance = 0, lower = 0, upper = 0;  // Angstrom
    std::string terms;  // XPLOR/CNS distance terms to write as given ("2.7 0.9 0.5"); empty: from the bounds
};

// One residue of a chain's sequence.
struct SequenceResidue {
    int number;
    std::string name;
};
