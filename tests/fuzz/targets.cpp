#include "targets.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "formats/allowed_set.h"
#include "run/oligomer.h"
#include "formats/parameter.h"
#include "run/parallel.h"
#include "formats/prepare.h"
#include "shell/program.h"
#include "run/rank.h"
#include "run/score.h"
#include "restraints/nef.h"
#include "restraints/restraint_report.h"
#include "restraints/xplor.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// The bytes as text, and split at the first line feed.
std::string text(const std::uint8_t* data, std::size_t size) { return std::string(reinterpret_cast<const char*>(data), size); }
std::string first_line(const std::string& all, std::string& rest) {
    const std::size_t end = all.find('\n');
    rest = end == std::string::npos ? std::string() : all.substr(end + 1);
    return all.substr(0, end);
}

// A 20-residue helix along z, numbered 1 to 20 with 7 repeated, aligned.
const Helix& fixed_helix() {
    static const Helix h = [] {
        Helix made;
        made.numResidue = 20;
        for (int k = 0; k < 20; ++k) {
            const double a = k * 1.745329;
            made.resNum.push_back(k == 12 ? 7 : k + 1);
            made.coord.push_back({float(2.3 * std::cos(a)), float(2.3 * std::sin(a)), 1.5f * k});
            made.coord.push_back({float(3.4 * std::cos(a)), float(3.4 * std::sin(a)), 1.5f * k + 0.4f});
        }
        align_on_z(made.coord, made.numResidue, made.center, made.angle);
        return made;
    }();
    return h;
}

// Restraints read from text against the fixed helix.
Status read_restraints(const std::string& text, Restraint& r) {
    std::istringstream in(text);
    const Parameter p;
    return parse_restraints(in, "n", fixed_helix().resNum, p.pairDistance, p.pairTolerance, r);
}

// The fast and the literal score of each row agree to the bit; returns the scores.
std::vector<float> score_both_ways(const Restraint& r, int numProtomer, const CandidateTable& rows) {
    const Scorer scorer(fixed_helix(), r, numProtomer);
    Scorer::Scratch scratch = scorer.scratch();
    std::vector<Point> points(fixed_helix().numPoint());
    std::vector<float> scores;
    for (const CandidateRow& row : rows) {
        const float fast = scorer.score(row, scratch), literal = placed_score(fixed_helix(), points, r, numProtomer, row);
        require(std::memcmp(&fast, &literal, sizeof fast) == 0);
        scores.push_back(fast);
    }
    return scores;
}

// Every restraint is kept or dropped, and every kept one is a line the restraint reader takes.
void check_conversion(Conversion& c) {
    map_restraints(ConvertOptions(), c);
    require(c.kept.size() + c.dropped.size() == c.input.restraints.size());
    require(!conversion_report(c).empty() || c.input.restraints.empty());
    const std::string text = restraint_file_text(c);
    std::istringstream in(text);
    Parameter p;
    std::size_t k = 0;
    for (std::string line; std::getline(in, line); ++k) {
        const std::vector<int> residues{c.kept[k].end1.residue, c.kept[k].end2.residue};
        RestraintLine parsed;
        require(parse_restraint_line(line, "n", residues, p.pairDistance, p.pairTolerance, parsed).ok());
        require(parsed.pairClass == c.kept[k].pairClass);
    }
    require(k == c.kept.size());
}

}  // namespace

void fuzz_parameter_file(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(text(data, size));
    Parameter p;
    const Status status = parse_param(in, "p", p);  // a wrong format or a bad noeModel are its only failures
    require(status.ok() ? p.numProtomer >= 1
                        : status.message == "[Error] 'p' has a wrong format" ||
                              status.message.rfind("[Error] 'p': noeModel is ", 0) == 0);
}

void fuzz_helix_files(const std::uint8_t* data, std::size_t size) {
    std::string pdb;
    std::istringstream logIn(first_line(text(data, size), pdb)), pdbIn(pdb);
    Helix h;
    parse_check_log(logIn, h.numResidue, h.checkAux);
    if (!parse_helix_pdb(pdbIn, "h", h).ok()) return;
    require(int(h.coord.size()) == 2 * h.numResidue && int(h.resNum.size()) == h.numResidue);
    align_on_z(h.coord, h.numResidue, h.center, h.angle);
}

void fuzz_restraint_file(const std::uint8_t* data, std::size_t size) {
    Restraint r{};
    if (!read_restraints(text(data, size), r).ok()) return;
    require(r.numRestraint >= 3 && r.numRestraint <= maxRestraint);
    for (int i = 0; i < r.numRestraint; ++i)
        require(r.resIndex1[i] >= 0 && r.resIndex1[i] < 20 && r.resIndex2[i] >= 0 && r.resIndex2[i] < 20);
    score_both_ways(r, 4, {{0.3f, 0.2f, 0.1f, 7.0f, 0, 0}});
}

void fuzz_candidate_file(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(text(data, size));
    CandidateTable table;
    if (!parse_candidates(in, "c", table).ok()) return;
    static Restraint fixed{};
    static const Status read = read_restraints("(r 3 a n HA) (r 5 a n HG)\n(r 4 a n HN) (r 8 a n HD2)\n"
                                               "(r 10 a n HE) (r 6 a n HZ)\n(r 7 a n HB) (r 19 a n HN)\n", fixed);
    require(read.ok());
    const std::vector<float> scores = score_both_ways(fixed, 2 + int(size % 5), table);
    std::vector<char> seen(scores.size(), 0);
    std::string rewritten;
    for (int row : rank_map(scores, sorted_scores(scores))) {
        require(row >= 0 && row < int(seen.size()) && !seen[row]);
        seen[row] = 1;
        rewritten += candidate_line(table[row]) + "\n";
    }
    std::istringstream again(rewritten);
    CandidateTable reread;
    require(parse_candidates(again, "c", reread).ok() && reread.size() == table.size());
}

void fuzz_template(const std::uint8_t* data, std::size_t size) {
    std::string rest;
    const std::string line = first_line(text(data, size), rest);
    if (line.size() < candidateLineLength) return;
    std::istringstream in(rest);
    const Template tmpl = parse_template(in);
    const int protomers = 1 + int(size % 11);
    const std::string pdb = oligomer_pdb(tmpl, parse_candidate_line(line), protomers);
    require(std::size_t(std::count(pdb.begin(), pdb.end(), '\n')) == tmpl.lines.size() * protomers + 1);
    require(pdb.size() >= 4 && pdb.compare(pdb.size() - 4, 4, "END\n") == 0);
}

void fuzz_xplor_restraints(const std::uint8_t* data, std::size_t size) {
    Conversion c;
    if (read_xplor(text(data, size), "x", c.input).ok()) check_conversion(c);
}

void fuzz_nef_restraints(const std::uint8_t* data, std::size_t size) {
    Conversion c;
    if (read_nef(text(data, size), "n", c.input).ok()) check_conversion(c);
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

void fuzz_allowed_set(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(text(data, size));
    AllowedSet set;
    if (!parse_allowed_set(in, "a", set).ok()) return;
    const std::string written = allowed_set_text(set);
    std::istringstream again(written);
    AllowedSet back;
    require(parse_allowed_set(again, "a", back).ok() && allowed_set_text(back) == written);
}
