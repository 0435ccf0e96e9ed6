#include "run/rank.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "geometry/geometry.h"

namespace {
// Minimum of row numbers over a range of positions, with removal.
class MinTree {
public:
    explicit MinTree(const std::vector<int>& rows) : size_(1) {
        while (size_ < rows.size()) size_ *= 2;
        tree_.assign(2 * size_, INT_MAX);
        for (std::size_t i = 0; i < rows.size(); ++i) tree_[size_ + i] = rows[i];
        for (std::size_t i = size_ - 1; i > 0; --i) tree_[i] = std::min(tree_[2 * i], tree_[2 * i + 1]);
    }
    int min(std::size_t lo, std::size_t hi) const {  // over [lo, hi)
        int best = INT_MAX;
        for (lo += size_, hi += size_; lo < hi; lo /= 2, hi /= 2) {
            if (lo & 1) best = std::min(best, tree_[lo++]);
            if (hi & 1) best = std::min(best, tree_[--hi]);
        }
        return best;
    }
    void remove(std::size_t position) {
        std::size_t i = position + size_;
        tree_[i] = INT_MAX;
        for (i /= 2; i > 0; i /= 2) tree_[i] = std::min(tree_[2 * i], tree_[2 * i + 1]);
    }

private:
    std::size_t size_;
    std::vector<int> tree_;
};
}  // namespace

std::vector<int> rank_map(const std::vector<float>& scores, const std::vector<float>& sorted) {
    const std::size_t n = scores.size();
    // The rows whose score fequals s form one range when rows are ordered by
    // score, because the float difference grows with the score. A NaN score
    // fequals nothing.
    std::vector<int> order;
    for (std::size_t j = 0; j < n; ++j)
        if (!std::isnan(scores[j])) order.push_back(static_cast<int>(j));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return scores[a] < scores[b]; });
    std::vector<std::size_t> positionOf(n);
    for (std::size_t i = 0; i < order.size(); ++i) positionOf[order[i]] = i;
    MinTree untaken(order);

    std::vector<int> map(n, -1);
    std::vector<char> taken(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const float s = sorted[i];
        if (!std::isfinite(s)) continue;
        auto below = [&](int j) { return static_cast<double>(scores[j] - s) <= -1e-6; };
        auto notAbove = [&](int j) { return static_cast<double>(scores[j] - s) < 1e-6; };
        std::size_t lo = std::partition_point(order.begin(), order.end(), below) - order.begin();
        std::size_t hi = std::partition_point(order.begin(), order.end(), notAbove) - order.begin();
        int row = untaken.min(lo, hi);
        if (row == INT_MAX) continue;
        map[i] = row;
        taken[row] = 1;
        untaken.remove(positionOf[row]);
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (map[i] >= 0) continue;
        while (taken[next]) ++next;
        map[i] = static_cast<int>(next);
        taken[next] = 1;
    }
    return map;
}

std::vector<float> sorted_scores(const std::vector<float>& scores) {
    std::vector<float> sorted = scores;
    if (!sorted.empty()) std::qsort(sorted.data(), sorted.size(), sizeof(float), acompare);
    return sorted;
}
