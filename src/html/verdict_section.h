// The page's section on how well the restraints decide the bundle: the
// verdict, the clusters of the allowed set side by side (one column each) and
// the cross peaks that would decide.
#pragma once
#include <string>
#include <vector>

#include "analysis/decisive_pairs.h"
#include "analysis/verdict.h"

// Without a verdict (nullptr) the section says that none was made.
std::string verdict_html(const Verdict* verdict, const std::vector<DecisivePair>* suggested);
