// noebundle-search: prepares a working folder from a structure file and
// searches the placements of the helix on a grid, writing the best as the
// candidate file that noebundle ranks and builds.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>


#include "shell/command_line.h"
#include "shell/program.h"
#include "search/search_run.h"
#include "base/text.h"
#include "formats/angle_text.h"
#include "formats/parameter_keys.h"

namespace {

const char* const usageLine = "Usage: noebundle-search PARAMETER_FILE [options]";

// The option table, which also makes the help text.
void add_options(CLI::App& app, SearchOptions& p) {
    app.add_option("PARAMETER_FILE", p.paramFile, "the run's parameter file")->required()->type_name("PATH");
    app.add_option("--from", p.from, "take the helix from a PDB or mmCIF file (may be gzipped)")->type_name("PATH");
    app.add_option("--sequence", p.sequence, "build an ideal alpha-helix of this one-letter sequence instead of --from")->type_name("SEQUENCE");
    app.add_option("--first", p.first, "number of the built helix's first residue (default: 1)")->type_name("INT");
    app.add_option("--restraints", p.restraints, "convert an XPLOR/CNS or NEF restraint list into noeFile")->type_name("PATH");
    app.add_option("--chain", p.chain, "chain of that file (default: the first)")->type_name("NAME");
    app.add_option("--model", p.model, "model of that file (default: 1)")->check(CLI::Range(1, 999999))->type_name("INT");
    app.add_option("--residues", p.residues, "keep only these residues (FIRST-LAST)")->type_name("FIRST-LAST");
    app.add_flag("--force", p.force, "replace files the search did not write (a different helix, a hand-made "
                                     "candidate file, ...), keeping each as #name.N#");
    app.add_flag("--refine", p.refine, "pack the side chains of the kept placements in the oligomer and refine them "
                                       "off the grid (part of the default with --sequence)");
    app.add_flag("--supercoil", p.supercoil, "search also the helix bent as a supercoil about the bundle's axis, "
                                             "wound as a heptad seam asks at its best placement, and keep it unless the "
                                             "helix as given scores better (part of the default with --sequence)");
    app.add_flag("--as-built", p.asBuilt, "search the helix as one built from a sequence, as --sequence does by "
                                          "default: --refine and --supercoil; for a helix from a model, not cut "
                                          "from the oligomer being solved");
    app.add_option("--angle-step", p.angleStep, "grid step of phi, theta and psi in degrees, 0.06 to 360 (default: ss_angle)")->type_name("FLOAT");
    app.add_option("--radius", p.radius, "radii in Angstrom as BEG:END:STEP, STEP at least 0.001 (default: r_beg:r_end:ss_r)")->type_name("BEG:END:STEP");
    app.add_option("--keep", p.keep, "number of placements to keep (default: 100)")->type_name("INT");
    app.add_option("--cluster", p.cluster, "CA RMSD in Angstrom that clusters the placements fitting as well as the best (default: 2.0)")->type_name("FLOAT");
    app.add_option("--map", p.map, "write the score landscape as an SVG picture")->type_name("PATH");
    app.add_option("--threads", p.threads, "threads to use (default: all cores)")->type_name("INT");
    app.add_option("--max-placements", p.maxPlacements, "largest grid searched (default: 1e9)")->type_name("INT");
    app.add_option("--max-memory", p.maxMemory, "most memory in MB the search may need (default: 2048)")->type_name("INT");
}

// What the input and the best placement say about the search itself: an
// oligomer file with another number of copies than numProtomer; a radius at
// the grid's edge may have a better one beyond it; a positive packing energy
// means its protomers' side chains overlap.
std::vector<std::string> result_warnings(const SearchOutcome& out) {
    std::vector<std::string> lines;
    const int copies = out.prepared.sameSequenceChains;
    if (copies > 1 && copies != out.numProtomer)
        lines.push_back("Warning: numProtomer is " + std::to_string(out.numProtomer) + " but the --from model has " +
                        std::to_string(copies) + " chains of the chosen chain's sequence");
    if (out.result.best.empty()) return lines;
    const Hit& best = out.result.best.front();
    const std::vector<float>& radii = out.grid.radius;
    const float radius = out.grid.row(best.index)[3];
    if (radii.size() > 1 && (radius == radii.front() || radius == radii.back()))
        lines.push_back("Warning: the best placement lies on the " + std::string(radius == radii.front() ? "first" : "last") +
                        " radius of the grid (" + fixed3(radius, 0) + "); a better one may lie beyond it");
    if (out.result.packed && best.packing > 0)
        lines.push_back("Warning: the best placement's packing energy is positive (" +
                        fixed3(float(packing_energy(best.packing)), 0) + "): its protomers' side chains overlap");
    return lines;
}

// The whole search, then its summary.
Status search_placements(const SearchOptions& p) {
    for (const std::string& line : parameter_file_warnings(p.paramFile))
        if (!print_line(line)) return Status::error(stdoutFailure);
    SearchOutcome out;
    Status status = run_search(p, out);
    if (status.ok() && !out.built.empty() && !print_line(out.built)) return Status::error(stdoutFailure);
    if (status.ok() && !out.plan.empty() && !print_line(out.plan)) return Status::error(stdoutFailure);
    for (const std::string& line : out.prepared.sideChainPoints)
        if (status.ok() && !print_line(line)) return Status::error(stdoutFailure);
    // The accounting of a conversion comes before anything that may fail after it.
    if (!out.conversion.empty() && !print_line(out.conversion.substr(0, out.conversion.size() - 1)))
        return Status::error(stdoutFailure);
    // The model says which restraints count as violated, and how many the run takes: after a conversion
    // that failed, and last before [Done].
    if (!status.ok() && !out.conversion.empty() && !out.model.empty() && !print_line(out.model))
        return Status::error(stdoutFailure);
    if (!status.ok()) return status;
    if (!(status = append_log_header(out.logPath, p.commandLine)).ok()) return status;
    const SearchResult& result = out.result;
    std::vector<std::string> lines = {
        "Placements searched: " + std::to_string(result.searched), "Seconds: " + decimals(out.seconds, 2),
        "Placements per second: " + std::to_string(std::llround(result.searched / std::max(out.seconds, 1e-9)))};
    if (!result.best.empty()) {
        const CandidateRow& row = result.rows.front();
        const auto angle = [&out](float radians) { return angle_degrees(radians, out.angleStep) + "\u00b0"; };
        lines.push_back("Best score: " + fixed3(result.best.front().score, 0) + " at phi " + angle(row[0]) +
                        ", theta " + angle(row[1]) + ", psi " + angle(row[2]) + ", radius " + fixed3(row[3], 0) +
                        " \u00c5");
        lines.push_back("Geometry of the best: " + out.geometry);
        lines.push_back("Interface of the best (heavy atoms within 4.5 \u00c5 of another protomer): " + out.interface);
    }
    if (!out.supercoil.empty()) lines.push_back(out.supercoil);
    for (const std::string& line : rule_summary(result)) lines.push_back(line);
    for (const std::string& line : result_warnings(out)) lines.push_back(line);
    if (result.packed && !out.verdict.empty()) lines.push_back(out.verdict);
    for (const Backup& b : out.backups) lines.push_back("Kept the former '" + b.original + "' as '" + b.backup + "'");
    lines.push_back(out.model);
    lines.push_back("[Done] " + std::to_string(result.best.size()) + " placements written to '" + out.candidatePath + "'");
    for (const std::string& line : lines)
        if (!print_line(line)) return Status::error(stdoutFailure);
    return Status::fine();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Prepares the working folder of PARAMETER_FILE (check_pdb.log, origin.pdb)\n"
                 "and writes the best placements of a grid search as its candidate file.",
                 "noebundle-search"};
    app.set_version_flag("--version", std::string("noebundle-search ") + NOEBUNDLE_VERSION);
    SearchOptions p;
    p.commandLine.assign(argv, argv + argc);
    add_options(app, p);
    if (argc < 2) fail(std::string("[Error] ") + usageLine);
    if (!parse_command_line(app, argc, argv, usageLine)) return 0;
    p.hasSequence = app.count("--sequence") > 0;
    check(with_parameter_key(search_placements(p), p.paramFile));
    return 0;
}
