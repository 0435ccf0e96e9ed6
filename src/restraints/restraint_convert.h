// From restraint lists as structure calculations write them (XPLOR/CNS
// tables, NEF files; the format is told from the content) to the lines of
// noebundle's restraint file, "(resid 9 and name HN) (resid 8 and name HG)".
// Only restraints between two different chains are kept; each end becomes
// one residue and one proton class (HN, HA, HB stand for the CA; HG, HD, HE,
// HZ, HH for the CB). Every restraint that is not kept gets a reason.
#pragma once
#include <string>
#include <vector>

#include "formats/restraint.h"
#include "restraints/restraint_input.h"
#include "base/status.h"

struct ConvertOptions {
    bool useHelix = false;
    std::vector<int> helixResidues;  // with useHelix: ends on other residues are dropped
    bool useRange = false;           // --residues: ends outside firstResidue-lastResidue are dropped
    int firstResidue = 0, lastResidue = 0;
    std::string chain1, chain2;      // when given: only restraints between these two chains
    // How the message on too many restraints tells the user to keep fewer.
    std::string narrowing = "--residues FIRST-LAST";
    // The most restraints kept: most_restraints of the run's restraint model.
    int most = maxRestraint;
};

struct MappedEnd {
    std::string chain;
    int residue = 0;
    std::string protonClass;  // "HN", "HA", ... "HH"
};

struct KeptRestraint {
    std::size_t input;  // index in Conversion::input.restraints
    MappedEnd end1, end2;
    int pairClass;  // ends that stand for a CB: 0, 1 or 2
    bool eitherNeighbour = false;  // the alternatives put the partner on more than one chain
};

struct DroppedRestraint {
    std::string origin, reason, detail;
};

struct Conversion {
    std::string path;
    RestraintInput input;
    std::vector<KeptRestraint> kept;
    std::vector<DroppedRestraint> dropped;  // in the order of the input
};

// The class of an atom name: "HN" for H and HN, "HA".."HH" for the protons
// and pseudo-atoms (Q*, M*) of a side-chain position. Otherwise empty, with
// heavy set for the atoms of carbon, nitrogen, oxygen and sulphur.
std::string proton_class(const std::string& name, bool& heavy);

// Reads the file at path as XPLOR/CNS or NEF, whichever its content is.
Status read_restraint_input(const std::string& path, RestraintInput& out);

// Maps every restraint of out.input, filling out.kept and out.dropped.
void map_restraints(const ConvertOptions& options, Conversion& out);

// Reads and maps; an error only when the file cannot be read.
Status convert_restraints(const std::string& inputPath, const ConvertOptions& options, Conversion& out);

// An error when more than options.most are kept, telling how to keep fewer.
Status check_kept_count(const Conversion& c, const ConvertOptions& options);
