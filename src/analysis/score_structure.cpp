#include "analysis/score_structure.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include <gemmi/gz.hpp>
#include <gemmi/mmread.hpp>
#include <gemmi/modify.hpp>

#include "analysis/analysis_report.h"
#include "analysis/reference.h"
#include "run/superpose.h"
#include "formats/side_chain_point.h"

namespace {

using Points = std::vector<Point>;

std::string joined(const std::vector<std::string>& names, const std::string& separator) {
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : separator) + name;
    return out;
}

bool has_ca(const gemmi::Chain& chain) {
    for (const gemmi::Residue& r : chain.residues)
        for (const gemmi::Atom& a : r.atoms)
            if (a.name == "CA" && a.element == gemmi::El::C) return true;
    return false;
}

// The chains to score in ring order: those asked for, or those with CA atoms.
Status choose_chains(const gemmi::Model& model, const std::string& where, const std::vector<std::string>& asked, int n,
                     std::vector<std::string>& names) {
    names.clear();
    for (const std::string& name : asked) {
        if (model.find_chain(name) == nullptr) return Status::error("[Error] Chain " + name + " is not in " + where);
        if (std::find(names.begin(), names.end(), name) != names.end())
            return Status::error("[Error] --chains names chain " + name + " twice");
        names.push_back(name);
    }
    if (asked.empty())
        for (const gemmi::Chain& c : model.chains)
            if (has_ca(c) && std::find(names.begin(), names.end(), c.name) == names.end()) names.push_back(c.name);
    if (static_cast<int>(names.size()) == n) return Status::fine();
    const std::string count = std::to_string(names.size()) + (names.size() == 1 ? " chain" : " chains");
    return Status::error(asked.empty() ? "[Error] M" + where.substr(1) + " has " + count + " with CA atoms (" + joined(names, ", ") +
                                             "); the run has " + std::to_string(n) + " protomers: name them with --chains"
                                       : "[Error] --chains names " + count + "; the run has " + std::to_string(n) + " protomers");
}

Point point(const gemmi::Atom& a) {
    return {static_cast<float>(a.pos.x), static_cast<float>(a.pos.y), static_cast<float>(a.pos.z)};
}

// The run's stand-in points in one chain: the CA of helix position k at 2k,
// its CB (or a glycine's HA2) at 2k + 1.
Status chain_points(gemmi::Chain& chain, const std::string& where, const Helix& helix, Points& points,
                    std::vector<std::string>& notes) {
    gemmi::remove_alternative_conformations(chain);
    const std::vector<std::string> names = residue_names(helix);
    points.assign(helix.numPoint(), Point{0, 0, 0});
    const std::string inChain = " of chain " + chain.name + " in " + where;
    for (int k = 0; k < helix.numResidue; ++k) {
        const int number = helix.resNum[k];
        const std::string residue = names[k] + " " + std::to_string(number);
        gemmi::Residue* r = nullptr;
        for (gemmi::Residue& candidate : chain.residues)
            if (r == nullptr && candidate.seqid.num.has_value() && candidate.seqid.num.value == number &&
                candidate.seqid.icode == ' ')
                r = &candidate;
        if (r == nullptr)
            return Status::error("[Error] Chain " + chain.name + " of " + where + " lacks residue " + residue +
                                 " of the run's helix (residues " + std::to_string(helix.resNum.front()) + "-" +
                                 std::to_string(helix.resNum.back()) + ")");
        if (r->name != names[k])
            return Status::error("[Error] Residue " + std::to_string(number) + inChain + " is " + r->name +
                                 " where the run's helix has " + names[k] + ": a structure of another sequence");
        std::string problem;
        const std::string done = complete_side_chain_point(*r, problem);
        const gemmi::Atom* ca = r->find_atom("CA", '*');
        const gemmi::Atom* side = r->find_atom("CB", '*');
        if (side == nullptr) side = r->find_atom("HA2", '*');
        if (problem.empty() && ca == nullptr) problem = " has no CA";
        if (problem.empty() && side == nullptr) problem = " has neither CB nor HA2";
        if (!problem.empty()) return Status::error("[Error] Residue " + residue + inChain + problem);
        points[2 * k] = point(*ca);
        points[2 * k + 1] = point(*side);
        if (!done.empty()) notes.push_back("Chain " + chain.name + " of " + where + ": " + done);
    }
    return Status::fine();
}

// Whether turning the first chain onto the second is clockwise seen from
// +z: the rotation axis oriented as the run orients the helix (the mean of
// its first four CA minus that of its last four points up in the run's frame).
bool turns_clockwise(const Superposition& s, const Points& first, const Helix& aligned) {
    const auto& r = s.rotation;
    const double trace = r[0][0] + r[1][1] + r[2][2];
    double axis[3] = {0, 0, 0}, best = -1;  // a column of R + R^T - (trace - 1) I, which is 2 (1 - cos) u u^T
    for (int j = 0; j < 3; ++j) {
        double column[3], norm = 0;
        for (int i = 0; i < 3; ++i) norm += std::pow(column[i] = r[i][j] + r[j][i] - (i == j ? trace - 1 : 0), 2);
        if (norm > best) best = norm, std::copy(column, column + 3, axis);
    }
    const int n = aligned.numResidue;
    double up[3] = {0, 0, 0}, upInRun = 0;
    for (int k = 0; k < 4; ++k) {
        const Point a = first[2 * k], b = first[2 * (n - 1 - k)];
        up[0] += a.x - b.x, up[1] += a.y - b.y, up[2] += a.z - b.z;
        upInRun += aligned.coord[2 * k].z - aligned.coord[2 * (n - 1 - k)].z;
    }
    const double side = (upInRun < 0 ? -1 : 1) * (axis[0] * up[0] + axis[1] * up[1] + axis[2] * up[2]);
    const double sine = (r[2][1] - r[1][2]) * axis[0] + (r[0][2] - r[2][0]) * axis[1] + (r[1][0] - r[0][1]) * axis[2];
    return (side < 0 ? -sine : sine) < 0;  // a right-handed turn about +z is counter-clockwise seen from +z
}

