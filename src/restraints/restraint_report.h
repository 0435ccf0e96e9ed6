// What a conversion of restraints tells the user, and what it writes: the
// accounting table (what was read, kept and dropped, and why), the kept
// distances beside the class bounds noebundle scores with, and the text of
// noebundle's restraint file.
#pragma once
#include <string>

#include "restraints/restraint_convert.h"

// The lines of noebundle's restraint file, one kept restraint each.
std::string restraint_file_text(const Conversion& c);

// Dropped statements listed under each reason unless verbose.
constexpr int droppedShownPerReason = 10;

// The accounting for standard output, first whatever follows: what was read
// and skipped, the kept restraints by form and the dropped ones by reason.
// Every line ends in a line feed.
std::string conversion_summary(const Conversion& c);

// What follows it: the kept restraints beside their class bounds, then the
// dropped statements grouped by reason (the first droppedShownPerReason of
// each, or all when verbose).
std::string conversion_details(const Conversion& c, bool verbose);
// Its second part: the dropped statements alone.
std::string dropped_details(const Conversion& c, bool verbose);

// When many kept restraints (at least one in manyBelowClass) have an upper
// bound below their class's lower bound, one line suggesting noeModel=upper
// and why; otherwise empty.
constexpr std::size_t manyBelowClass = 10;
std::string model_suggestion(const Conversion& c);

// Both, the summary first.
std::string conversion_report(const Conversion& c, bool verbose = false);
