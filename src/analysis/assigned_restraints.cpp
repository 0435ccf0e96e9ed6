#include "analysis/assigned_restraints.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "analysis/ensemble.h"  // chain_name
#include "base/text.h"
#include "restraints/to_nef.h"
#include "restraints/to_xplor.h"

namespace {

// The helix's residues (name and atom names) by residue number, in the order of origin.pdb.
struct TemplateResidues {
    std::vector<SequenceResidue> sequence;
    std::map<int, std::vector<std::string>> atoms;
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

// The atom of an end: the name as written when the helix has that atom;
// else the protons that go on with more digits (HB: HB2, HB3); amide HN.
AssignedAtom end_atom(const TemplateResidues& helix, const std::string& chain, int residue, const std::string& proton,
                      const std::string& written) {
    AssignedAtom a;
    a.chain = chain;
    a.residue = residue;
    for (const SequenceResidue& r : helix.sequence)
        if (r.number == residue) a.residueName = r.name;
    if (proton == "HN") {
        a.atomName = "HN";
        return a;
    }
    a.atomName = written.compare(0, proton.size(), proton) == 0 ? written : proton;
    const std::vector<std::string>& atoms = helix.atoms.at(residue);
    a.wildcard = std::find(atoms.begin(), atoms.end(), a.atomName) == atoms.end();
    return a;
}

}  // namespace

AssignedFiles assigned_restraint_files(const RunData& run, const std::vector<RestraintCheck>& structure1,
                                       const std::string& version) {
    const Restraint& res = *run.res;
    const int n = run.param.numProtomer;
    const TemplateResidues helix = template_residues(run.tmpl);
    std::vector<AssignedRestraint> out;
    for (int i = 0; i < res.numRestraint; ++i) {
        std::string line = i < static_cast<int>(run.restraintLines.size()) ? run.restraintLines[i] : std::string();
        for (char& c : line)
            if (c == '\r' || c == '\t') c = ' ';
        const int step = structure1[i].neighbour == 2 ? 1 : n - 1;
        const int c = res.pairClass[i];
        for (int p = 0; p < n; ++p) {
            AssignedRestraint r;
            r.comment = "line " + std::to_string(i + 1) + ": " + trim_blanks(line);
            const int r1 = run.helix.resNum[res.resIndex1[i]], r2 = run.helix.resNum[res.resIndex2[i]];
            r.end1 = end_atom(helix, chain_name(p), r1, res.proton1[i], written_name(line, 1));
            r.end2 = end_atom(helix, chain_name((p + step) % n), r2, res.proton2[i], written_name(line, 2));
            r.distance = run.param.pairDistance[c];
            r.lower = res.lowerBound[i];
            r.upper = res.upperBound[i];
            out.push_back(r);
        }
    }
    const std::string origin = "The restraints of '" + run.param.noeFile + "' as structure 1 of '" + run.candidatePath +
                               "' assigns them,";
    const std::vector<std::string> heading = {
        "Written by noebundle-analyze. " + origin,
        "each once for every pair of neighbouring protomers it joins, chains as in ensemble.pdb.",
        "Bounds: the class bounds noebundle scores with (CA-CA, CA-CB or CB-CB stand-in atoms), in Angstrom."};
    AssignedFiles files;
    files.xplor = xplor_table(out, heading);
    NefContent nef{run.param.proteinName.empty() ? "noebundle" : run.param.proteinName, "noebundle-analyze",
                   version, {}, helix.sequence, heading};
    for (int p = 0; p < n; ++p) nef.chains.push_back(chain_name(p));
    files.nef = nef_file(nef, out);
    return files;
}
