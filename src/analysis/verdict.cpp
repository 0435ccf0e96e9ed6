#include "analysis/verdict.h"

#include <algorithm>
#include <filesystem>

#include "run/cluster.h"
#include "base/text.h"
#include "formats/verdict_line.h"
#include "search/bundle_words.h"
#include "search/contacts.h"

namespace {

std::vector<int> ca_atoms(const Template& tmpl) {
    std::vector<int> out;
    for (std::size_t i = 0; i < tmpl.lines.size(); ++i)
        if (cut(tmpl.lines[i], 12, 4) == " CA ") out.push_back(static_cast<int>(i));
    return out;
}

}  // namespace

AllowedSet allowed_from_ranking(const Template& tmpl, const CandidateTable& ranked, const std::vector<float>& deltas,
                                int numProtomer, double tolerance, double cutoff) {
    AllowedSet set;
    set.tolerance = tolerance;
    set.cutoff = cutoff;
    const std::vector<int> ca = ca_atoms(tmpl);
    std::vector<Point> caPoints;
    for (int a : ca) caPoints.push_back(tmpl.points[a]);
    std::vector<Oligomer> members;
    // A millionth of an Angstrom of slack, as the ranking compares scores.
    for (std::size_t k = 0; k < ranked.size() && double(deltas[k]) - double(deltas[0]) <= tolerance + 1e-6; ++k)
        members.push_back(place_oligomer(caPoints, ranked[k], numProtomer));
    const Clustering clusters = leader_clusters(members, cutoff);
    const AtomKinds kinds = atom_kinds(tmpl.lines);
    for (std::size_t c = 0; c < clusters.leaders.size(); ++c) {
        const int leader = clusters.leaders[c];
        AllowedCluster k;
        k.delta = deltas[leader];
        k.row = ranked[leader];
        k.toFirst = c == 0 ? 0.0 : best_assignment(members[clusters.leaders[0]], members[leader]).rmsd;
        k.packing = packing_energy(packing_units(place_oligomer(tmpl.points, k.row, numProtomer), kinds));
        for (std::size_t m = 0; m < members.size(); ++m)
            if (clusters.cluster[m] == static_cast<int>(c + 1)) {
                ++k.population;
                k.spread = std::max(k.spread, clusters.toLeader[m]);
            }
        set.clusters.push_back(k);
    }
    set.allowed = static_cast<long long>(members.size());
    return set;
}

Status run_verdict(const RunData& run, Verdict& verdict) {
    verdict = Verdict{};
    const std::string path = run.param.workDir + "/allowed.csv";
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        // The search's file, or one not to be guessed at: the search writes it anew.
        const std::string again = "; run noebundle-search again, or remove it to take the set from the ranked candidates";
        Status status = load_allowed_set(path, verdict.set);
        if (!status.ok()) return Status::error(status.message + again);
        if (verdict.set.clusters.empty()) return Status::error("[Error] '" + path + "' holds no cluster" + again);
    } else {
        verdict.derived = true;
        verdict.set = allowed_from_ranking(run.tmpl, run.ranked, run.deltas, run.param.numProtomer, 0.05, 2.0);
    }
    verdict.clusters = describe_clusters(run.tmpl, verdict.set, run.param.numProtomer);
    return Status::fine();
}

std::vector<ClusterView> describe_clusters(const Template& tmpl, const AllowedSet& set, int numProtomer) {
    const AtomKinds kinds = atom_kinds(tmpl.lines);
    std::vector<int> residueOf;
    for (const std::string& line : tmpl.lines) residueOf.push_back(to_int(cut(line, 22, 4)));
    std::vector<ClusterView> out;
    for (const AllowedCluster& c : set.clusters) {
        ClusterView v;
        v.cluster = c;
        v.placed = place_oligomer(tmpl.points, c.row, numProtomer);
        v.geometry = oligomer_geometry(tmpl, v.placed);
        v.interface = interface_residues(v.placed, residueOf, kinds.heavy);
        out.push_back(std::move(v));
    }
    return out;
}

std::string verdict_text(const Verdict& verdict) {
    std::vector<double> angles;
    for (const ClusterView& v : verdict.clusters) angles.push_back(v.geometry.crossingAngle);
    return verdict_line(verdict.set, angles);
}

std::vector<std::string> cluster_lines(const Verdict& verdict) {
    std::vector<std::string> out;
    for (std::size_t k = 0; k < verdict.clusters.size(); ++k) {
        const ClusterView& v = verdict.clusters[k];
        std::string residues;
        for (int r : v.interface) residues += (residues.empty() ? "" : ",") + std::to_string(r);
        const long long n = v.cluster.population;
        out.push_back("  cluster " + std::to_string(k + 1) + ": " + std::to_string(n) +
                      (n == 1 ? " placement" : " placements") + ", Delta " + decimals(v.cluster.delta, 3) +
                      ", crossing angle " + one_decimal(v.geometry.crossingAngle, "\xC2\xB0") + ", axis distance " +
                      one_decimal(v.geometry.axisDistance, " \xC3\x85") + ", radius " + decimals(v.cluster.row[3], 3) +
                      " \xC3\x85, interface " + (residues.empty() ? "none" : residues));
    }
    return out;
}
