// The helix taken from any PDB or mmCIF file (read with gemmi): one chain of
// one model, optionally a range of residues, written as clean ATOM lines
// that the helix reader takes. What that file can not hold is refused with
// the residue or atom named; ions, ligands and water are left out.
#pragma once
#include <string>
#include <vector>

#include "base/status.h"

struct HelixChoice {
    std::string chain;  // empty: the first chain
    int model = 1;      // 1 for the first model
    bool range = false;
    int first = 0, last = 0;  // residue numbers, inclusive, when range is set
};

// What the preparation tells beyond the helix: a line for each side-chain
// point it placed or named, and how many chains of the chosen model hold the
// chosen chain's sequence (the chain itself included).
struct PreparationNotes {
    std::vector<std::string> sideChainPoints;
    int sameSequenceChains = 0;
    std::string sameSequenceNames;  // those chains, "A, B, C"
};

// The largest structure file read, uncompressed: 1 GiB.
constexpr std::size_t maxStructureBytes = std::size_t(1) << 30;

// Reads the structure file at path (gzipped or not) and fills pdbText with
// the chosen helix: ATOM lines of 80 characters (first alternate location
// only, atoms renumbered from 1) and END, 5 to 5000 residues, each with one
// CA and one CB or HA2 (placed or named by side_chain_point.h where the file
// has neither), and notes, if given.
Status extract_helix(const std::string& path, const HelixChoice& choice, std::string& pdbText,
                     PreparationNotes* notes = nullptr);

// The same from the bytes of a file; name (its path) tells the format by
// its ending (.pdb, .ent, .cif, .mmcif, .json, also with .gz), else the
// content does, and names the file in messages.
Status extract_helix_from_bytes(const std::string& bytes, const std::string& name, const HelixChoice& choice,
                                std::string& pdbText, PreparationNotes* notes = nullptr);

// Parses "FIRST-LAST" (numbers may be negative: "-3-20"); false if malformed.
bool parse_range(const std::string& text, int& first, int& last);
