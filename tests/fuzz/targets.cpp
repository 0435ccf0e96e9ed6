#include "targets.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "getpdb.h"
#include "oligomer.h"
#include "parallel.h"
#include "prepare.h"
#include "program.h"
#include "rank.h"
#include "report.h"
#include "run.h"
#include "score.h"

namespace {

std::string text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Splits off the first line.
void first_line(const std::string& all, std::string& line, std::string& rest) {
    std::size_t end = all.find('\n');
    line = all.substr(0, end);
    rest = end == std::string::npos ? std::string() : all.substr(end + 1);
}

void require(bool condition) {
    if (!condition) std::abort();
}

// A 20-residue helix along z, numbered 1 to 20 with 7 repeated, aligned.
const Helix& fixed_helix() {
    static Helix h = [] {
        Helix made;
        made.numResidue = 20;
        for (int k = 0; k < 20; ++k) {
            double a = k * 1.745329;
            made.resNum.push_back(k == 12 ? 7 : k + 1);
            made.coord.push_back({float(2.3 * std::cos(a)), float(2.3 * std::sin(a)), 1.5f * k});
            made.coord.push_back({float(3.4 * std::cos(a)), float(3.4 * std::sin(a)), 1.5f * k + 0.4f});
        }
        made.move_zaxis();
        return made;
    }();
    return h;
}

// The run's globals set up for scoring with the fixed helix.
void use_fixed_helix(const Restraint& restraints, int numProtomer) {
    param = Parameter();
    param.numProtomer = numProtomer;
    helix = fixed_helix();
    helix2 = fixed_helix();
    res = restraints;
}

Restraint fixed_restraints() {
    Restraint r{};
    const char* const lines[] = {"(r 3 a n HA) (r 5 a n HG)", "(r 4 a n HN) (r 8 a n HD2)",
                                 "(r 10 a n HE) (r 6 a n HZ)", "(r 7 a n HB) (r 19 a n HN)"};
    for (const char* l : lines) {
        std::istringstream in(l);
        Parameter p;
        std::string line = l;
        RestraintLine parsed;
        require(parse_restraint_line(line, "x", fixed_helix().resNum, p.pairDistance, p.pairTolerance, parsed).ok());
        int i = r.numRestraint++;
        r.resIndex1[i] = parsed.resIndex1;
        r.resIndex2[i] = parsed.resIndex2;
        std::strcpy(r.atom1[i], parsed.atom1.c_str());
        std::strcpy(r.atom2[i], parsed.atom2.c_str());
        r.lowerBound[i] = parsed.lowerBound;
        r.upperBound[i] = parsed.upperBound;
    }
    return r;
}

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

void fuzz_parameter_file(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(text(data, size));
    Parameter p;
    Status status = parse_param(in, "p", p);
    require(status.ok() || status.message == "[Error] 'p' has a wrong format");
    if (status.ok()) require(p.numProtomer >= 1);
}

void fuzz_helix_files(const std::uint8_t* data, std::size_t size) {
    std::string log, pdb;
    first_line(text(data, size), log, pdb);
    Helix h;
    std::istringstream logIn(log), pdbIn(pdb);
    parse_check_log(logIn, h.numResidue, h.checkAux);
    if (!parse_helix_pdb(pdbIn, "h", h).ok()) return;
    require(static_cast<int>(h.coord.size()) == 2 * h.numResidue);
    require(static_cast<int>(h.resNum.size()) == h.numResidue);
    h.move_zaxis();
}

void fuzz_restraint_file(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(text(data, size));
    Restraint r{};
    Parameter p;
    if (!parse_restraints(in, "n", fixed_helix().resNum, p.pairDistance, p.pairTolerance, r).ok()) return;
    require(r.numRestraint >= 3 && r.numRestraint <= maxRestraint);
    for (int i = 0; i < r.numRestraint; ++i)
        require(r.resIndex1[i] >= 0 && r.resIndex1[i] < 20 && r.resIndex2[i] >= 0 && r.resIndex2[i] < 20);
    use_fixed_helix(r, 4);
    const CandidateRow row{0.3f, 0.2f, 0.1f, 7.0f, 0, 0};
    const Scorer scorer(helix, res, param.numProtomer);
    Scorer::Scratch scratch = scorer.scratch();
    require(same_bits(scorer.score(row, scratch), scoring_function(row)));
}

void fuzz_candidate_file(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(text(data, size));
    CandidateTable table;
    if (!parse_candidates(in, "c", table).ok()) return;
    use_fixed_helix(fixed_restraints(), 2 + static_cast<int>(size % 5));
    const Scorer scorer(helix, res, param.numProtomer);
    Scorer::Scratch scratch = scorer.scratch();
    std::vector<float> scores;
    for (const CandidateRow& row : table) {
        scores.push_back(scorer.score(row, scratch));
        require(same_bits(scores.back(), scoring_function(row)));
    }
    std::vector<float> sorted = scores;
    if (!sorted.empty()) std::qsort(sorted.data(), sorted.size(), sizeof(float), acompare);
    std::vector<int> map = rank_map(scores, sorted);
    std::vector<char> seen(map.size(), 0);
    std::string rewritten;
    for (int row : map) {
        require(row >= 0 && row < static_cast<int>(map.size()) && !seen[row]);
        seen[row] = 1;
        rewritten += candidate_line(table[row]) + "\n";
    }
    std::istringstream again(rewritten);
    CandidateTable reread;
    require(parse_candidates(again, "c", reread).ok() && reread.size() == table.size());
}

void fuzz_template(const std::uint8_t* data, std::size_t size) {
    std::string line, rest;
    first_line(text(data, size), line, rest);
    if (line.size() < 30) return;
    std::istringstream in(rest);
    const Template tmpl = parse_template(in);
    const int protomers = 1 + static_cast<int>(size % 11);
    const std::string pdb = oligomer_pdb(tmpl, parse_candidate_line(line), protomers);
    std::size_t lines = 0;
    for (char c : pdb) lines += c == '\n';
    require(lines == tmpl.lines.size() * protomers + 1);
    require(pdb.size() >= 4 && pdb.compare(pdb.size() - 4, 4, "END\n") == 0);
}

void fuzz_prepare(const std::uint8_t* data, std::size_t size) {
    // The name tells the format, or (for "f") the content does.
    const char* const names[] = {"f", "f.pdb", "f.cif"};
    std::string pdb;
    if (!extract_helix_from_bytes(text(data, size), names[size % 3], HelixChoice(), pdb).ok()) return;
    Helix h;
    count_residues(pdb, h.numResidue, h.checkAux);
    std::istringstream in(pdb);
    require(parse_helix_pdb(in, "h", h).ok());
}
