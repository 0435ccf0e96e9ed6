// noebundle-restraints: converts a restraint list as structure calculations
// write it (XPLOR/CNS or NEF) into noebundle's restraint file, and accounts
// for every restraint, kept or dropped, before anything else it prints.
#include <filesystem>
#include <string>
#include <vector>


#include "formats/prepare.h"
#include "shell/command_line.h"
#include "shell/program.h"
#include "restraints/origin_file.h"
#include "restraints/restraint_convert.h"
#include "restraints/restraint_report.h"
#include "base/text.h"

namespace {

struct Parameters {
    std::string input, out, helix, chains, residues, noeModel = "window";
    bool verbose = false;
};

// The residue numbers of the helix in a structure file (its first chain, as noebundle-search takes it).
Status helix_residues(const std::string& path, std::vector<int>& residues) {
    std::string pdbText;
    Status s = extract_helix(path, HelixChoice(), pdbText);
    for (std::size_t pos = 0; s.ok() && pos < pdbText.size();) {
        std::size_t end = pdbText.find('\n', pos);
        const std::string line = pdbText.substr(pos, end - pos);
        pos = end == std::string::npos ? pdbText.size() : end + 1;
        if (line.compare(0, 4, "ATOM") != 0) continue;
        const int number = to_int(cut(line, 22, 4));
        if (residues.empty() || residues.back() != number) residues.push_back(number);
    }
    return s;
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

Status convert(const Parameters& p) {
    ConvertOptions options;
    if (!p.chains.empty()) {
        const std::size_t comma = p.chains.find(',');
        options.chain1 = p.chains.substr(0, comma);
        options.chain2 = comma == std::string::npos ? std::string() : p.chains.substr(comma + 1);
        if (options.chain1.empty() || options.chain2.empty() || options.chain2.find(',') != std::string::npos ||
            options.chain1 == options.chain2)
            return Status::error("[Error] --chains needs two different chain names, as in A,B");
    }
    if (!p.residues.empty()) {
        options.useRange = true;
        if (!parse_range(p.residues, options.firstResidue, options.lastResidue))
            return Status::error("[Error] --residues needs FIRST-LAST, the first not above the last: " + p.residues);
    }
    if (!p.helix.empty()) {
        options.useHelix = true;
        Status s = helix_residues(p.helix, options.helixResidues);
        if (!s.ok()) return s;
    }
    const std::string origin = origin_path(p.out);
    if (!p.out.empty() && (same_file(p.out, p.input) || same_file(origin, p.input) ||
                           (!p.helix.empty() && (same_file(p.out, p.helix) || same_file(origin, p.helix)))))
        return Status::error("[Error] --out '" + p.out + "' is an input; the output needs another name");
    options.most = most_restraints(p.noeModel == "window" ? NoeModel::window : NoeModel::upper);
    Conversion c;
    Status s = convert_restraints(p.input, options, c);
    if (!s.ok()) return s;
    // The accounting comes first, whatever follows.
    const std::string summary = conversion_summary(c);
    if (!print_line(summary.substr(0, summary.size() - 1))) return Status::error(stdoutFailure);
    s = check_kept_count(c, options);
    const std::string suggestion = p.noeModel == "window" ? model_suggestion(c) : "";
    if (!s.ok()) {
        const std::string dropped = dropped_details(c, true);
        if (p.verbose) print_line(dropped.substr(0, dropped.size() - 1));
        if (!suggestion.empty()) print_line(suggestion);
        return s;
    }
    const std::string details = conversion_details(c, p.verbose);
    print_line(details.substr(0, details.size() - 1));
    const std::string kept = std::to_string(c.kept.size()) + " restraints";
    if (!suggestion.empty()) print_line(suggestion);
    if (p.out.empty()) {
        print_line("[Done] " + kept + " kept; --out FILE writes them");
        return Status::fine();
    }
    // The origin first: a restraint file without its own origin is told apart by the checksum.
    const std::string text = restraint_file_text(c);
    if (!replace_file(origin, origin_text(c, text, origin), true)) return Status::error(cannot_open(origin));
    if (!replace_file(p.out, text, true)) return Status::error(cannot_open(p.out));
    print_line("[Done] " + kept + " written to '" + p.out + "', their origin to '" + origin + "'");
    return Status::fine();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Converts XPLOR/CNS or NEF distance restraints into noebundle's restraint file;\n"
                 "restraints between two different chains are kept, every other one is reported with its reason.",
                 "noebundle-restraints");
    Parameters p;
    app.add_option("INPUT", p.input, "XPLOR/CNS table or NEF file (told apart by the content)")->required()->type_name("PATH");
    app.add_option("--out", p.out, "write the restraint file here (replaced as a whole)")->type_name("PATH");
    app.add_option("--helix", p.helix, "PDB or mmCIF file of the helix: drop residues it lacks")->type_name("PATH");
    app.add_option("--chains", p.chains, "keep only restraints between these two chains, as in A,B")->type_name("A,B");
    app.add_option("--residues", p.residues, "keep only restraints between residues FIRST to LAST, as in 5-30")->type_name("FIRST-LAST");
    app.add_option("--noe-model", p.noeModel,
                   "the run's noeModel: window (default) takes at most " + std::to_string(maxRestraint) +
                       " restraints, upper and reach " + std::to_string(maxUpperRestraint))
        ->check(CLI::IsMember({"window", "upper", "reach"}));
    app.add_flag("--verbose", p.verbose, "list every dropped restraint (default: the first 10 of each reason)");
    app.set_version_flag("--version", std::string("noebundle-restraints ") + NOEBUNDLE_VERSION);
    if (!parse_command_line(app, argc, argv)) return 0;
    check(convert(p));
    return 0;
}
