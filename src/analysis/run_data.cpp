#include "analysis/run_data.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "base/text.h"
#include "analysis/violations.h"

namespace {

Status load_restraint_file(RunData& run) {
    std::string text;
    if (!read_whole(run.param.noeFile, text)) return Status::error(cannot_open(run.param.noeFile));
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) run.restraintLines.push_back(line);
    std::istringstream in(text);
    run.res->numRestraint = 0;
    Status s = parse_restraints(in, run.param.noeFile, run.helix.resNum, run.param.pairDistance,
                                run.param.pairTolerance, *run.res, most_restraints(run.param.noeModel));
    apply_noe_model(run.param.noeModel, residue_names(run.helix), *run.res);
    return s;
}

// The scores must not fall from one line to the next, by the float
// comparison of the ranking.
bool in_rank_order(const std::vector<float>& scores) {
    for (std::size_t i = 1; i < scores.size(); ++i)
        if (std::isnan(scores[i - 1]) ? !std::isnan(scores[i]) : (scores[i] < scores[i - 1] && !fequal(scores[i], scores[i - 1])))
            return false;
    return true;
}

}  // namespace

Status load_run(const std::string& paramPath, RunData& run) {
    Status status = load_param(paramPath, run.param);
    if (!status.ok()) return status;
    const Parameter& p = run.param;
    status = load_helix(p.workDir + "/check_pdb.log", p.pdbFile, run.helix);
    if (!status.ok()) return status;
    align_on_z(run.helix.coord, run.helix.numResidue, run.helix.center, run.helix.angle);
    status = load_restraint_file(run);
    if (!status.ok()) return status;

    const std::string templatePath = p.workDir + "/origin.pdb";
    std::ifstream templateFile;
    if (!open_input(templateFile, templatePath)) return Status::error(cannot_open(templatePath));
    run.tmpl = parse_template(templateFile);
    if (run.tmpl.points.empty()) return Status::error("[Error] '" + templatePath + "' holds no ATOM line");

    run.candidatePath = p.workDir + "/" + p.proteinName + ".cs";
    std::ifstream candidates;
    if (!open_input(candidates, run.candidatePath)) return Status::error(cannot_open(run.candidatePath));
    status = parse_candidates(candidates, run.candidatePath, run.ranked);
    if (!status.ok()) return status;
    if (run.ranked.empty()) return Status::error("[Error] '" + run.candidatePath + "' holds no candidate");
    for (const CandidateRow& row : run.ranked)
        run.deltas.push_back(placement_delta(*run.res, place_pair(run.helix, row, p.numProtomer)));
    if (!in_rank_order(run.deltas))
        return Status::error("[Error] '" + run.candidatePath + "' is not ranked yet; run noebundle first");
    return Status::fine();
}
