// report.html of noebundle-analyze: one self-contained page (no network, no
// other file) with the run in words, the top structures in 3D with their
// restraints, the ranking table, the violations of the structure shown, each
// restraint across the top structures, the score landscape and the comparison with a reference, each of the last two
// saying so when the run has none.
#pragma once
#include <string>
#include <vector>

#include "analysis/analysis_report.h"
#include "analysis/ensemble.h"
#include "analysis/decisive_pairs.h"
#include "analysis/reference.h"
#include "analysis/run_data.h"
#include "base/status.h"
#include "analysis/verdict.h"
#include "analysis/violations.h"

struct ReportInput {
    const RunData& run;
    std::string paramPath;
    const std::vector<RankedResult>& results;  // every ranked structure, best first
    const std::vector<EnsembleModel>& models;  // the top, placed
    const std::vector<std::vector<RestraintCheck>>& checks;  // of the top
    const Reference* reference = nullptr;      // without --reference: none
    std::string referencePath;
    std::string program;  // name and version
    std::string commandLine;
    std::string landscapePath;  // empty: the working folder has none
    std::string landscapeSvg;
    std::string geometry;  // structure 1's geometry and interface in words
    const Verdict* verdict = nullptr;  // how well the restraints decide; none: not made
    const std::vector<DecisivePair>* suggested = nullptr;
    float threshold = defaultViolationThreshold;  // a violation above it counts
};

Status report_html(const ReportInput& input, std::string& page);

// The score landscape the search wrote with --map and recorded in the working
// folder, if it is still as the search left it: its path and text. False
// when there is none.
bool find_landscape(const Parameter& param, std::string& path, std::string& svg);
