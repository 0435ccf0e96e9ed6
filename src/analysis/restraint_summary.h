// Each restraint across the top structures, as a user reads it to find a
// wrong assignment: in how many of them it is violated (above the
// threshold), its mean violation over all of them and its largest.
#pragma once
#include <string>
#include <vector>

#include "analysis/analysis_report.h"
#include "analysis/violations.h"

struct RestraintTally {
    int line = 0;          // in the restraint file, from 1
    int violated = 0;      // structures violating it above the threshold
    float mean = 0;        // violation over every structure, satisfied ones as 0
    float largest = 0;
};

// checks[k][i]: restraint i in the structure ranked k + 1. One tally a restraint, in the file's order.
std::vector<RestraintTally> restraint_tallies(const std::vector<std::vector<RestraintCheck>>& checks, float threshold);

// The tallies that matter most first: the most often violated, then the larger mean, then the file's order.
std::vector<RestraintTally> most_violated_first(std::vector<RestraintTally> tallies);

// restraint_summary.csv: line, restraint, structures, violated above the threshold, the threshold, mean, largest.
std::string restraint_summary_csv(const std::vector<RestraintTally>& tallies, int structures, const RestraintNames& names);

// One line for the terminal: how many restraints the top violate, and the one most often.
std::string restraint_summary_line(const std::vector<RestraintTally>& tallies, int structures, float threshold);
