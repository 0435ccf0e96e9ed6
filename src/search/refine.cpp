#include "search/refine.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "run/parallel.h"

namespace {

// Inside the searched half and radii (the rule of Grid::one_twin).
bool allowed(const CandidateRow& row, const RefineSettings& s) {
    static const float right = as_written(M_PI / 2), half = as_written(M_PI);
    if (row[3] < s.lowestRadius || row[3] > s.highestRadius || row[1] < 0) return false;
    return row[1] < right || (row[1] == right && row[0] < half);
}

struct Probe {
    const Scorer& scorer;
    const ContactModel* contacts;
    Scorer::Scratch scratch;
    ContactModel::Scratch near;
    // The placement's score and packing; false when its backbones clash.
    bool measure(const CandidateRow& row, const Hit& current, Hit& hit) {
        hit.score = scorer.score(row, scratch);
        hit.packing = 0;
        if (!contacts) return true;
        // A worse score cannot win on packing: skip the contacts.
        if (tie_class(hit.score) > tie_class(current.score)) return true;
        contacts->rotate(rotation_matrix(row.data()), near);
        if (contacts->clashes(row[3], near)) return false;
        hit.packing = contacts->packing(row[3], near);
        return true;
    }
};

// The pattern search from one kept placement.
void refine_one(Probe& probe, const RefineSettings& s, Hit& hit, CandidateRow& row) {
    double step[4] = {s.angleStep / 2, s.angleStep / 2, s.angleStep / 2, s.radiusStep / 2};
    int moves = 0;
    for (int level = 0; level <= s.halvings && moves < s.maxMoves;) {
        bool moved = false;
        for (int axis = 0; axis < 4 && moves < s.maxMoves; ++axis)
            for (double sign : {-1.0, 1.0}) {
                CandidateRow next = row;
                const double value = double(row[axis]) + sign * step[axis];
                next[axis] = axis == 0 || axis == 2 ? written_turn(value) : as_written(value);
                if (next == row || !allowed(next, s)) continue;
                ++moves;
                Hit tried{0, hit.index};
                if (probe.measure(next, hit, tried) && better(tried, hit)) {
                    hit = tried;
                    row = next;
                    moved = true;
                }
            }
        if (moved) continue;
        for (double& v : step) v /= 2;
        ++level;
    }
}

}  // namespace

void refine_best(const Scorer& scorer, const Template& tmpl, int numProtomer, const RefineSettings& settings,
                 const SideChainPacker* packer, SearchResult& result) {
    const std::size_t count = result.best.size();
    std::vector<Hit> hits = result.best;
    std::vector<CandidateRow> rows = result.rows;
    parallel_slices(count, [&](std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last; ++i) {
            Template own{tmpl.lines, packer ? packer->pack(rows[i]) : tmpl.points};
            if (settings.halvings >= 0) {
                const ContactModel contacts(own, numProtomer);
                Probe probe{scorer, &contacts, scorer.scratch(), contacts.scratch()};
                if (packer) hits[i].packing = packer->energy(own.points, rows[i]);
                refine_one(probe, settings, hits[i], rows[i]);
            }
            if (packer) hits[i].packing = packer->energy(packer->pack(rows[i]), rows[i]);
        }
    }, 1);
    // Best first; a refined placement that another, better one already reached stays on its grid point.
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return better(hits[a], hits[b]); });
    std::vector<CandidateRow> taken;
    for (std::size_t i : order) {
        const bool reached = std::find(taken.begin(), taken.end(), rows[i]) != taken.end();
        if (!reached) {
            result.best[i] = hits[i];
            result.rows[i] = rows[i];
        } else if (packer) {
            // Back on its grid point, its packing is measured as the refined
            // ones' are, with side chains packed, so that the order compares
            // like with like.
            result.best[i].packing = packer->energy(packer->pack(result.rows[i]), result.rows[i]);
        }
        taken.push_back(result.rows[i]);
    }
    std::vector<std::size_t> all(result.best.size());
    std::iota(all.begin(), all.end(), 0);
    std::sort(all.begin(), all.end(), [&](std::size_t a, std::size_t b) { return better(result.best[a], result.best[b]); });
    std::vector<Hit> best;
    std::vector<CandidateRow> placed;
    for (std::size_t i : all) {
        best.push_back(result.best[i]);
        placed.push_back(result.rows[i]);
    }
    result.best = best;
    result.rows = placed;
}
