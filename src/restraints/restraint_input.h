// Distance restraints as the XPLOR/CNS and NEF readers find them, before any
// mapping: each end a list of alternative atoms (chain, residue, name, the
// name possibly with wildcards), plus what the readers skipped, so that every
// statement of a file can be accounted for.
#pragma once
#include <string>
#include <vector>

// One alternative of an end: what a selection or a NEF row names.
struct AtomChoice {
    std::string chain;        // segment id or chain code; empty when not given
    bool residueGiven = false;
    int firstResidue = 0, lastResidue = 0;  // inclusive; equal for one residue
    std::string name;         // upper case; '*', '#', '%' and '+' are wildcards; empty: any
    // Which pair of selections this choice came with: choices of the two ends
    // pair up only within one pair (XPLOR's "or" after the numbers, NEF's rows).
    int pair = 0;
};

// One end of a restraint: its alternatives, or why it cannot be read as atoms.
struct RestraintEnd {
    std::vector<AtomChoice> choices;
    std::string problem;  // e.g. "uses 'not'"; empty when choices hold the end
};

struct InputRestraint {
    std::string origin;  // "line 12" or "restraint 4"
    RestraintEnd end1, end2;
    bool hasTarget = false, hasLower = false, hasUpper = false;
    float target = 0, lower = 0, upper = 0;  // Angstrom
    std::string terms;  // XPLOR/CNS: the three numbers as written, "2.7 0.9 0.5"
};

struct SkippedSection {
    int firstLine, lastLine;
    std::string what;
};

struct RestraintInput {
    std::string format;  // "XPLOR/CNS" or "NEF"
    std::vector<InputRestraint> restraints;
    // Statements that are not distance restraints, by kind, in the order first met.
    std::vector<std::pair<std::string, int>> skipped;
    std::vector<SkippedSection> sections;

    void count_skipped(const std::string& kind) {
        for (auto& entry : skipped)
            if (entry.first == kind) {
                ++entry.second;
                return;
            }
        skipped.emplace_back(kind, 1);
    }
};
