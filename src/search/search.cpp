#include "search/search.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <thread>

#include "run/parallel.h"
#include "base/text.h"

// ------------------------------------------------------------------ grid

float as_written(double value) { return to_float(decimals(value, 3)); }

float written_turn(double angle) {
    const double fullTurn = 2.0 * M_PI;
    angle = std::fmod(angle, fullTurn);
    if (angle < 0) angle += fullTurn;
    const float value = as_written(angle);
    return value >= as_written(fullTurn) ? 0.0f : value;
}

CandidateRow Grid::row(std::uint64_t i) const {
    const std::size_t r = i % radius.size();
    i /= radius.size();
    const std::size_t s = i % psi.size();
    i /= psi.size();
    const std::size_t t = i % theta.size();
    return {phi[i / theta.size()], theta[t], psi[s], radius[r], 0, 0};
}

bool Grid::one_twin(std::size_t p, std::size_t t) const {
    static const float right = as_written(M_PI / 2), half = as_written(M_PI);
    return theta[t] < right || (theta[t] == right && phi[p] < half);
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

std::int64_t tie_class(float score) {
    if (std::isnan(score)) return INT64_MAX;
    const double millionths = std::floor(static_cast<double>(score) * 1e6);
    return millionths < 9e18 ? static_cast<std::int64_t>(millionths) : INT64_MAX - 1;
}

bool better(const Hit& a, const Hit& b) {
    const std::int64_t classA = tie_class(a.score), classB = tie_class(b.score);
    if (classA != classB) return classA < classB;
    if (a.packing != b.packing) return a.packing < b.packing;
    return a.index < b.index;
}

namespace {
// The best hits seen so far, at most keep of them.
class BestList {
public:
    explicit BestList(std::size_t keep) : keep_(keep) {}
    bool full() const { return heap_.size() >= keep_; }
    // Can a placement with this score still enter, whatever its packing?
    bool may_enter(float score) const {
        return !full() || (keep_ > 0 && tie_class(score) <= tie_class(heap_.front().score));
    }
    std::int64_t worst_class() const { return full() && keep_ > 0 ? tie_class(heap_.front().score) : INT64_MAX; }
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

// What one thread finds: its best list, landscape and the tie classes of
// the clashing placements it checked.
struct Share {
    BestList best;
    std::vector<float> landscape;
    std::vector<std::int64_t> clashes;
    std::vector<Hit> allowed;                // within the tolerance of bestClass, when it was met
    std::int64_t bestClass = INT64_MAX - 1;  // of the best placement without a clash met so far
    std::size_t pruneAt = 1u << 16;
};

const std::int64_t allowedClasses = std::llround(allowedTolerance * 1e6);

// Within the tolerance of the best class: INT64_MAX (NaN) never is.
bool within_tolerance(std::int64_t tieClass, std::int64_t bestClass) {
    return tieClass != INT64_MAX && tieClass - allowedClasses <= bestClass;
}

void prune_allowed(std::vector<Hit>& allowed, std::int64_t bestClass) {
    allowed.erase(std::remove_if(allowed.begin(), allowed.end(),
                                 [&](const Hit& h) { return !within_tolerance(tie_class(h.score), bestClass); }),
                  allowed.end());
}

// Placements at one rotation, every radius. The contacts are rotated only
// when a placement of this rotation needs them.
void search_rotation(const Scorer& scorer, const ContactModel* contacts, const Grid& grid, const Rotation& rotation,
                     std::uint64_t base, std::size_t t, Scorer::Scratch& scratch, ContactModel::Scratch& near,
                     Share& share) {
    const std::size_t nRadius = grid.radius.size();
    scorer.rotate_ends(rotation, scratch);
    bool rotated = false;
    for (std::size_t r = 0; r < nRadius; ++r) {
        const float shift[3] = {grid.radius[r], 0, 0};
        Hit hit{scorer.score_rotated(shift, scratch), base + r};
        float& cell = share.landscape[t * nRadius + r];
        if (lower_landscape(hit.score, cell)) cell = hit.score;
        const std::int64_t tieClass = tie_class(hit.score);
        const bool enters = share.best.may_enter(hit.score);
        const bool allowed = contacts && within_tolerance(tieClass, share.bestClass);
        if (!enters && !allowed) continue;
        if (contacts) {
            if (!rotated) contacts->rotate(rotation, near);
            rotated = true;
            if (contacts->clashes(grid.radius[r], near)) {
                if (enters) share.clashes.push_back(tieClass);
                continue;
            }
            hit.packing = contacts->packing(grid.radius[r], near);
            if (tieClass < share.bestClass) share.bestClass = tieClass;
            if (within_tolerance(tieClass, share.bestClass)) share.allowed.push_back(hit);
        }
        if (enters) share.best.offer(hit);
    }
    // Placements a better one has since put out of the tolerance: dropped now
    // and then, and the next pruning waits for the list to double.
    if (share.allowed.size() > share.pruneAt) {
        prune_allowed(share.allowed, share.bestClass);
        share.pruneAt = std::max<std::size_t>(share.pruneAt, 2 * share.allowed.size());
    }
    // Classes worse than the list's worst can never count; drop them now and then.
    if (share.clashes.size() > (1u << 16)) {
        const std::int64_t worst = share.best.worst_class();
        share.clashes.erase(std::remove_if(share.clashes.begin(), share.clashes.end(),
                                           [&](std::int64_t c) { return c > worst; }),
                            share.clashes.end());
    }
}
}  // namespace

SearchResult search(const Scorer& scorer, const Grid& grid, std::size_t keep,
                    const std::function<void(std::uint64_t, std::uint64_t)>& progress,
                    const ContactModel* contacts) {
    const std::vector<SinCos> phi = sin_cos_of(grid.phi), theta = sin_cos_of(grid.theta), psi = sin_cos_of(grid.psi);
    const std::size_t nTheta = grid.theta.size(), nRadius = grid.radius.size();
    std::vector<std::size_t> tasks;  // the (phi, theta) pairs of one twin, phi * nTheta + theta
    for (std::size_t task = 0; task < grid.phi.size() * nTheta; ++task)
        if (grid.one_twin(task / nTheta, task % nTheta)) tasks.push_back(task);
    const std::uint64_t perTask = std::uint64_t(psi.size()) * nRadius;
    SearchResult result;
    result.searched = tasks.size() * perTask;
    result.twins = grid.size() - result.searched;
    result.packed = contacts != nullptr;
    result.sideChains = contacts && contacts->side_chains();
    result.landscape.assign(nTheta * nRadius, NAN);
    std::vector<Hit> merged;
    std::vector<std::int64_t> clashes;
    std::int64_t bestClass = INT64_MAX - 1;
    std::mutex merge;
    // Threads take one (phi, theta) pair at a time, so that a region dense in
    // ties, which costs the contact checks, is shared by every core.
    std::atomic<std::size_t> next{0}, done{0};
    std::mutex reporting;  // whichever thread is free reports, so the count reaches the total
    const std::size_t workers = std::min<std::size_t>(worker_count(), std::max<std::size_t>(tasks.size(), 1));
    parallel_slices(workers, [&](std::size_t, std::size_t) {
        Share share{BestList(keep), std::vector<float>(nTheta * nRadius, NAN), {}, {}};
        Scorer::Scratch scratch = scorer.scratch();
        ContactModel::Scratch near;
        if (contacts) near = contacts->scratch();
        for (std::size_t n; (n = next++) < tasks.size();) {
            const std::size_t task = tasks[n], p = task / nTheta, t = task % nTheta;
            for (std::size_t s = 0; s < psi.size(); ++s)
                search_rotation(scorer, contacts, grid, rotation_matrix(phi[p], theta[t], psi[s]),
                                (std::uint64_t(task) * psi.size() + s) * nRadius, t, scratch, near, share);
            const std::size_t finished = ++done;
            std::unique_lock<std::mutex> report(reporting, std::try_to_lock);
            if (progress && report) progress(std::uint64_t(finished) * perTask, result.searched);
        }
        std::lock_guard<std::mutex> lock(merge);
        merged.insert(merged.end(), share.best.hits().begin(), share.best.hits().end());
        clashes.insert(clashes.end(), share.clashes.begin(), share.clashes.end());
        result.allowed.insert(result.allowed.end(), share.allowed.begin(), share.allowed.end());
        bestClass = std::min(bestClass, share.bestClass);
        for (std::size_t i = 0; i < share.landscape.size(); ++i)
            if (lower_landscape(share.landscape[i], result.landscape[i])) result.landscape[i] = share.landscape[i];
    }, 1);
    std::sort(merged.begin(), merged.end(), better);
    if (merged.size() > keep) merged.resize(keep);
    result.best = merged;
    for (const Hit& h : merged) result.rows.push_back(grid.row(h.index));
    const std::int64_t last = merged.size() < keep || merged.empty() ? INT64_MAX : tie_class(merged.back().score);
    for (std::int64_t c : clashes) result.clashing += c <= last;
    prune_allowed(result.allowed, bestClass);
    std::sort(result.allowed.begin(), result.allowed.end(), better);
    return result;
}

std::vector<std::string> rule_summary(const SearchResult& result) {
    std::vector<std::string> lines = {
        "Left out as mirror twins: " + std::to_string(result.twins) +
        " (theta over 90 degrees, or 90 degrees with phi from 180 degrees)"};
    if (!result.packed) return lines;
    lines.push_back("Left out by the steric rule: " + std::to_string(result.clashing) +
                    " of the placements scoring as well as the last one kept (backbone atoms of two "
                    "protomers " + clashText + ")");
    if (!result.best.empty())
        lines.push_back("Packing energy of the best: " + fixed3(float(packing_energy(result.best.front().packing)), 0));
    if (!result.sideChains)
        lines.push_back("The helix has no side-chain atoms beyond CB: equal scores are ordered by backbone "
                        "packing only, which is less reliable");
    return lines;
}
