// The top structures of a run as the models of one file, written with gemmi
// in PDB and in mmCIF: one chain per protomer (A, B, C, ... in the protomer
// order of the structure files), element symbols, TER records in PDB, and
// each model's rank, Delta and placement (REMARK 250 lines in PDB, the
// category _noebundle_model in mmCIF).
#pragma once
#include <string>
#include <vector>

#include "formats/candidates.h"
#include "run/oligomer.h"
#include "run/oligomer.h"

struct EnsembleModel {
    int rank;
    float delta;
    CandidateRow row;  // radians and Angstrom, as the candidate file holds them
    Oligomer atoms;    // every template atom of every protomer
};

// The chain name of protomer p (0-based): A-Z, a-z, 0-9, then two letters.
std::string chain_name(int p);

struct EnsembleText {
    std::string pdb, cif;
};
// name becomes the mmCIF data block name.
EnsembleText ensemble_files(const Template& tmpl, const std::vector<EnsembleModel>& models, const std::string& name);

// Degrees of a float angle in radians, for people.
double degrees(float radians);
