#include "analysis/verdict_files.h"

#include "analysis/verdict_json.h"
#include "analysis/violations.h"
#include "base/text.h"

namespace {

// Whether a restraint line, read as noebundle reads its restraint file and
// under the run's model, is violated by each cluster's representative.
ViolatedIn violated_in(const RunData& run, const Verdict& v) {
    return [&run, &v](const std::string& line) {
        std::vector<bool> out(v.clusters.size(), false);
        std::string text = line;
        RestraintLine parsed;
        if (!parse_restraint_line(text, run.param.noeFile, run.helix.resNum, run.param.pairDistance,
                                  run.param.pairTolerance, parsed).ok())
            return out;
        Restraint one;
        add_restraint(one, parsed);
        apply_noe_model(run.param.noeModel, residue_names(run.helix), one);
        const int n = run.param.numProtomer;
        for (std::size_t k = 0; k < v.clusters.size(); ++k)
            out[k] = check_restraints(one, place_pair(run.helix, v.clusters[k].cluster.row, n), n)[0].violation > 0;
        return out;
    };
}

}  // namespace

Status verdict_outputs(const RunData& run, VerdictOutputs& out) {
    out = VerdictOutputs{};
    Status status = run_verdict(run, out.verdict);
    if (!status.ok()) return status;
    const Verdict& v = out.verdict;
    std::vector<Oligomer> placed;
    std::vector<long long> population;
    std::vector<EnsembleModel> models;
    for (std::size_t k = 0; k < v.clusters.size(); ++k) {
        const ClusterView& c = v.clusters[k];
        placed.push_back(c.placed);
        population.push_back(c.cluster.population);
        models.push_back({static_cast<int>(k + 1), c.cluster.delta, c.cluster.row, c.placed});
    }
    if (!v.decided()) out.suggested = decisive_pairs(run.tmpl, run.helix.resNum, placed, population, violated_in(run, v));
    out.json = verdict_json(v, out.suggested);
    out.clusters = ensemble_files(run.tmpl, models, run.param.proteinName + "_clusters");
    if (v.derived)
        out.lines.push_back("No allowed.csv in '" + run.param.workDir +
                            "': the allowed set is the ranked candidates within " + decimals(v.set.tolerance, 3) +
                            " \xC3\x85 of the best Delta, clustered at " + decimals(v.set.cutoff, 3) +
                            " \xC3\x85 CA RMSD");
    out.lines.push_back(verdict_text(v));
    for (const std::string& line : cluster_lines(v)) out.lines.push_back(line);
    const std::string apart =
        "under 5 \xC3\x85 apart in some clusters and over 7 \xC3\x85, their restraint violated, in others";
    if (!out.suggested.empty())
        out.lines.push_back("Cross peaks that would decide (proton pairs " + apart + "):");
    else if (!v.decided())
        out.lines.push_back("No proton pair of the helix lies " + apart);
    for (const DecisivePair& p : out.suggested)
        out.lines.push_back("  " + p.line + "  split " + decimals(p.split, 3));
    return Status::fine();
}