// The chains as symmetric copies in ring order; which way the ring runs.
Status check_symmetry(const std::vector<Points>& points, const std::vector<std::string>& chains, const std::string& where,
                      const Helix& aligned, ScoredStructure& out) {
    const int n = static_cast<int>(points.size());
    out.protomerChains = chains;
    if (n < 2) return Status::fine();
    Points ring, next;  // the CA atoms of every chain, and of the chain after it
    for (int c = 0; c < n; ++c)
        for (std::size_t i = 0; i < points[c].size(); i += 2) {
            ring.push_back(points[c][i]);
            next.push_back(points[(c + 1) % n][i]);
        }
    const Superposition step = superpose(next, ring);
    out.symmetryRmsd = step.rmsd;
    if (!(step.rmsd <= symmetryTolerance))
        return Status::error("[Error] Chains " + joined(chains, ",") + " of " + where +
                             " are not symmetric copies in this order: the motion that best puts each chain on the next"
                             " leaves a CA RMSD of " + decimals3(step.rmsd) + ", more than " + decimals3(symmetryTolerance) +
                             " Angstrom; give the chains in ring order with --chains");
    const auto& r = step.rotation;
    const double turn = std::acos(std::max(-1.0, std::min(1.0, (r[0][0] + r[1][1] + r[2][2] - 1) / 2)));
    const double pi = std::acos(-1.0);
    if (std::fabs(turn - 2 * pi / n) > pi / n)
        return Status::error("[Error] Chain " + chains[1] + " of " + where + " lies " + decimals3(turn * 180 / pi) +
                             " degrees round the axis from chain " + chains[0] + ", not " +
                             decimals3(360.0 / n) + ": give the chains in ring order with --chains");
    if (n > 2 && !turns_clockwise(step, points[0], aligned))
        std::reverse(out.protomerChains.begin() + 1, out.protomerChains.end());
    return Status::fine();
}

}  // namespace

Status score_structure(const std::string& path, const std::vector<std::string>& chains, int model, const RunData& run,
                       ScoredStructure& out) {
    gemmi::Structure st;
    const Status read = read_structure_model(path, model, st);
    if (!read.ok()) return read;
    gemmi::Model& m = st.models[model - 1];
    const std::string where = "model " + std::to_string(model) + " of '" + path + "'";
    const int n = run.param.numProtomer;
    std::vector<std::string> names;
    Status status = choose_chains(m, where, chains, n, names);
    std::vector<Points> points(names.size());
    for (std::size_t c = 0; c < names.size() && status.ok(); ++c)
        status = chain_points(*m.find_chain(names[c]), where, run.helix, points[c], out.notes);
    if (status.ok()) status = check_symmetry(points, names, where, run.helix, out);
    if (!status.ok()) return status;
    const std::size_t second = std::find(names.begin(), names.end(), out.protomerChains[n > 1 ? 1 : 0]) - names.begin();
    const PlacedPair placed{points[0], points[second]};
    out.delta = placement_delta(*run.res, placed);
    out.checks = check_restraints(*run.res, placed, n);
    return Status::fine();
}

std::string score_csv(const ScoredStructure& s, const std::string& path, int model, float threshold) {
    std::string quoted = "\"";
    for (char c : path) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    const ViolationCount count = count_violations(s.checks, threshold);
    return "file,model,chains,symmetry_rmsd,delta,violated_over_threshold,violation_threshold,largest_violation\n" +
           quoted + "\"," + std::to_string(model) + ",\"" + joined(s.protomerChains, ",") + "\"," +
           decimals3(s.symmetryRmsd) + "," + decimals3(s.delta) + "," + std::to_string(count.violated) + "," +
           decimals3(threshold) + "," + decimals3(count.largest) + "\n";
}

std::vector<std::string> score_lines(const ScoredStructure& s, const std::string& path, int model,
                                     const RestraintNames& names, const std::vector<float>& rankedDeltas) {
    const ViolationCount count = count_violations(s.checks, names.threshold);
    std::vector<std::string> protomers;
    for (std::size_t p = 1; p <= s.protomerChains.size(); ++p) protomers.push_back(std::to_string(p));
    std::vector<std::string> out = s.notes;
    out.push_back("Score of '" + path + "', model " + std::to_string(model) + ": Delta " + decimals3(s.delta) + ", " +
                  std::to_string(count.violated) + " violated by more than " + threshold_words(names.threshold) +
                  ", largest " + decimals3(count.largest) + " Å");
    out.push_back("  protomers " + joined(protomers, ",") + " on chains " +
                  joined(s.protomerChains, ",") + " (protomer 2 one step clockwise seen from +z); copies within " +
                  decimals3(s.symmetryRmsd) + " Å CA RMSD");
    int asGood = 0;
    for (float d : rankedDeltas) asGood += d <= s.delta || fequal(d, s.delta) ? 1 : 0;
    out.push_back("  ranked structures scoring as well or better: " + std::to_string(asGood) + " of " +
                  std::to_string(rankedDeltas.size()) + " (structure 1: Delta " + decimals3(rankedDeltas.front()) + ")");
    for (const std::string& line : violation_table(s.checks, names)) out.push_back(line);
    return out;
}
