// The data the analysis page draws from, as one JSON object (see
// report_template.html for its reader):
//   threshold   a violation above it counts as violated (Å), and its words
//   chains      the chain name of each protomer
//   atoms       the template atoms shown: [name field, residue name, residue
//               number field with insertion code, element], the PDB columns
//               as written; every heavy atom and every restraint's stand-in
//   restraints  per restraint: its line as written, stand-in atoms, bounds,
//               and the shown atoms of its two ends (-1: not in the template)
//   structures  per top structure: rank, Delta, violations, the coordinates
//               of the shown atoms of protomer 1, 2, ... and per restraint
//               [neighbour protomer, distance, violation]
// Hydrogens are left out: the page shows cartoons and restraint lines, and
// would otherwise grow about twofold.
#pragma once
#include <string>
#include <vector>

#include "analysis/analysis_report.h"
#include "analysis/ensemble.h"
#include "formats/helix.h"
#include "run/oligomer.h"
#include "formats/restraint.h"
#include "analysis/violations.h"

struct PageData {
    const Template& tmpl;
    const Helix& helix;  // its atomLine names the template atom of each point
    const Restraint& res;
    const std::vector<std::string>& restraintLines;
    const std::vector<RankedResult>& results;  // best first; the first models.size() are shown
    const std::vector<EnsembleModel>& models;
    const std::vector<std::vector<RestraintCheck>>& checks;  // of each shown structure
    int numProtomer;
    float threshold = defaultViolationThreshold;  // a violation above it counts
};

std::string page_data_json(const PageData& data);

// The template atom with the residue and atom name of a helix point's PDB
// line, or -1.
int template_atom_of(const Template& tmpl, const std::string& helixLine);

// The template atoms the page shows, in template order: heavy atoms and the
// atoms listed in standIns.
std::vector<int> shown_atoms(const Template& tmpl, const std::vector<int>& standIns);
