// noebundle-search: prepares a working folder from a structure file and
// searches the placements of the helix on a grid, writing the best as the
// candidate file that noebundle ranks and builds.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include <unistd.h>

#include <CLI/CLI.hpp>

#include "candidates.h"
#include "helix.h"
#include "landscape.h"
#include "oligomer.h"
#include "parallel.h"
#include "parameter.h"
#include "prepare.h"
#include "program.h"
#include "restraint.h"
#include "search.h"
#include "text.h"

namespace {

const char* const usageLine = "Usage: noebundle-search PARAMETER_FILE [options]";

struct SearchParameters {
    std::string paramFile, from, chain, residues, map;
    int model = 1;
    bool force = false;
    std::string angleStep, radius, keep = "100", threads;
};

// The option table, which also makes the help text.
void add_options(CLI::App& app, SearchParameters& p) {
    app.add_option("PARAMETER_FILE", p.paramFile, "the run's parameter file")->required();
    app.add_option("--from", p.from, "take the helix from a PDB or mmCIF file (may be gzipped)");
    app.add_option("--chain", p.chain, "chain of that file (default: the first)");
    app.add_option("--model", p.model, "model of that file (default: 1)")->check(CLI::Range(1, 999999));
    app.add_option("--residues", p.residues, "keep only these residues (FIRST-LAST)");
    app.add_flag("--force", p.force, "replace a different helix file already at pdbFile");
    app.add_option("--angle-step", p.angleStep, "grid step of phi, theta and psi in degrees (default: ss_angle)");
    app.add_option("--radius", p.radius, "radii in Angstrom as BEG:END:STEP (default: r_beg:r_end:ss_r)");
    app.add_option("--keep", p.keep, "number of placements to keep (default: 100)");
    app.add_option("--map", p.map, "write the score landscape as an SVG picture");
    app.add_option("--threads", p.threads, "threads to use (default: all cores)");
}

bool to_number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0' && std::isfinite(value);
}

bool to_count(const std::string& text, long& value) {
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && *end == '\0' && value >= 0;
}

Status wrong_option(const std::string& option, const std::string& value) {
    return Status::error("[Error] Wrong option or value: " + option + " " + value);
}

// The grid and the rest of the settings, from the options or the parameter file.
struct Settings {
    HelixChoice choice;
    double angleStep = 0, rBeg = 0, rEnd = 0, rStep = 0;
    long keep = 100;
};

Status settle(const SearchParameters& p, const Parameter& param, Settings& s) {
    s.choice.chain = p.chain;
    s.choice.model = p.model;
    if (!p.residues.empty() && !(s.choice.range = parse_range(p.residues, s.choice.first, s.choice.last)))
        return wrong_option("--residues", p.residues);
    s.angleStep = param.ss_angle;
    if (!p.angleStep.empty() && !(to_number(p.angleStep, s.angleStep) && s.angleStep >= 0.01 && s.angleStep <= 360))
        return wrong_option("--angle-step", p.angleStep);
    s.rBeg = param.r_beg, s.rEnd = param.r_end, s.rStep = param.ss_r;
    if (!p.radius.empty() && !(std::sscanf(p.radius.c_str(), "%lf:%lf:%lf", &s.rBeg, &s.rEnd, &s.rStep) == 3 &&
                               std::isfinite(s.rBeg) && std::isfinite(s.rEnd) && s.rStep > 0))
        return wrong_option("--radius", p.radius);
    if (!to_count(p.keep, s.keep)) return wrong_option("--keep", p.keep);
    long threads = 0;
    if (!p.threads.empty() && !(to_count(p.threads, threads) && threads >= 1 && threads <= 256))
        return wrong_option("--threads", p.threads);
    set_worker_count(static_cast<int>(threads));
    if (!(s.angleStep >= 0.01 && s.angleStep <= 360))
        return Status::error("[Error] The angle step must lie between 0.01 and 360 degrees");
    if (!(s.rStep > 0) || !(s.rEnd >= s.rBeg) || !std::isfinite(s.rEnd) || (s.rEnd - s.rBeg) / s.rStep > 1e6)
        return Status::error("[Error] The radius range must run from its beginning up to its end in positive steps");
    return Status::fine();
}

Status write_or_fail(const std::string& path, const std::string& text) {
    return replace_file(path, text, true) ? Status::fine() : Status::error(cannot_open(path));
}

