// The stages of a run, over the objects they are given: rank the candidates
// and rewrite the candidate file, write every oligomer, append the ranking
// table and the restraint report to the log (printing them too), and the
// whole sequence. Each returns a Status and leaves failing to its caller.
#pragma once
#include <string>
#include <vector>

#include "formats/candidates.h"
#include "formats/helix.h"
#include "formats/parameter.h"
#include "formats/restraint.h"

// workDir/proteinName.cs
std::string candidate_path(const Parameter& param);
// workDir/allowed.csv: the placements that fit as well as the best, clustered (noebundle-search).
std::string allowed_set_path(const Parameter& param);

// Scores every row, rewrites the candidate file best first, and returns the
// sorted scores.
Status rank_candidates(const Parameter& param, const Helix& aligned, const Restraint& res,
                       const CandidateTable& table, std::vector<float>& scores);

// One structure file for each line of the ranked candidate file.
Status write_structures(const Parameter& param);

// Appends the ranking table to the log file and prints it.
Status write_ranking(const Parameter& param, std::size_t count, const std::vector<float>& scores);

// Lets every candidate vote and appends and prints the decided restraints.
Status write_restraint_report(const Parameter& param, const Helix& aligned, const Restraint& res,
                              const CandidateTable& table);

// Everything after the inputs are read: candidates read, ranked, written,
// reported, and the closing line.
Status run_candidates(const Parameter& param, const Helix& aligned, const Restraint& res);
