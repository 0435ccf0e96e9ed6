// The ranking: scores sorted with qsort and the tolerant comparator, and the
// map from each rank back to a row of the candidate table.
#pragma once
#include <vector>

// The scores in ascending order, as qsort with acompare leaves them.
std::vector<float> sorted_scores(const std::vector<float>& scores);

// For each rank, the row of the table: the first unused row whose score
// fequals the sorted score; ranks left without one take the unused rows in
// file order.
std::vector<int> rank_map(const std::vector<float>& scores, const std::vector<float>& sorted);
