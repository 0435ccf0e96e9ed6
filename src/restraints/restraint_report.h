// What a conversion of restraints tells the user, and what it writes: the
// accounting table (what was read, kept and dropped, and why), the kept
// distances beside the class bounds noebundle scores with, and the text of
// noebundle's restraint file.
#pragma once
#include <string>

#include "restraints/restraint_convert.h"

// The lines of noebundle's restraint file, one kept restraint each.
std::string restraint_file_text(const Conversion& c);

// The table for standard output, every line ending in a line feed.
std::string conversion_report(const Conversion& c);
