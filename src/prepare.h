// The helix taken from any PDB or mmCIF file (read with gemmi): one chain of
// one model, optionally a range of residues, written as clean ATOM lines
// that the helix reader takes.
#pragma once
#include <string>

#include "status.h"

struct HelixChoice {
    std::string chain;  // empty: the first chain
    int model = 1;      // 1 for the first model
    bool range = false;
    int first = 0, last = 0;  // residue numbers, inclusive, when range is set
};

// Reads the structure file at path and fills pdbText with the chosen helix:
// ATOM lines of 80 characters (first alternate location only, atoms
// renumbered from 1) and END. Every residue needs a CA and a CB or HA2.
Status extract_helix(const std::string& path, const HelixChoice& choice, std::string& pdbText);

// Parses "FIRST-LAST" (numbers may be negative: "-3-20"); false if malformed.
bool parse_range(const std::string& text, int& first, int& last);
