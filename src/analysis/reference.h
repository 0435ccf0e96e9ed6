// A deposited oligomer to compare with (PDB or mmCIF, gzipped or not, read
// with gemmi): the CA atoms of its chains on the residues that the template
// also has, and the CA RMSD of a placed oligomer to it under the best cyclic
// assignment of protomers to chains.
#pragma once
#include <string>
#include <vector>

#include "base/status.h"
#include "run/superpose.h"

namespace gemmi {
struct Structure;
}

// Reads a PDB or mmCIF file (maybe gzipped) that must hold the given model
// (from 1): a missing file, a wrong format and a missing model each fail
// with their message. A chain whose residues carry more than one segment
// ID is split into one chain per segment, named by it: XPLOR and CNS, and
// noebundle's own structure files, tell the copies apart only so.
Status read_structure_model(const std::string& path, int model, gemmi::Structure& st);

struct ReferenceChoice {
    std::vector<std::string> chains;  // empty: the chains with CA atoms, in file order
    int model = 1;
    bool range = false;
    int first = 0, last = 0;  // residue numbers, inclusive, when range is set
};

struct Reference {
    std::vector<std::string> chains;  // one per protomer
    std::vector<int> residues;        // residue numbers compared
    std::vector<int> templateIndex;   // the template atom (a CA) of each residue
    Oligomer ca;                      // per chain, the CA of each residue
};

// residueOf and caOf describe the template: for each atom its residue number
// and whether it is a CA. Needs numProtomer chains and 3 shared residues.
Status load_reference(const std::string& path, const ReferenceChoice& choice, int numProtomer,
                      const std::vector<int>& residueOf, const std::vector<char>& caOf, Reference& out);

// "A,B,C,D" as a list; false for an empty name.
bool parse_chain_list(const std::string& text, std::vector<std::string>& chains);

// The best assignment of the placed oligomer (every template atom of every
// protomer) to the reference.
Assignment compare_to_reference(const Reference& ref, const Oligomer& placed);
