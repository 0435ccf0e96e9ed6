// What a run tells its user: the rows of the ranking table, the votes of all
// candidates on the neighbour each restraint joins and the report lines of
// the restraints they decide, and the closing line.
#pragma once
#include <string>
#include <vector>

#include "formats/candidates.h"
#include "formats/helix.h"
#include "formats/restraint.h"

// One row of the ranking table: rank in 4 columns, score as %9.3f.
std::string table_row(std::size_t rank, float score);

// The closing line of a run.
std::string done_line(std::size_t count, const std::string& workDir);

// The summed flags of every candidate for each restraint: negative when most
// place the partner on protomer 2, positive when on the last protomer.
std::vector<int> restraint_votes(const Helix& aligned, const Restraint& res, int numProtomer,
                                 const CandidateTable& table);

// One line of the restraint report for a non-zero vote sum.
std::string report_line(const Restraint& res, int i, const std::vector<int>& resNum, int sum,
                        int numProtomer);
