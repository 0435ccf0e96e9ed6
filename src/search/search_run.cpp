#include "search/search_run.h"

#include <chrono>
#include <filesystem>
#include <sstream>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

#include "formats/helix.h"
#include "formats/verdict_line.h"
#include "safety/interrupt.h"
#include "search/landscape.h"
#include "search/bundle_words.h"
#include "search/helix_search.h"
#include "model/helix_builder.h"
#include "formats/prepare.h"
#include "safety/progress.h"
#include "restraints/origin_file.h"
#include "restraints/restraint_convert.h"
#include "restraints/restraint_report.h"
#include "formats/restraint.h"
#include "run/run.h"
#include "base/text.h"
#include "safety/workdir.h"

namespace {

using Named = std::vector<std::pair<std::string, std::string>>;  // path, its role

// The same file whatever the path: device and inode when it is there.
std::string file_key(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return "@" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    return full_path(path);
}

// No file may play two parts: --map over the restraints, pdbFile on --from, ...
Status distinct_files(const Named& files) {
    for (std::size_t j = 1; j < files.size(); ++j)
        for (std::size_t i = 0; i < j; ++i)
            if (file_key(files[i].first) == file_key(files[j].first))
                return Status::error("[Error] '" + files[j].first + "' is both " + files[j].second + " and " +
                                     files[i].second + "; give them different names");
    return Status::fine();
}

// PDB text as the helix reader sees it: blanks and carriage returns at line
// ends and blank lines at the end do not count.
std::string normalized(const std::string& text) {
    std::istringstream in(text);
    std::string out;
    for (std::string line; std::getline(in, line);) out += line.substr(0, line.find_last_not_of(" \r") + 1) + "\n";
    while (out.size() >= 2 && out.compare(out.size() - 2, 2, "\n\n") == 0) out.pop_back();
    return out;
}

Status claim_helix(const Parameter& param, OutputSet& outputs, std::string& pdbText);

// The helix text: built from --sequence or taken from --from (claiming
// pdbFile unless it holds the same helix), or pdbFile as it is.
Status helix_text(const SearchOptions& o, const SearchSettings& s, const Parameter& param, OutputSet& outputs,
                  std::string& pdbText, std::string& built, PreparationNotes& notes) {
    if (o.hasSequence) {
        const std::vector<BuiltAtom> atoms = build_ideal_helix(o.sequence, static_cast<int>(s.first));
        pdbText = helix_pdb_text(atoms);
        built = "Built an ideal alpha-helix of " + std::to_string(o.sequence.size()) + " residues (" +
                std::to_string(atoms.size()) + " atoms, residues " + std::to_string(s.first) + " to " +
                std::to_string(s.first + long(o.sequence.size()) - 1) + " of chain A)";
    } else if (o.from.empty()) {
        if (!read_whole(param.pdbFile, pdbText)) return Status::error(cannot_open(param.pdbFile));
        return one_copy_of_each_chain(pdbText, param.pdbFile, "pdbFile");
    } else {
        Status status = extract_helix(o.from, s.choice, pdbText, &notes);
        if (!status.ok()) return status;
        if (o.chain.empty() && notes.sameSequenceChains > 1)
            return Status::error("[Error] Model " + std::to_string(s.choice.model) + " of '" + o.from + "' has " +
                                 std::to_string(notes.sameSequenceChains) + " chains of one sequence (" +
                                 notes.sameSequenceNames + "); choose the helix with --chain");
    }
    // The supercoiled helix is known only after the search: claimed then.
    return o.supercoil ? Status::fine() : claim_helix(param, outputs, pdbText);
}

// pdbFile for the helix, unless it already holds the same helix (then its
// own text is kept).
Status claim_helix(const Parameter& param, OutputSet& outputs, std::string& pdbText) {
    std::string existing;
    struct stat st;
    if (::stat(param.pdbFile.c_str(), &st) == 0 && S_ISREG(st.st_mode) && read_whole(param.pdbFile, existing) &&
        normalized(existing) == normalized(pdbText)) {
        pdbText = existing;  // the same helix: left as it is
        return Status::fine();
    }
    return outputs.claim(param.pdbFile, "the helix (pdbFile)", OutputSet::Owner::never,
                         "[Error] '" + param.pdbFile + "' already holds a different helix; --force replaces it");
}

// With --restraints: the input converted to the restraint file's text for the
// residues of the helix, claiming noeFile unless it already holds that text.
Status converted_restraints(const SearchOptions& o, const Parameter& param, const Helix& helix, OutputSet& outputs,
                            std::string& noeText, std::string& originText, std::string& report) {
    ConvertOptions options;
    options.useHelix = true;
    options.helixResidues = helix.resNum;
    options.most = most_restraints(param.noeModel);
    Conversion conversion;
    Status status = convert_restraints(o.restraints, options, conversion);
    if (!status.ok()) return status;
    report = conversion_summary(conversion);  // shown even when the count fails, with the dropped ones
    if (!(status = check_kept_count(conversion, options)).ok()) {
        report += dropped_details(conversion, false);
        return status;
    }
    report += conversion_details(conversion, false);
    noeText = restraint_file_text(conversion);
    const std::string originPath = origin_path(param.noeFile);
    originText = origin_text(conversion, noeText, originPath);
    std::string existing;
    if (!(read_whole(originPath, existing) && existing == originText) &&
        !(status = outputs.claim(originPath, "the restraints' origin file", OutputSet::Owner::byRecord)).ok())
        return status;
    if (read_whole(param.noeFile, existing) && existing == noeText) return Status::fine();
    return outputs.claim(param.noeFile, "the restraint file (noeFile)", OutputSet::Owner::byRecord);
}

}  // namespace

