// The restraints of a run assigned as structure 1 assigns them, ready for a
// refinement: each restraint once for every pair of neighbouring protomers
// it joins (protomer p and p + 1 when structure 1 puts its partner on
// protomer 2, p and p - 1 when on the last), with the chains of the
// ensemble. When the restraint file was converted from the user's list and
// its origin file fits it, each is the user's restraint (atoms and
// distances, the class bounds noebundle scored with in its comment);
// otherwise the class form: the class bounds on the shortest names of the
// class's protons. Written as assigned.tbl (XPLOR/CNS) and assigned.nef (NEF).
#pragma once
#include <string>
#include <vector>

#include "analysis/run_data.h"
#include "analysis/violations.h"

struct AssignedFiles {
    std::string xplor, nef;
    std::string note;  // a "Warning: " line when the origin file is there but does not fit
};

// structure1: the checks of structure 1, one a restraint; version: that of
// noebundle-analyze, which the NEF file names as its writer; date: its creation_date.
AssignedFiles assigned_restraint_files(const RunData& run, const std::vector<RestraintCheck>& structure1,
                                       const std::string& version, const std::string& date);
