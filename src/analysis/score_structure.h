// An oligomer the user has (the deposited one, or a model refined elsewhere;
// PDB or mmCIF, gzipped or not, read with gemmi) scored against the run's
// restraints exactly as the run scores a placed candidate: the same stand-in
// points (CA, and CB or a glycine's HA2, taken or placed as noebundle-search
// takes a helix from a file), the same bounds and the same Delta. Its chains
// must hold the run's helix (the same residue names at the same numbers),
// one per protomer, as symmetric copies in ring order. Protomer 1 is the
// first chain, protomer 2 its neighbour one step clockwise seen from +z,
// where +z is the symmetry axis pointing the way the run's helix points up:
// so "neighbour" means here what it means for a ranked structure.
#pragma once
#include <string>
#include <vector>

#include "analysis/analysis_report.h"
#include "analysis/run_data.h"
#include "analysis/violations.h"
#include "base/status.h"

// Copies must lie this close: the CA RMSD of the motion that best puts
// every chain on the next at once (Å). Deposited NMR oligomers are not
// exact copies, least of all at their ends: model 1 of 2KIX leaves 2.13 Å
// over residues 1-33 (0.89 Å over 5-30), the 20 models of 1AFO up to
// 1.69 Å; the chains of 2KIX in the order A, C, B, D leave 9.5 Å.
constexpr double symmetryTolerance = 2.5;

struct ScoredStructure {
    std::vector<std::string> protomerChains;  // the chain of protomer 1, 2, ... (clockwise from +z)
    double symmetryRmsd = 0;                  // that CA RMSD
    std::vector<std::string> notes;           // side-chain points placed or named, as the search says them
    float delta = 0;
    std::vector<RestraintCheck> checks;
};

// chains: the ring order (empty: the chains with CA atoms, in file order).
Status score_structure(const std::string& path, const std::vector<std::string>& chains, int model, const RunData& run,
                       ScoredStructure& out);

// score.csv: one row with the file, the model, the chains of protomers 1 to
// n, the symmetry RMSD, Delta, the number of violated restraints and the
// largest violation; violated above threshold, which a column repeats.
std::string score_csv(const ScoredStructure& s, const std::string& path, int model, float threshold);

// The printed lines: side-chain points placed, Delta, the chain of each
// protomer, how many ranked structures score as well, and the restraints.
std::vector<std::string> score_lines(const ScoredStructure& s, const std::string& path, int model,
                                     const RestraintNames& names, const std::vector<float>& rankedDeltas);
