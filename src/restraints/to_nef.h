// Distance restraints written as a NEF file (the NMR exchange format): the
// molecular system (every chain with the sequence) and one distance
// restraint list, one restraint_id a restraint, each after a '#' comment
// naming its origin. Amide protons are named H; a wildcard name ends in '%'.
#pragma once
#include <string>
#include <vector>

#include "restraints/assigned_restraint.h"

struct NefContent {
    std::string name;                       // the data block is data_nef_<name>
    std::string program, version;           // who wrote it
    std::vector<std::string> chains;        // each holds the sequence
    std::vector<SequenceResidue> sequence;
    std::vector<std::string> heading;       // comment lines before the restraints
};

std::string nef_file(const NefContent& content, const std::vector<AssignedRestraint>& restraints);
