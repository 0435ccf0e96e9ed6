// noebundle-search: prepares a working folder from a structure file and
// searches the placements of the helix on a grid, writing the best as the
// candidate file that noebundle ranks and builds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "getpdb.h"
#include "prepare.h"
#include "search.h"
#include "text.h"

namespace {

const char* const usage =
    "Usage: noebundle-search PARAMETER_FILE [options]\n"
    "Prepares the working folder of PARAMETER_FILE (check_pdb.log, origin.pdb)\n"
    "and writes the best placements of a grid search as its candidate file.\n"
    "  --from FILE            take the helix from a PDB or mmCIF file (may be gzipped)\n"
    "  --chain NAME           chain of that file (default: the first)\n"
    "  --model N              model of that file (default: 1)\n"
    "  --residues FIRST-LAST  keep only these residues\n"
    "  --force                replace a different helix file already at pdbFile\n"
    "  --angle-step DEGREES   grid step of phi, theta and psi (default: ss_angle)\n"
    "  --radius BEG:END:STEP  radii in Angstrom (default: r_beg:r_end:ss_r)\n"
    "  --keep K               number of placements to keep (default: 100)\n"
    "  --map FILE.svg         write the score landscape as a picture\n"
    "  --threads N            threads to use (default: all cores)";

struct Options {
    std::string from, map;
    HelixChoice choice;
    bool force = false;
    double angleStep = 0, rBeg = 0, rEnd = 0, rStep = 0;
    bool angleGiven = false, radiusGiven = false;
    long keep = 100;
};

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

Options parse_options(int argc, char** argv) {
    Options o;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--force") {
            o.force = true;
            continue;
        }
        if (i + 1 >= argc) fail("[Error] Option " + option + " needs a value");
        const std::string value = argv[++i];
        double a, b, c;
        long n;
        if (option == "--from") o.from = value;
        else if (option == "--chain") o.choice.chain = value;
        else if (option == "--model" && to_count(value, n) && n >= 1 && n < 1000000) o.choice.model = int(n);
        else if (option == "--residues" && parse_range(value, o.choice.first, o.choice.last)) o.choice.range = true;
        else if (option == "--angle-step" && to_number(value, a) && a >= 0.01 && a <= 360) {
            o.angleStep = a;
            o.angleGiven = true;
        } else if (option == "--radius" &&
                   std::sscanf(value.c_str(), "%lf:%lf:%lf", &a, &b, &c) == 3 && std::isfinite(a) && std::isfinite(b) && c > 0) {
            o.rBeg = a, o.rEnd = b, o.rStep = c;
            o.radiusGiven = true;
        } else if (option == "--keep" && to_count(value, n)) o.keep = n;
        else if (option == "--map") o.map = value;
        else if (option == "--threads" && to_count(value, n) && n >= 1 && n <= 256) set_worker_count(int(n));
        else fail("[Error] Wrong option or value: " + option + " " + value);
    }
    return o;
}

void write_or_fail(const std::string& path, const std::string& text) {
    if (!replace_file(path, text, true)) fail(cannot_open(path));
}

// Puts the helix at pdbFile (from --from if given) and writes check_pdb.log.
void prepare_helix(const Options& o) {
    std::string pdbText;
    if (!o.from.empty()) {
        check(extract_helix(o.from, o.choice, pdbText));
        std::string existing;
        if (read_whole(param.pdbFile, existing) && existing != pdbText && !o.force)
            fail("[Error] '" + param.pdbFile + "' already holds a different helix; --force replaces it");
        if (existing != pdbText) write_or_fail(param.pdbFile, pdbText);
    } else if (!read_whole(param.pdbFile, pdbText)) {
        fail(cannot_open(param.pdbFile));
    }
    int residues, atoms;
    count_helix(pdbText, residues, atoms);
    write_or_fail(param.workDir + "/check_pdb.log", std::to_string(residues) + "\n" + std::to_string(atoms) + "\n");
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

std::string seconds_text(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", s);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (answered_standard_options(argc, argv, "noebundle-search", usage)) return 0;
    param.read_param(argv[1]);
    Options o = parse_options(argc, argv);
    if (!o.angleGiven) o.angleStep = param.ss_angle;
    if (!o.radiusGiven) o.rBeg = param.r_beg, o.rEnd = param.r_end, o.rStep = param.ss_r;
    if (!(o.angleStep >= 0.01 && o.angleStep <= 360)) fail("[Error] The angle step must lie between 0.01 and 360 degrees");
    if (!(o.rStep > 0) || !(o.rEnd >= o.rBeg) || !std::isfinite(o.rEnd) || (o.rEnd - o.rBeg) / o.rStep > 1e6)
        fail("[Error] The radius range must run from its beginning up to its end in positive steps");

    prepare_helix(o);
    helix.read_pdb();
    helix.move_zaxis();
    res.read_restraint();
    std::string pdbText;
    read_whole(param.pdbFile, pdbText);
    write_or_fail(param.workDir + "/origin.pdb", aligned_template(pdbText, helix.center, helix.angle));

    const Grid grid = make_grid(o.angleStep, o.rBeg, o.rEnd, o.rStep);
    const Scorer scorer(helix, res, param.numProtomer);
    const auto start = std::chrono::steady_clock::now();
    const SearchResult result = search(scorer, grid, std::size_t(o.keep), isatty(2) ? show_progress : nullptr);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::string candidates;
    for (const Hit& h : result.best) candidates += candidate_line(grid.row(h.index)) + "\n";
    const std::string path = param.workDir + "/" + param.proteinName + ".cs";
    write_or_fail(path, candidates);
    if (!o.map.empty()) write_or_fail(o.map, landscape_svg(grid, result));

    print_line("Placements searched: " + std::to_string(result.searched));
    print_line("Seconds: " + seconds_text(seconds));
    print_line("Placements per second: " + std::to_string(std::llround(result.searched / std::max(seconds, 1e-9))));
    if (!result.best.empty()) {
        const CandidateRow row = grid.row(result.best.front().index);
        print_line("Best score: " + fixed3(result.best.front().score, 0) + " at phi " + fixed3(row[0], 0) +
                   ", theta " + fixed3(row[1], 0) + ", psi " + fixed3(row[2], 0) + ", radius " + fixed3(row[3], 0));
    }
    print_line("[Done] " + std::to_string(result.best.size()) + " placements written to '" + path + "'");
    return 0;
}