// Puts the helix at pdbFile (from --from if given) and writes check_pdb.log.
Status prepare_helix(const SearchParameters& p, const Settings& s, const Parameter& param, std::string& pdbText) {
    if (!p.from.empty()) {
        Status status = extract_helix(p.from, s.choice, pdbText);
        if (!status.ok()) return status;
        std::string existing;
        if (read_whole(param.pdbFile, existing) && existing != pdbText && !p.force)
            return Status::error("[Error] '" + param.pdbFile + "' already holds a different helix; --force replaces it");
        if (existing != pdbText && !(status = write_or_fail(param.pdbFile, pdbText)).ok()) return status;
    } else if (!read_whole(param.pdbFile, pdbText)) {
        return Status::error(cannot_open(param.pdbFile));
    }
    int residues, atoms;
    count_residues(pdbText, residues, atoms);
    return write_or_fail(param.workDir + "/check_pdb.log", std::to_string(residues) + "\n" + std::to_string(atoms) + "\n");
}

void show_progress(std::uint64_t done, std::uint64_t total) {
    static int shown = -1;
    const int percent = int(100 * done / std::max<std::uint64_t>(total, 1));
    if (percent == shown) return;
    shown = percent;
    std::fprintf(stderr, "\r[%-50s] %3d%%", std::string(percent / 2, '#').c_str(), percent);
    if (percent == 100) std::fprintf(stderr, "\r%70s\r", "");
    std::fflush(stderr);
}

std::string decimals2(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", s);
    return text;
}

// The whole search: working folder prepared, grid searched, best kept.
Status search_placements(const SearchParameters& p) {
    Parameter param;
    Status status = load_param(p.paramFile, param);
    Settings s;
    if (status.ok()) status = settle(p, param, s);
    std::string pdbText;
    if (status.ok()) status = prepare_helix(p, s, param, pdbText);
    Helix helix;
    if (status.ok()) status = load_helix(param.workDir + "/check_pdb.log", param.pdbFile, helix);
    if (!status.ok()) return status;
    align_on_z(helix.coord, helix.numResidue, helix.center, helix.angle);
    Restraint res{};
    status = load_restraints(param.noeFile, helix.resNum, param.pairDistance, param.pairTolerance, res);
    const std::string origin = aligned_template(pdbText, helix.center, helix.angle);
    if (status.ok()) status = write_or_fail(param.workDir + "/origin.pdb", origin);
    if (!status.ok()) return status;
    std::istringstream originLines(origin);
    const ContactModel contacts(parse_template(originLines), param.numProtomer);

    const Grid grid = make_grid(s.angleStep, s.rBeg, s.rEnd, s.rStep);
    const Scorer scorer(helix, res, param.numProtomer);
    const auto start = std::chrono::steady_clock::now();
    const SearchResult result =
        search(scorer, grid, std::size_t(s.keep), isatty(2) ? show_progress : nullptr, &contacts);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::string candidates;
    for (const Hit& h : result.best) candidates += candidate_line(grid.row(h.index)) + "\n";
    const std::string path = param.workDir + "/" + param.proteinName + ".cs";
    status = write_or_fail(path, candidates);
    if (status.ok() && !p.map.empty()) status = write_or_fail(p.map, landscape_svg(grid, result));
    if (!status.ok()) return status;

    std::vector<std::string> lines = {
        "Placements searched: " + std::to_string(result.searched), "Seconds: " + decimals2(seconds),
        "Placements per second: " + std::to_string(std::llround(result.searched / std::max(seconds, 1e-9)))};
    if (!result.best.empty()) {
        const CandidateRow row = grid.row(result.best.front().index);
        lines.push_back("Best score: " + fixed3(result.best.front().score, 0) + " at phi " + fixed3(row[0], 0) +
                        ", theta " + fixed3(row[1], 0) + ", psi " + fixed3(row[2], 0) + ", radius " +
                        fixed3(row[3], 0));
    }
    for (const std::string& line : rule_summary(result)) lines.push_back(line);
    lines.push_back("[Done] " + std::to_string(result.best.size()) + " placements written to '" + path + "'");
    for (const std::string& line : lines)
        if (!print_line(line)) return Status::error("[Error] Can not write to standard output");
    return Status::fine();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Prepares the working folder of PARAMETER_FILE (check_pdb.log, origin.pdb)\n"
                 "and writes the best placements of a grid search as its candidate file.",
                 "noebundle-search"};
    app.set_version_flag("--version", std::string("noebundle-search ") + NOEBUNDLE_VERSION);
    SearchParameters p;
    add_options(app, p);
    if (argc < 2) fail(std::string("[Error] ") + usageLine);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        print_line(std::string(usageLine) + "\n" + app.help("", CLI::AppFormatMode::Normal));
        return 0;
    } catch (const CLI::CallForVersion& e) {
        print_line(e.what());
        return 0;
    } catch (const CLI::ArgumentMismatch& e) {
        const std::string what = e.what();
        fail("[Error] Option " + what.substr(0, what.find(':')) + " needs a value");
    } catch (const CLI::ParseError& e) {
        fail(std::string("[Error] ") + e.what());
    }
    check(search_placements(p));
    return 0;
}
