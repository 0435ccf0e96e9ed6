// What a finished run left in its working folder, read back for analysis:
// the parameters, the aligned two-point helix, the restraints with their
// lines as written, the all-atom template and the ranked candidates.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "formats/candidates.h"
#include "formats/helix.h"
#include "run/oligomer.h"
#include "formats/parameter.h"
#include "formats/restraint.h"
#include "base/status.h"

struct RunData {
    Parameter param;
    Helix helix;  // aligned on +z, as the scores place it
    std::unique_ptr<Restraint> res = std::make_unique<Restraint>();
    std::vector<std::string> restraintLines;  // line i + 1 of the file is restraint i
    Template tmpl;                            // workDir/origin.pdb
    CandidateTable ranked;                    // best first
    std::vector<float> deltas;                // the score of each ranked candidate
    std::string candidatePath;
};

// Reads everything; fails when the candidate file is missing, empty or not
// in the order of its scores (the search or noebundle has not ranked it yet).
Status load_run(const std::string& paramPath, RunData& run);
