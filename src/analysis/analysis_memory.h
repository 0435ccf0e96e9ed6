// The memory an analysis needs grows with the top structures times the
// restraints: each pair is a row of violations.csv and of the page's data,
// held until the files are written. About 550 bytes a pair were measured
// (300 structures of 4200 restraints: 691 MB, against 51 MB for 10).
#pragma once
#include <cstddef>

#include "base/status.h"

constexpr double analysisBytesPerPair = 600;
constexpr double defaultAnalysisMemory = 2048;  // MB

// An error naming the need, the limit and --max-memory when top structures
// of this many restraints need more than maxMemory MB.
Status check_analysis_memory(std::size_t top, int restraints, double maxMemory);
