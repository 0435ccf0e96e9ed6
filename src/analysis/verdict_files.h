// What the analysis makes of the verdict: the cross peaks that would decide
// (none when the restraints decide), verdict.json, the cluster
// representatives as models of clusters.pdb and clusters.cif (chains as in
// ensemble.pdb, the cluster's number as the model's rank) and the printed
// lines.
#pragma once
#include <string>
#include <vector>

#include "analysis/decisive_pairs.h"
#include "analysis/ensemble.h"
#include "analysis/run_data.h"
#include "analysis/verdict.h"

struct VerdictOutputs {
    Verdict verdict;
    std::vector<DecisivePair> suggested;
    std::string json;
    EnsembleText clusters;
    std::vector<std::string> lines;
};

Status verdict_outputs(const RunData& run, VerdictOutputs& out);
