// The top structures of a run as the models of one file, written with gemmi
// in PDB and in mmCIF: one chain per protomer (A, B, C, ... in the protomer
// order of the structure files, the segment id the same letter), element
// symbols, TER records in PDB, the ring as the assembly in mmCIF, and
// each model's rank, Delta and placement (REMARK 250 lines in PDB, the
// category _noebundle_model in mmCIF).
#pragma once
#include <string>
#include <vector>

#include "formats/candidates.h"
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
// name becomes the mmCIF data block name; version, when given, that of
// noebundle-analyze in _software.
EnsembleText ensemble_files(const Template& tmpl, const std::vector<EnsembleModel>& models, const std::string& name,
                            const std::string& version = "");

// Degrees of a float angle in radians, for people.
double degrees(float radians);
