// noebundle-analyze: after a run, measures every ranked structure (restraint
// violations, closest backbone approach, packing energy, CA RMSD to a
// deposited oligomer), clusters the best ones and writes tables, a
// multi-model ensemble with real chains and viewer scripts into a folder of
// its own; with --pack, each structure's side chains packed in the oligomer
// as noebundle-search --refine packs them; with --score, an oligomer the user
// has scored against the run's restraints.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>


#include "analysis/analysis_memory.h"
#include "analysis/analysis_report.h"
#include "analysis/restraint_summary.h"
#include "formats/parameter_keys.h"
#include "analysis/assigned_restraints.h"
#include "run/cluster.h"
#include "analysis/ensemble.h"
#include "search/bundle_words.h"
#include "search/contacts.h"
#include "search/side_chains.h"
#include "run/oligomer.h"
#include "formats/prepare.h"  // parse_range
#include "shell/command_line.h"
#include "shell/program.h"
#include "analysis/reference.h"
#include "analysis/score_structure.h"
#include "analysis/verdict_files.h"
#include "analysis/run_data.h"
#include "base/text.h"
#include "analysis/viewer_scripts.h"
#include "safety/outputs.h"
#include "html/report_page.h"
#include "html/run_words.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    std::string paramFile, reference, score, chains, residues, out;
    std::string commandLine;  // as typed, for the report
    int top = 10, model = 1;
    double cluster = 1.0, maxMemory = defaultAnalysisMemory;
    float threshold = defaultViolationThreshold;
    bool pack = false, force = false;
};

struct Outputs {
    std::string dir;
    std::vector<std::pair<std::string, std::string>> files;  // name, content
};

Status choose_out_dir(const Options& o, const std::string& workDir, std::string& dir) {
    dir = o.out.empty() ? workDir + "/analysis" : o.out;
    std::error_code ec;
    const fs::path out = fs::weakly_canonical(dir, ec), work = fs::weakly_canonical(workDir, ec);
    if (!ec && out == work)
        return Status::error("[Error] The output folder '" + dir + "' is the working folder; choose another with --out");
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return Status::error("[Error] Can not create the folder '" + dir + "'");
    return Status::fine();
}

Status load_reference_for(const Options& o, const RunData& run, Reference& ref) {
    ReferenceChoice choice;
    choice.model = o.model;
    if (!o.chains.empty() && !parse_chain_list(o.chains, choice.chains))
        return Status::error("[Error] --chains needs names separated by commas: " + o.chains);
    if (!o.residues.empty()) {
        if (!parse_range(o.residues, choice.first, choice.last))
            return Status::error("[Error] --residues needs FIRST-LAST: " + o.residues);
        choice.range = true;
    }
    std::vector<int> residueOf;
    std::vector<char> caOf;
    for (const std::string& line : run.tmpl.lines) {
        residueOf.push_back(to_int(cut(line, 22, 4)));
        caOf.push_back(cut(line, 12, 4) == " CA " ? 1 : 0);
    }
    return load_reference(o.reference, choice, run.param.numProtomer, residueOf, caOf, ref);
}

Status score_for(const Options& o, const RunData& run, ScoredStructure& scored) {
    std::vector<std::string> chains;
    if (!o.chains.empty() && !parse_chain_list(o.chains, chains))
        return Status::error("[Error] --chains needs names separated by commas: " + o.chains);
    return score_structure(o.score, chains, o.model, run, scored);
}

