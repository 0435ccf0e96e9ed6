#include "restraints/nef.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <cstring>
#include <map>

#include <gemmi/cif.hpp>

namespace cif = gemmi::cif;

namespace {

const char* const prefix = "_nef_distance_restraint.";

struct Columns {
    int id, chain1, seq1, atom1, chain2, seq2, atom2, target, lower, upper;
};

Status find_columns(const cif::Loop& loop, const std::string& path, Columns& c) {
    struct Wanted {
        int* column;
        const char* tag;
        bool required;
    } wanted[] = {{&c.id, "restraint_id", true},         {&c.chain1, "chain_code_1", true},
                  {&c.seq1, "sequence_code_1", true},    {&c.atom1, "atom_name_1", true},
                  {&c.chain2, "chain_code_2", true},     {&c.seq2, "sequence_code_2", true},
                  {&c.atom2, "atom_name_2", true},       {&c.target, "target_value", false},
                  {&c.lower, "lower_limit", false},      {&c.upper, "upper_limit", false}};
    for (const Wanted& w : wanted) {
        *w.column = loop.find_tag(std::string(prefix) + w.tag);
        if (*w.column < 0 && w.required)
            return Status::error("[Error] '" + path + "': the " + std::string(prefix, std::strlen(prefix) - 1) +
                                 " loop has no column " + w.tag);
    }
    return Status::fine();
}

AtomChoice atom(const cif::Loop& loop, std::size_t row, int chain, int seq, int name, std::string& problem) {
    AtomChoice a;
    a.chain = cif::as_string(loop.val(row, chain));
    a.name = cif::as_string(loop.val(row, name));
    for (char& ch : a.name) ch = char(std::toupper(static_cast<unsigned char>(ch)));
    const std::string number = cif::as_string(loop.val(row, seq));
    char* end = nullptr;
    const long n = std::strtol(number.c_str(), &end, 10);
    a.residueGiven = true;
    if (end == number.c_str() || *end != '\0' || n < -99999 || n > 999999) {
        if (problem.empty()) problem = "names residue '" + number + "', not a number";
    } else {
        a.firstResidue = a.lastResidue = int(n);
    }
    return a;
}

Status number(const cif::Loop& loop, std::size_t row, int column, const std::string& path, const std::string& id,
              bool& has, float& value) {
    if (column < 0 || cif::is_null(loop.val(row, column))) return Status::fine();
    const std::string text = cif::as_string(loop.val(row, column));
    char* end = nullptr;
    const double d = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(d) || std::fabs(d) > 1e30)
        return Status::error("[Error] '" + path + "': restraint " + id + " has '" + text +
                             "' where a distance belongs");
    has = true;
    value = float(d);
    return Status::fine();
}

Status read_loop(const cif::Loop& loop, const std::string& origin, const std::string& path, RestraintInput& out) {
    Columns c;
    Status s = find_columns(loop, path, c);
    std::map<std::string, std::size_t> byId;  // restraint_id -> index in out.restraints
    for (std::size_t row = 0; s.ok() && row < loop.length(); ++row) {
        const std::string id = cif::as_string(loop.val(row, c.id));
        auto found = byId.find(id);
        if (found == byId.end()) {
            found = byId.emplace(id, out.restraints.size()).first;
            out.restraints.emplace_back();
            InputRestraint& r = out.restraints.back();
            r.origin = origin + "restraint " + id;
            s = number(loop, row, c.target, path, id, r.hasTarget, r.target);
            if (s.ok()) s = number(loop, row, c.lower, path, id, r.hasLower, r.lower);
            if (s.ok()) s = number(loop, row, c.upper, path, id, r.hasUpper, r.upper);
        }
        InputRestraint& r = out.restraints[found->second];
        r.end1.choices.push_back(atom(loop, row, c.chain1, c.seq1, c.atom1, r.end1.problem));
        r.end2.choices.push_back(atom(loop, row, c.chain2, c.seq2, c.atom2, r.end2.problem));
        r.end1.choices.back().pair = r.end2.choices.back().pair = int(r.end1.choices.size());  // one row, one pair
    }
    return s;
}

// The distance loops of a block and of the save frames in it.
void find_loops(const cif::Block& block, std::vector<std::pair<std::string, const cif::Loop*>>& loops) {
    for (const cif::Item& item : block.items) {
        if (item.type == cif::ItemType::Frame) find_loops(item.frame, loops);
        if (item.type == cif::ItemType::Loop && item.loop.find_tag(std::string(prefix) + "restraint_id") >= 0)
            loops.emplace_back(block.name, &item.loop);
    }
}

}  // namespace

bool looks_like_star(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        pos = text.find_first_not_of(" \t\r\n", pos);
        if (pos == std::string::npos) return false;
        if (text[pos] != '#') break;
        pos = text.find('\n', pos);
    }
    if (pos == std::string::npos || pos >= text.size()) return false;
    return text.size() - pos >= 5 && gemmi::iequal(text.substr(pos, 5), "data_");
}

Status read_nef(const std::string& text, const std::string& path, RestraintInput& out) {
    out.format = "NEF";
    cif::Document doc;
    try {
        doc = cif::read_memory(text.data(), text.size(), path.c_str());
    } catch (const std::exception& e) {
        std::string why = e.what();
        if (why.size() > 200) why = why.substr(0, 200) + "...";
        return Status::error("[Error] '" + path + "' is not a readable NEF file: " + why);
    }
    std::vector<std::pair<std::string, const cif::Loop*>> loops;
    for (const cif::Block& block : doc.blocks) find_loops(block, loops);
    if (loops.empty()) return Status::error("[Error] '" + path + "' has no _nef_distance_restraint loop");
    for (const auto& loop : loops) {
        // Restraint ids repeat from one list to the next: the list names them apart.
        Status s = read_loop(*loop.second, loops.size() > 1 ? loop.first + " " : "", path, out);
        if (!s.ok()) return s;
    }
    return Status::fine();
}
