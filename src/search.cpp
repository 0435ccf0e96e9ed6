#include "search.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <thread>

#include "parallel.h"
#include "text.h"

// ------------------------------------------------------------------ grid

float as_written(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return to_float(text);
}

CandidateRow Grid::row(std::uint64_t i) const {
    const std::size_t r = i % radius.size();
    i /= radius.size();
    const std::size_t s = i % psi.size();
    i /= psi.size();
    const std::size_t t = i % theta.size();
    return {phi[i / theta.size()], theta[t], psi[s], radius[r], 0, 0};
}

Grid make_grid(double angleStep, double rBeg, double rEnd, double rStep) {
    const double degree = M_PI / 180.0;
    Grid g;
    for (long k = 0; k * angleStep < 360.0 - 1e-9; ++k) {
        g.phi.push_back(as_written(k * angleStep * degree));
        if (k * angleStep <= 180.0 + 1e-9) g.theta.push_back(as_written(k * angleStep * degree));
    }
    g.psi = g.phi;
    for (long k = 0; rBeg + k * rStep <= rEnd + 1e-6; ++k) g.radius.push_back(as_written(rBeg + k * rStep));
    return g;
}

// ---------------------------------------------------------------- search

bool better(const Hit& a, const Hit& b) {
    const bool aNumber = !std::isnan(a.score), bNumber = !std::isnan(b.score);
    if (aNumber != bNumber) return aNumber;
    if (aNumber && a.score != b.score) return a.score < b.score;
    return a.index < b.index;
}

namespace {
// The best hits seen so far, at most keep of them.
class BestList {
public:
    explicit BestList(std::size_t keep) : keep_(keep) {}
    void offer(const Hit& h) {
        if (keep_ == 0) return;
        if (heap_.size() < keep_) {
            heap_.push_back(h);
            std::push_heap(heap_.begin(), heap_.end(), better);
        } else if (better(h, heap_.front())) {
            std::pop_heap(heap_.begin(), heap_.end(), better);
            heap_.back() = h;
            std::push_heap(heap_.begin(), heap_.end(), better);
        }
    }
    const std::vector<Hit>& hits() const { return heap_; }

private:
    std::size_t keep_;
    std::vector<Hit> heap_;  // the worst kept hit on top
};

// The sines and cosines of each angle value, computed once for the whole grid.
std::vector<SinCos> sin_cos_of(const std::vector<float>& angles) {
    std::vector<SinCos> t;
    for (float a : angles) t.push_back(sin_cos(a));
    return t;
}

bool lower_landscape(float a, float b) { return !std::isnan(a) && (std::isnan(b) || a < b); }
}  // namespace

SearchResult search(const Scorer& scorer, const Grid& grid, std::size_t keep,
                    const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
    const std::vector<SinCos> phi = sin_cos_of(grid.phi), theta = sin_cos_of(grid.theta), psi = sin_cos_of(grid.psi);
    const std::size_t nTheta = grid.theta.size(), nRadius = grid.radius.size();
    const std::size_t tasks = grid.phi.size() * nTheta;  // one (phi, theta) pair each
    SearchResult result;
    result.searched = grid.size();
    result.landscape.assign(nTheta * nRadius, NAN);
    std::vector<Hit> merged;
    std::mutex merge;
    std::atomic<std::size_t> done{0};
    std::mutex reporting;  // whichever thread is free reports, so the count reaches the total
    parallel_slices(tasks, [&](std::size_t first, std::size_t last) {
        BestList best(keep);
        std::vector<float> landscape(nTheta * nRadius, NAN);
        Scorer::Scratch scratch = scorer.scratch();
        for (std::size_t task = first; task < last; ++task) {
            const std::size_t p = task / nTheta, t = task % nTheta;
            for (std::size_t s = 0; s < psi.size(); ++s) {
                scorer.rotate_ends(rotation_matrix(phi[p], theta[t], psi[s]), scratch);
                const std::uint64_t base = (std::uint64_t(task) * psi.size() + s) * nRadius;
                for (std::size_t r = 0; r < nRadius; ++r) {
                    const float shift[3] = {grid.radius[r], 0, 0};
                    const Hit hit{scorer.score_rotated(shift, scratch), base + r};
                    best.offer(hit);
                    float& cell = landscape[t * nRadius + r];
                    if (lower_landscape(hit.score, cell)) cell = hit.score;
                }
            }
            std::size_t finished = ++done;
            std::unique_lock<std::mutex> report(reporting, std::try_to_lock);
            if (progress && report) progress(std::uint64_t(finished) * psi.size() * nRadius, grid.size());
        }
        std::lock_guard<std::mutex> lock(merge);
        merged.insert(merged.end(), best.hits().begin(), best.hits().end());
        for (std::size_t i = 0; i < landscape.size(); ++i)
            if (lower_landscape(landscape[i], result.landscape[i])) result.landscape[i] = landscape[i];
    }, 1);
    std::sort(merged.begin(), merged.end(), better);
    if (merged.size() > keep) merged.resize(keep);
    result.best = merged;
    return result;
}