Status run_search(const SearchOptions& given, SearchOutcome& out) {
    install_interrupt_cleanup();
    SearchOptions o = given;
    o.refine = o.refine || built_search(o);
    o.supercoil = o.supercoil || built_search(o);
    out.plan = built_search_line(o);
    Parameter param;
    SearchSettings s;
    Status status = load_param(o.paramFile, param);
    if (status.ok()) out.model = noe_model_line(param.noeModel);
    if (status.ok()) status = settle_search(o, param, s);
    WorkLock lock;
    if (status.ok()) status = lock_work_folder(param.workDir, lock);
    if (!status.ok()) return status;
    remove_dead_run_temporaries(param);
    const std::string check = param.workDir + "/check_pdb.log", origin = param.workDir + "/origin.pdb";
    const std::string record = record_path(param);
    out.candidatePath = candidate_path(param);
    out.logPath = param.logFile;
    const std::string allowedPath = allowed_set_path(param);
    Named files = {{o.paramFile, "the parameter file"}, {param.noeFile, "the restraint file (noeFile)"}};
    if (!o.from.empty()) files.push_back({o.from, "the --from file"});
    if (!o.restraints.empty()) {
        files.insert(files.end(), {{o.restraints, "the --restraints file"},
                                   {origin_path(param.noeFile), "the restraints' origin file"}});
        // What a killed conversion left of the restraint file and its origin.
        const std::filesystem::path noe(param.noeFile), noeOrigin(origin_path(param.noeFile));
        remove_dead_temporaries(noe.parent_path().string(),
                                [&](const std::string& n) { return n == noe.filename() || n == noeOrigin.filename(); });
    }
    files.insert(files.end(), {{param.pdbFile, "the helix (pdbFile)"}, {check, "check_pdb.log"},
                               {origin, "origin.pdb"}, {out.candidatePath, "the candidate file"},
                               {allowedPath, "the allowed set"}, {param.logFile, "the run's log"}, {record, "the search's record"}});
    if (!o.map.empty()) {
        files.push_back({o.map, "the --map picture"});
        const std::filesystem::path map(o.map);
        remove_dead_temporaries(map.parent_path().string(), [&](const std::string& n) { return n == map.filename(); });
    }
    if (!(status = distinct_files(files)).ok()) return status;

    OutputRecord own(param.workDir);
    std::string recorded;
    if (read_whole(record, recorded)) own.parse(recorded);
    OutputSet outputs(o.force, own);
    std::string pdbText;
    HelixSearch searched;  // the helix read once: for the restraints' residues, then searched
    const Helix& helix = searched.helix;
    Restraint res{};
    out.numProtomer = param.numProtomer;
    status = helix_text(o, s, param, outputs, pdbText, out.built, out.prepared);
    if (status.ok()) status = prepare_helix(pdbText, param.pdbFile, searched);
    std::string noeText, noeOrigin;
    if (status.ok() && !o.restraints.empty()) {
        status = converted_restraints(o, param, helix, outputs, noeText, noeOrigin, out.conversion);
        std::istringstream in(noeText);
        if (status.ok())
            status = parse_restraints(in, param.noeFile, helix.resNum, param.pairDistance, param.pairTolerance, res,
                                      most_restraints(param.noeModel));
    } else if (status.ok()) {
        status = load_restraints(param.noeFile, helix.resNum, param.pairDistance, param.pairTolerance, res,
                                 most_restraints(param.noeModel));
    }
    apply_noe_model(param.noeModel, residue_names(helix), res);
    const std::string checkText = std::to_string(helix.numResidue) + "\n" + std::to_string(helix.checkAux) + "\n";
    std::string existing;
    for (const auto& [path, role] : Named{{out.candidatePath, "the candidate file"}, {allowedPath, "the allowed set"},
                                          {check, "check_pdb.log"},
                                          {origin, "origin.pdb"}, {o.map, "the --map picture"}}) {
        // A file that already holds what the search would write stays as it is.
        const bool same = (path == check || path == origin) && read_whole(path, existing) &&
                          existing == (path == check ? checkText : searched.originText);
        if (status.ok() && !path.empty() && !same) status = outputs.claim(path, role, OutputSet::Owner::byRecord);
    }
    if (status.ok()) status = outputs.claim(record, "the search's record", OutputSet::Owner::always);
    if (!status.ok()) return status;

    out.grid = make_grid(s.angleStep, s.rBeg, s.rEnd, s.rStep);
    ProgressBar bar(::isatty(2) == 1);
    const Progress progress = [&bar](std::uint64_t done, std::uint64_t total) { bar.update(done, total); };
    const auto start = std::chrono::steady_clock::now();
    search_helix(res, param.numProtomer, out.grid, s, o.refine, progress, searched);
    if (o.supercoil) {
        const HelixSearch straight = std::move(searched);
        status = supercoil_search(straight, param.pdbFile, res, param.numProtomer, out.grid, s, o.refine, progress,
                                  searched, out.supercoil);
        if (status.ok()) status = claim_helix(param, outputs, searched.pdbText);
    }
    bar.finish();
    if (status.ok() && searched.result.packed && searched.result.allowed.empty())
        status = no_bundle_error(searched.helix, param.numProtomer, s.rEnd);
    if (!status.ok()) return status;
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out.result = std::move(searched.result);
    out.allowed = std::move(searched.allowed);
    pdbText = searched.pdbText;
    const std::string& originText = searched.originText;
    out.angleStep = s.angleStep;
    if (!out.result.rows.empty()) {  // the best placed as noebundle writes structure 1
        std::istringstream in(originText);
        const Template tmpl = parse_template(in);
        const Oligomer best = place_oligomer(tmpl.points, out.result.rows.front(), param.numProtomer);
        out.geometry = geometry_words(oligomer_geometry(tmpl, best));
        out.interface = interface_words(tmpl, best);
        std::vector<double> crossing;  // of each cluster's representative
        for (const AllowedCluster& c : out.allowed.clusters)
            crossing.push_back(oligomer_geometry(tmpl, place_oligomer(tmpl.points, c.row, param.numProtomer)).crossingAngle);
        out.verdict = verdict_line(out.allowed, crossing);
    }

    std::string candidates;
    for (const CandidateRow& row : out.result.rows) candidates += candidate_line(row) + "\n";
    const std::vector<std::pair<std::string, std::string>> written = {
        {param.pdbFile, pdbText},
        {o.restraints.empty() ? "" : param.noeFile, noeText},
        {o.restraints.empty() ? "" : origin_path(param.noeFile), noeOrigin},
        {check, checkText},
        {origin, originText},
        {out.candidatePath, candidates},
        {allowedPath, allowed_set_text(out.allowed)},
        {o.map, o.map.empty() ? "" : landscape_svg(out.grid, out.result)}};
    for (const auto& [path, content] : written) {
        if (path.empty()) continue;
        if (path != param.pdbFile) own.set(path, content);
        outputs.fill(path, content);
    }
    outputs.fill(record, own.text());
    status = outputs.commit();
    out.backups = outputs.backups();
    return status;
}
