// The restraints of a run assigned as structure 1 assigns them, ready for a
// refinement: each restraint once for every pair of neighbouring protomers
// it joins (protomer p and p + 1 when structure 1 puts its partner on
// protomer 2, p and p - 1 when on the last), with the chains of the
// ensemble, the atom names of the helix and the class bounds noebundle
// scores with. Written as assigned.tbl (XPLOR/CNS) and assigned.nef (NEF).
#pragma once
#include <string>
#include <vector>

#include "analysis/run_data.h"
#include "analysis/violations.h"

struct AssignedFiles {
    std::string xplor, nef;
};

// structure1: the checks of structure 1, one a restraint; version: that of
// noebundle-analyze, which the NEF file names as its writer.
AssignedFiles assigned_restraint_files(const RunData& run, const std::vector<RestraintCheck>& structure1,
                                       const std::string& version);