Status analyze(const Options& o) {
    for (const std::string& line : parameter_file_warnings(o.paramFile)) print_line(line);
    RunData run;
    Status status = load_run(o.paramFile, run);
    const std::size_t top = std::min<std::size_t>(static_cast<std::size_t>(o.top), run.ranked.size());
    if (!status.ok() || !(status = check_analysis_memory(top, run.res->numRestraint, o.maxMemory)).ok()) return status;
    const int n = run.param.numProtomer;
    Reference ref;
    const bool withReference = !o.reference.empty();
    if (withReference && !(status = load_reference_for(o, run, ref)).ok()) return status;
    ScoredStructure scored;
    if (!o.score.empty() && !(status = score_for(o, run, scored)).ok()) return status;
    VerdictOutputs verdict;
    if (!(status = verdict_outputs(run, verdict)).ok()) return status;
    std::string dir;
    if (!(status = choose_out_dir(o, run.param.workDir, dir)).ok()) return status;

    const AtomKinds kinds = atom_kinds(run.tmpl.lines);
    std::vector<int> caIndex;
    for (std::size_t i = 0; i < run.tmpl.lines.size(); ++i)
        if (cut(run.tmpl.lines[i], 12, 4) == " CA ") caIndex.push_back(static_cast<int>(i));

    std::vector<RankedResult> results;
    std::vector<std::vector<RestraintCheck>> topChecks;
    std::vector<EnsembleModel> models;
    std::vector<Oligomer> topCA;
    // Packing moves only atoms beyond CB: restraints, backbones and CA RMSD stay as they are.
    const std::unique_ptr<SideChainPacker> packer = o.pack ? std::make_unique<SideChainPacker>(run.tmpl, n) : nullptr;
    for (std::size_t k = 0; k < run.ranked.size(); ++k) {
        const CandidateRow& row = run.ranked[k];
        const Oligomer placed = place_oligomer(packer ? packer->pack(row) : run.tmpl.points, row, n);
        const std::vector<RestraintCheck> checks = check_restraints(*run.res, place_pair(run.helix, row, n), n);
        RankedResult r;
        r.rank = static_cast<int>(k + 1);
        r.delta = run.deltas[k];
        r.row = row;
        r.closestBackbone = closest_backbone(placed, kinds.backbone);
        r.packing = packing_energy(packing_units(placed, kinds));
        r.violations = count_violations(checks, o.threshold);
        r.geometry = oligomer_geometry(run.tmpl, placed);
        if (withReference) {
            r.hasReference = true;
            r.reference = compare_to_reference(ref, placed);
        }
        results.push_back(r);
        if (k < top) {
            topChecks.push_back(checks);
            models.push_back({r.rank, r.delta, row, placed});
            topCA.push_back(select_points(placed, caIndex));
        }
    }
    const Clustering clusters = leader_clusters(topCA, o.cluster);
    for (std::size_t k = 0; k < top; ++k) results[k].cluster = clusters.cluster[k];

    const RestraintNames names{*run.res, run.restraintLines, run.helix.resNum, n, o.threshold};
    const std::vector<RestraintTally> tallies = restraint_tallies(topChecks, o.threshold);
    const EnsembleText ensemble = ensemble_files(run.tmpl, models, run.param.proteinName, NOEBUNDLE_VERSION);
    const std::vector<DrawnRestraint> restraints = drawn_restraints(run, topChecks[0], o.threshold);
    const AssignedFiles assigned = assigned_restraint_files(run, topChecks[0], NOEBUNDLE_VERSION, source_date());
    ReportInput report{run, o.paramFile, results, models, topChecks, withReference ? &ref : nullptr, o.reference,
                       std::string("noebundle-analyze ") + NOEBUNDLE_VERSION, o.commandLine, "", "", ""};
    report.verdict = &verdict.verdict;
    report.suggested = &verdict.suggested;
    report.threshold = o.threshold;
    find_landscape(run.param, report.landscapePath, report.landscapeSvg);
    const std::string geometry = geometry_words(results[0].geometry), interface = interface_words(run.tmpl, models[0].atoms);
    report.geometry = "Structure 1: " + geometry + ". Its residues with a heavy atom within 4.5 \u00c5 of another protomer: " + interface + ".";
    std::string page;
    if (!(status = report_html(report, page)).ok()) return status;
    std::vector<std::pair<std::string, std::string>> files = {
        {"ranking.csv", ranking_csv(results, withReference, run.param.ss_angle, o.threshold)},
        {"violations.csv", violations_csv(topChecks, names)},
        {"restraint_summary.csv", restraint_summary_csv(tallies, static_cast<int>(top), names)},
        {"ensemble.pdb", ensemble.pdb},
        {"ensemble.cif", ensemble.cif},
        {"view.pml", pymol_script("ensemble.pdb", restraints, interface_direction(models[0].atoms))},
        {"view.cxc", chimerax_script("ensemble.pdb", "restraints.pb", restraints, static_cast<int>(top))},
        {"restraints.pb", chimerax_pseudobonds(restraints, static_cast<int>(top))},
        {"assigned.tbl", assigned.xplor},
        {"assigned.nef", assigned.nef},
        {"report.html", page},
        {"verdict.json", verdict.json},
        {"clusters.pdb", verdict.clusters.pdb},
        {"clusters.cif", verdict.clusters.cif}};
    if (!o.score.empty())
        files.insert(files.end(), {{"score.csv", score_csv(scored, o.score, o.model, o.threshold)},
                                   {"score_violations.csv", violations_csv({scored.checks}, names)}});
    std::vector<Backup> backups;
    if (!(status = write_owned_files(dir, "noebundle-analyze", files, o.force, backups)).ok()) return status;

    if (!assigned.note.empty()) print_line(assigned.note);
    print_line(std::to_string(run.ranked.size()) + " structures of '" + run.candidatePath + "', " + std::to_string(n) +
               " protomers, " + std::to_string(run.res->numRestraint) + " restraints");
    print_line(noe_model_line(run.param.noeModel));
    const std::string over = " violated by more than " + threshold_words(o.threshold);
    print_line("Restraints of structure 1 (Delta " + decimals3(results[0].delta) + ", " +
               std::to_string(results[0].violations.violated) + over + "):");
    for (const std::string& line : violation_table(topChecks[0], names)) print_line(line);
    print_line("The best " + std::to_string(top) + " (crossing and axes: angle (°) and distance (Å) of the helix axes "
               "of protomers 1 and 2; backbone: closest backbone atoms of two protomers, Å; violated: restraints" + over + "):");
    for (const std::string& line : top_table(results, top, withReference)) print_line(line);
    print_line(restraint_summary_line(tallies, static_cast<int>(top), o.threshold));
    print_line("Geometry of structure 1: " + geometry);
    print_line("Interface of structure 1 (heavy atoms within 4.5 Å of another protomer): " + interface);
    for (const std::string& line : cluster_lines(clusters, o.cluster, top)) print_line(line);
    for (const std::string& line : verdict.lines) print_line(line);
    if (withReference) {
        print_line("Reference '" + o.reference + "': " + std::to_string(ref.residues.size()) + " CA atoms per chain, residues " +
                   std::to_string(ref.residues.front()) + "-" + std::to_string(ref.residues.back()));
        print_line("  structure 1: CA RMSD " + decimals3(results[0].reference.rmsd) + " Å with " +
                   assignment_text(results[0].reference, ref.chains));
    }
    if (!o.score.empty())
        for (const std::string& line : score_lines(scored, o.score, o.model, names, run.deltas)) print_line(line);
    for (const Backup& b : backups) print_line("Kept the former '" + b.original + "' as '" + b.backup + "'");
    print_line("[Done] Tables, ensemble, viewer scripts, assigned restraints and report.html written to '" + dir + "'");
    return Status::fine();
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    o.commandLine = shell_words(std::vector<std::string>(argv, argv + argc));
    CLI::App app{"Measures, clusters and compares the ranked structures of a noebundle run (and with\n"
                 "--score scores an oligomer you have against its restraints) and writes\n"
                 "tables, a multi-model ensemble with one chain per protomer, viewer scripts and a page\n"
                 "to look at them in a browser (report.html).",
                 "noebundle-analyze"};
    app.add_option("PARAMETER_FILE", o.paramFile, "the parameter file of the run")->required()->type_name("PATH");
    app.add_option("--top", o.top, "structures to detail, cluster and write (default 10)")->check(CLI::Range(1, 100000))->type_name("INT");
    app.add_option("--reference", o.reference, "a deposited oligomer to compare with (PDB or mmCIF)")->type_name("PATH");
    app.add_option("--score", o.score,
                   "an oligomer to score against the run's restraints (PDB or mmCIF): Delta and each restraint\n"
                   "printed, written to score.csv and score_violations.csv")->type_name("PATH");
    CLI::Option* chains = app.add_option(
        "--chains", o.chains,
        "chains of the --score and --reference file, A,B,...; for --score in ring order\n"
        "(default: the chains with CA atoms, in file order; for --reference the first numProtomer)")->type_name("A,B,...");
    CLI::Option* model = app.add_option("--model", o.model, "model of the --score and --reference file (default 1)")
                             ->check(CLI::Range(1, 1000000))->type_name("INT");
    app.add_option("--residues", o.residues, "residues to compare, FIRST-LAST (default: all)")->needs("--reference")->type_name("FIRST-LAST");
    app.add_option("--cluster", o.cluster, "cluster cutoff, CA RMSD in Å (default 1.0)")->check(CLI::Range(0.0, 1e6))->type_name("FLOAT");
    app.add_option("--violation-threshold", o.threshold, "a restraint counts as violated above this many Å (default 0.5)")
        ->check(CLI::Range(0.0, 1e6))->type_name("FLOAT");
    app.add_option("--max-memory", o.maxMemory, "most memory in MB the analysis may need (default: 2048)")
        ->check(CLI::Range(1.0, 1e9))->type_name("FLOAT");
    app.add_option("--out", o.out, "output folder (default workDir/analysis)")->type_name("PATH");
    app.add_flag("--force", o.force, "replace files in the output folder that noebundle-analyze did not write, "
                                     "keeping each as #name.N#");
    app.add_flag("--pack", o.pack, "pack each structure's side chains in the oligomer (as noebundle-search --refine)");
    app.set_version_flag("--version", std::string("noebundle-analyze ") + NOEBUNDLE_VERSION);
    if (!parse_command_line(app, argc, argv)) return 0;
    if ((chains->count() > 0 || model->count() > 0) && o.reference.empty() && o.score.empty())
        fail("[Error] --chains and --model choose in the file of --score or --reference; give one of those");
    check(with_parameter_key(analyze(o), o.paramFile));
    return 0;
}
