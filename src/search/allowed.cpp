#include "search/allowed.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "base/text.h"
#include "run/parallel.h"
#include "run/superpose.h"

namespace {

std::vector<Point> ca_points(const Template& tmpl) {
    std::vector<Point> out;
    for (std::size_t i = 0; i < tmpl.lines.size(); ++i)
        if (cut(tmpl.lines[i], 12, 4) == " CA ") out.push_back(tmpl.points[i]);
    return out;
}

// A ring of the set: protomer 1's CA atoms and, for a bound on the RMSD,
// the distance of each from the ring's centre. The centre lies on the
// symmetry axis, so every protomer has the same distances, in every
// numbering of the ring.
struct Placed {
    std::vector<Point> ca;
    std::vector<double> radii;
};

Placed placed_of(const std::vector<Point>& ca, const CandidateRow& row, int numProtomer) {
    Placed p{place_oligomer(ca, row, 1).front(), {}};
    double c[3] = {0, 0, 0};
    for (const Point& q : p.ca) c[0] += q.x, c[1] += q.y, c[2] += q.z;
    for (double& v : c) v /= double(std::max<std::size_t>(p.ca.size(), 1));
    if (numProtomer > 1) c[0] = c[1] = 0;
    for (const Point& q : p.ca)
        p.radii.push_back(std::sqrt((q.x - c[0]) * (q.x - c[0]) + (q.y - c[1]) * (q.y - c[1]) + (q.z - c[2]) * (q.z - c[2])));
    return p;
}

// No rigid motion brings an atom nearer to its partner than the difference
// of their distances from the centres, which the superposition matches.
double rmsd_floor(const Placed& a, const Placed& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.radii.size(); ++i) sum += (a.radii[i] - b.radii[i]) * (a.radii[i] - b.radii[i]);
    return std::sqrt(sum / double(std::max<std::size_t>(a.radii.size(), 1)));
}

struct Match {
    int leader = -1;  // index into the leaders, -1: none within the cutoff
    double rmsd = 0;
};

// The first leader (in order) within the cutoff of one ring.
Match first_leader(const RingCorrelation& rings, const std::vector<Placed>& leaders, const Placed& placed,
                   std::size_t from, double cutoff, Match found) {
    for (std::size_t k = from; k < leaders.size() && found.leader < 0; ++k) {
        if (rmsd_floor(leaders[k], placed) > cutoff + 1e-9) continue;
        const double rmsd = rings.best(leaders[k].ca, placed.ca).rmsd;
        if (rmsd <= cutoff) found = {static_cast<int>(k), rmsd};
    }
    return found;
}

}  // namespace

AllowedClusters cluster_allowed(const SearchResult& result, const Grid& grid, const Template& tmpl, int numProtomer,
                                double cutoff) {
    AllowedClusters out;
    AllowedSet& set = out.set;
    set.tolerance = allowedTolerance;
    set.cutoff = cutoff;
    set.allowed = static_cast<long long>(result.allowed.size());
    const std::vector<Point> ca = ca_points(tmpl);
    std::vector<Placed> leaders;
    const RingCorrelation rings(numProtomer);
    // In blocks: every member of a block is compared with the leaders known
    // before it on both cores, then the block is settled in order, where a
    // placement that found no leader becomes one for the rest of the block.
    // The result is that of one placement after the other.
    const std::size_t block = 512;
    for (std::size_t first = 0; first < result.allowed.size(); first += block) {
        const std::size_t count = std::min(block, result.allowed.size() - first);
        std::vector<Placed> placed(count);
        std::vector<Match> matches(count);
        const std::size_t known = leaders.size();
        parallel_slices(count, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                placed[i] = placed_of(ca, grid.row(result.allowed[first + i].index), numProtomer);
                matches[i] = first_leader(rings, leaders, placed[i], 0, cutoff, Match{});
            }
        }, 16);
        for (std::size_t i = 0; i < count; ++i) {
            const Match m = first_leader(rings, leaders, placed[i], known, cutoff, matches[i]);
            const Hit& hit = result.allowed[first + i];
            out.memberOf.push_back(m.leader < 0 ? int(leaders.size()) : m.leader);
            if (m.leader < 0) {
                leaders.push_back(placed[i]);
                out.representatives.push_back(hit);
                set.clusters.push_back({1, hit.score, grid.row(hit.index), packing_energy(hit.packing), 0.0});
            } else {
                AllowedCluster& c = set.clusters[static_cast<std::size_t>(m.leader)];
                ++c.population;
                c.spread = std::max(c.spread, m.rmsd);
            }
        }
    }
    for (std::size_t c = 1; c < leaders.size(); ++c) set.clusters[c].toFirst = rings.best(leaders[0].ca, leaders[c].ca).rmsd;
    return out;
}

