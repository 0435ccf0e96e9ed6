#include "analysis/assigned_restraints.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "analysis/ensemble.h"  // chain_name
#include "base/text.h"
#include "restraints/origin_file.h"
#include "restraints/proton_names.h"
#include "restraints/to_nef.h"
#include "restraints/to_xplor.h"

namespace {

// The helix's residues (name and atom names) by residue number, in the order of origin.pdb.
struct TemplateResidues {
    std::vector<SequenceResidue> sequence;
    std::map<int, std::vector<std::string>> atoms;

    std::string name(int number) const {
        for (const SequenceResidue& r : sequence)
            if (r.number == number) return r.name;
        return std::string();
    }
    // The amide proton's name as the ensemble writes it: HN when the helix has one, else H.
    std::string amide(int number) const {
        const auto found = atoms.find(number);
        const bool hn = found != atoms.end() && std::count(found->second.begin(), found->second.end(), "HN") > 0;
        return hn ? "HN" : "H";
    }
};

TemplateResidues template_residues(const Template& tmpl) {
    TemplateResidues out;
    for (const std::string& line : tmpl.lines) {
        const int number = to_int(cut(line, 22, 4));
        if (out.sequence.empty() || out.sequence.back().number != number)
            out.sequence.push_back({number, trim_blanks(cut(line, 17, 3))});
        out.atoms[number].push_back(trim_blanks(cut(line, 12, 4)));
    }
    return out;
}

// The proton name the restraint line gives an end (its fifth word, closing
// parenthesis left out), upper case; the run reads its first two letters.
std::string written_name(const std::string& line, int end) {
    std::vector<std::string> words;
    for (std::size_t pos = line.find_first_not_of(" \t\r"); pos != std::string::npos;) {
        const std::size_t stop = line.find_first_of(" \t\r", pos);
        words.push_back(line.substr(pos, stop - pos));
        pos = line.find_first_not_of(" \t\r", stop);
    }
    const std::size_t word = end == 1 ? 4 : 9;
    std::string name = word < words.size() ? words[word] : std::string();
    while (!name.empty() && name.back() == ')') name.pop_back();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

// The atom of an end in the class form: the name as written when it is one
// proton of the residue; else the shortest name for the class's protons.
AssignedAtom end_atom(const TemplateResidues& helix, const std::string& chain, int residue, const std::string& proton,
                      const std::string& written) {
    AssignedAtom a{chain, residue, helix.name(residue), proton == "HN" ? helix.amide(residue) : proton, false};
    const std::vector<std::string>& table = residue_protons(a.residueName);
    const std::vector<std::string>& atoms = helix.atoms.at(residue);
    const bool known = std::find(table.begin(), table.end(), written) != table.end() ||
                       std::find(atoms.begin(), atoms.end(), written) != atoms.end();
    MinimalName minimal;
    if (proton != "HN" && written.compare(0, proton.size(), proton) == 0 && known) a.atomName = written;
    else if (proton != "HN" && minimal_name(a.residueName, proton, minimal))
        a.atomName = minimal.name, a.wildcard = minimal.wildcard;
    else a.wildcard = proton != "HN" && std::find(atoms.begin(), atoms.end(), proton) == atoms.end();
    return a;
}

// An atom the user's list names, on the chain structure 1 puts it: a
// pseudo-atom (QD, QQG, MG2) as the protons it stands for, a name ending in
// a wildcard for digits (HB#, HB%) as its start.
AssignedAtom user_atom(const AtomChoice& c, const std::string& chain, const TemplateResidues& helix) {
    AssignedAtom a{chain, c.firstResidue, helix.name(c.firstResidue), c.name, false};
    const std::size_t letters = c.name.find_first_not_of("QM");
    if (letters != 0 && letters != std::string::npos) {
        a.atomName = "H" + c.name.substr(letters);
        a.wildcard = true;
    } else if (!c.name.empty() && (c.name.back() == '#' || c.name.back() == '%')) {
        a.atomName.pop_back();
        a.wildcard = true;
    } else if (c.name == "H" || c.name == "HN") {
        a.atomName = helix.amide(c.firstResidue);
    }
    return a;
}

std::vector<AssignedAtom> user_end(const RestraintEnd& end, const std::string& chain, const TemplateResidues& helix) {
    std::vector<AssignedAtom> out;
    for (const AtomChoice& c : end.choices) {
        const AssignedAtom a = user_atom(c, chain, helix);
        const bool seen = std::any_of(out.begin(), out.end(), [&a](const AssignedAtom& b) {
            return b.residue == a.residue && b.atomName == a.atomName && b.wildcard == a.wildcard;
        });
        if (!seen) out.push_back(a);
    }
    return out;
}

}  // namespace

AssignedFiles assigned_restraint_files(const RunData& run, const std::vector<RestraintCheck>& structure1,
                                       const std::string& version, const std::string& date) {
    const Restraint& res = *run.res;
    const int n = run.param.numProtomer;
    const TemplateResidues helix = template_residues(run.tmpl);
    const std::string& noeFile = run.param.noeFile;
    std::string noeText;
    RestraintOrigin origin;
    AssignedFiles files;
    Status given = read_whole(noeFile, noeText) ? read_origin(noeFile, noeText, origin)
                                                : Status::error("'" + noeFile + "' could not be read again");
    if (!given.ok() && given.message.find("is missing") == std::string::npos)
        files.note = "Warning: assigned.tbl and assigned.nef give the class form: " + given.message;
    const bool user = given.ok() && origin.restraints.size() >= static_cast<std::size_t>(res.numRestraint);
    std::vector<AssignedRestraint> out;
    for (int i = 0; i < res.numRestraint; ++i) {
        std::string line = i < static_cast<int>(run.restraintLines.size()) ? run.restraintLines[i] : std::string();
        for (char& c : line)
            if (c == '\r' || c == '\t') c = ' ';
        const int step = structure1[i].neighbour == 2 ? 1 : n - 1;
        const int c = res.pairClass[i];
        const std::string bounds = decimals(res.lowerBound[i], 3) + "-" + decimals(res.upperBound[i], 3);
        for (int p = 0; p < n; ++p) {
            const std::string chain1 = chain_name(p), chain2 = chain_name((p + step) % n);
            AssignedRestraint r;
            r.comment = "line " + std::to_string(i + 1) + ": " + trim_blanks(line);
            if (user) {
                const InputRestraint& u = origin.restraints[i];
                r.comment.insert(r.comment.find(':'), " of '" + noeFile + "'");
                r.comment = u.origin + " of '" + origin.source + "', " + r.comment +
                            "; noebundle scored it with the class bounds " + bounds;
                r.end1 = user_end(u.end1, chain1, helix);
                r.end2 = user_end(u.end2, chain2, helix);
                r.hasTarget = u.hasTarget, r.hasLower = u.hasLower && u.lower > 0;  // a lower bound of 0: none
                r.distance = u.target, r.lower = u.lower, r.upper = u.hasUpper ? u.upper : u.target;
                r.terms = u.terms;
            } else {
                const int r1 = run.helix.resNum[res.resIndex1[i]], r2 = run.helix.resNum[res.resIndex2[i]];
                r.end1 = {end_atom(helix, chain1, r1, res.proton1[i], written_name(line, 1))};
                r.end2 = {end_atom(helix, chain2, r2, res.proton2[i], written_name(line, 2))};
                r.distance = run.param.pairDistance[c];
                r.lower = res.lowerBound[i];
                r.upper = res.upperBound[i];
                r.hasTarget = r.hasLower = r.lower > 0;
            }
            out.push_back(r);
        }
    }
    const std::string source = user ? "The restraints of '" + origin.source + "' (" + origin.format +
                                          "), converted to '" + noeFile + "',"
                                    : "The restraints of '" + noeFile + "'";
    std::vector<std::string> heading = {
        "Written by noebundle-analyze. " + source + " as structure 1 of '" + run.candidatePath + "' assigns them,",
        "each once for every pair of neighbouring protomers it joins, chains as in ensemble.pdb.",
        user ? "Atoms and distances as the list gives them; each comment names the class bounds noebundle scored with."
             : "Bounds: the class bounds noebundle scores with (CA-CA, CA-CB or CB-CB stand-in atoms), in Angstrom."};
    if (!user && !files.note.empty()) heading.push_back(files.note.substr(9));
    if (!user && !given.ok() && files.note.empty())
        heading.push_back("No origin file '" + origin_path(noeFile) + "' (noebundle-restraints --out writes one " +
                          "beside a restraint file it converts): the class form.");
    files.xplor = xplor_table(out, heading);
    NefContent nef{run.param.proteinName.empty() ? "noebundle" : run.param.proteinName, "noebundle-analyze",
                   version, date, {}, helix.sequence, heading};
    for (int p = 0; p < n; ++p) nef.chains.push_back(chain_name(p));
    files.nef = nef_file(nef, out);
    return files;
}
