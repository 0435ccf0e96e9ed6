// Distance restraints written as a NEF file (the NMR exchange format): the
// molecular system (every chain with the sequence) and one distance
// restraint list, one restraint_id a restraint, each after a '#' comment
// naming its origin; an end on more than one atom gives a row for each pair
// of atoms under one restraint_id. Amide protons are named H; a wildcard name
// ends in '%'. The list is upper-bound-parabolic when no restraint has a
// lower bound, square-well-parabolic otherwise. The meta data's uuid is made
// from the file's content (its two 64-bit FNV-1a hashes, as a version-8
// UUID), so that the same restraints give the same file.
#pragma once
#include <string>
#include <vector>

#include "restraints/assigned_restraint.h"

struct NefContent {
    std::string name;                       // the data block is data_nef_<name>
    std::string program, version;           // who wrote it
    std::string creationDate;               // ISO 8601, as "2026-12-07T19:52:05"
    std::vector<std::string> chains;        // each holds the sequence
    std::vector<SequenceResidue> sequence;
    std::vector<std::string> heading;       // comment lines before the restraints
};

std::string nef_file(const NefContent& content, const std::vector<AssignedRestraint>& restraints);
