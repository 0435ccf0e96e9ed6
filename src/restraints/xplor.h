// The reader of XPLOR/CNS restraint tables: 'assign' statements over any
// number of lines, keywords in any case and their four-letter short forms,
// the blocks and settings around them. Distance restraints (two selections
// and three numbers: distance, minus, plus) are returned; other statements
// (dihedral and orientation restraints, classes, settings, 'set', remarks)
// are skipped and counted.
#pragma once
#include <string>

#include "restraints/restraint_input.h"
#include "base/status.h"

// Reads text (the whole file); path names it in messages.
Status read_xplor(const std::string& text, const std::string& path, RestraintInput& out);