void keep_representatives(const std::vector<Hit>& representatives, const Grid& grid, SearchResult& result) {
    std::vector<Hit>& kept = result.best;
    const auto held = [](const std::vector<Hit>& hits, const Hit& h) {
        return std::any_of(hits.begin(), hits.end(), [&](const Hit& k) { return k.index == h.index; });
    };
    std::vector<Hit> missing;
    for (std::size_t r = 0; r < representatives.size() && r < kept.size(); ++r)
        if (!held(kept, representatives[r])) missing.push_back(representatives[r]);
    for (std::size_t k = kept.size(); k-- > 0 && !missing.empty();) {
        if (held(representatives, kept[k])) continue;
        kept[k] = missing.back();
        missing.pop_back();
    }
    std::sort(kept.begin(), kept.end(), better);
    result.rows.clear();
    for (const Hit& h : kept) result.rows.push_back(grid.row(h.index));
}

void follow_refined(const SearchResult& result, const Template& tmpl, int numProtomer, AllowedClusters& clusters) {
    std::unordered_map<std::uint64_t, int> member;
    for (std::size_t i = 0; i < result.allowed.size(); ++i) member[result.allowed[i].index] = clusters.memberOf[i];
    AllowedSet& set = clusters.set;
    std::vector<std::size_t> rank(set.clusters.size(), result.best.size());  // of the representative in the kept list
    for (std::size_t k = 0; k < result.best.size(); ++k) {
        const auto found = member.find(result.best[k].index);
        if (found == member.end() || rank[std::size_t(found->second)] < result.best.size()) continue;
        const std::size_t c = std::size_t(found->second);
        rank[c] = k;
        clusters.representatives[c] = result.best[k];
        set.clusters[c].row = result.rows[k];
        set.clusters[c].delta = result.best[k].score;
        set.clusters[c].packing = packing_energy(result.best[k].packing);
    }
    std::vector<std::size_t> order(set.clusters.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rank[a] < rank[b]; });
    // Refined representatives that came within the cutoff of an earlier one
    // lead one cluster no more: their members join the earlier cluster.
    const std::vector<Point> ca = ca_points(tmpl);
    const RingCorrelation rings(numProtomer);
    AllowedClusters merged{set, {}, {}};
    merged.set.clusters.clear();
    std::vector<Placed> leaders;
    for (std::size_t c : order) {
        const Placed placed = placed_of(ca, set.clusters[c].row, numProtomer);
        const Match m = first_leader(rings, leaders, placed, 0, set.cutoff, Match{});
        if (m.leader >= 0) {
            AllowedCluster& into = merged.set.clusters[std::size_t(m.leader)];
            into.population += set.clusters[c].population;
            into.spread = std::max(into.spread, m.rmsd + set.clusters[c].spread);
            continue;
        }
        leaders.push_back(placed);
        merged.set.clusters.push_back(set.clusters[c]);
        merged.representatives.push_back(clusters.representatives[c]);
    }
    for (std::size_t c = 0; c < leaders.size(); ++c)
        merged.set.clusters[c].toFirst = rings.best(leaders[0].ca, leaders[c].ca).rmsd;
    clusters = std::move(merged);
}
