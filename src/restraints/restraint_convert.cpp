#include "restraints/restraint_convert.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <tuple>

#include "restraints/nef.h"
#include "base/text.h"
#include "restraints/xplor.h"

namespace {

bool is_class_letter(char c) { return c != '\0' && std::string("ABGDEZH").find(c) != std::string::npos; }

// A reason the restraint is dropped: the short one counted, the detail shown.
struct Drop {
    std::string reason, detail;
};

std::string atom_text(const AtomChoice& c) {
    return (c.name.empty() ? std::string("any atom") : c.name) + " of residue " + std::to_string(c.firstResidue);
}

// One residue and one class for every alternative of the end, or why not.
// Alternatives that differ only in the chain name the partner on either
// neighbour; the chains are judged by chain_pairs.
bool map_end(const RestraintEnd& end, MappedEnd& out, Drop& drop) {
    if (!end.problem.empty()) {
        drop = {"unreadable selection", "a selection " + end.problem};
        return false;
    }
    for (std::size_t i = 0; i < end.choices.size(); ++i) {
        const AtomChoice& c = end.choices[i];
        if (c.chain.empty()) {
            drop = {"no chain", "an end names no segment id or chain"};
            return false;
        }
        if (!c.residueGiven || c.firstResidue != c.lastResidue) {
            drop = {"ambiguous end", c.residueGiven ? "an end spans residues " + std::to_string(c.firstResidue) +
                                                          " to " + std::to_string(c.lastResidue)
                                                    : "an end names no residue"};
            return false;
        }
        bool heavy = false;
        const std::string cls = proton_class(c.name, heavy);
        if (cls.empty()) {
            drop = heavy ? Drop{"heavy atom", "an end on " + atom_text(c)}
                         : Drop{"no proton class", "an end on " + atom_text(c)};
            return false;
        }
        if (i == 0) {
            out = {c.chain, c.firstResidue, cls};
        } else if (c.firstResidue != out.residue || cls != out.protonClass) {
            drop = {"ambiguous end", "an end's alternatives " + out.chain + " " + std::to_string(out.residue) + " " +
                                         out.protonClass + " and " + c.chain + " " + std::to_string(c.firstResidue) +
                                         " " + cls + " differ"};
            return false;
        }
    }
    return true;
}

// The chain all alternatives of an end share, or empty.
std::string sole_chain(const RestraintEnd& end) {
    if (end.choices.empty()) return std::string();
    for (const AtomChoice& c : end.choices)
        if (c.chain != end.choices[0].chain) return std::string();
    return end.choices[0].chain;
}

// The chains of the two ends in each way the restraint may be met: the
// alternatives of the ends that came in the same pair of selections.
std::set<std::pair<std::string, std::string>> chain_pairs(const InputRestraint& r) {
    std::set<std::pair<std::string, std::string>> pairs;
    for (const AtomChoice& a : r.end1.choices)
        for (const AtomChoice& b : r.end2.choices)
            if (a.pair == b.pair) pairs.emplace(a.chain, b.chain);
    return pairs;
}

// Whether the residue is left out by --helix or --residues, and why.
bool outside(const ConvertOptions& o, int residue, Drop& drop) {
    const std::string number = "residue " + std::to_string(residue);
    if (o.useHelix && std::find(o.helixResidues.begin(), o.helixResidues.end(), residue) == o.helixResidues.end())
        drop = {"not in the helix", number + " is not in the helix"};
    else if (o.useRange && (residue < o.firstResidue || residue > o.lastResidue))
        drop = {"outside --residues", number + " is outside " + std::to_string(o.firstResidue) + "-" +
                                          std::to_string(o.lastResidue)};
    else
        return false;
    return true;
}

bool map_restraint(const InputRestraint& r, const ConvertOptions& o, KeptRestraint& kept, Drop& drop) {
    const std::string chain = sole_chain(r.end1);
    if (!chain.empty() && chain == sole_chain(r.end2)) {
        drop = {"intra-chain", "both ends in chain " + chain};
        return false;
    }
    if (!map_end(r.end1, kept.end1, drop) || !map_end(r.end2, kept.end2, drop)) return false;
    const auto pairs = chain_pairs(r);
    std::size_t within = 0;  // alternatives that join a chain to itself
    std::string self;
    bool wanted = o.chain1.empty();
    for (const auto& p : pairs) {
        if (p.first == p.second && within++ == 0) self = p.first;
        wanted = wanted || (p.first == o.chain1 && p.second == o.chain2) || (p.first == o.chain2 && p.second == o.chain1);
    }
    if (pairs.empty() || within == pairs.size()) {
        drop = {"intra-chain", "both ends in chain " + (self.empty() ? kept.end1.chain : self)};
        return false;
    }
    if (within > 0) {
        drop = {"ambiguous end", "an alternative joins chain " + self + " to itself"};
        return false;
    }
    if (!wanted) {
        drop = {"other chains", "between chains " + pairs.begin()->first + " and " + pairs.begin()->second};
        return false;
    }
    for (const MappedEnd* e : {&kept.end1, &kept.end2})
        if (outside(o, e->residue, drop)) return false;
    kept.eitherNeighbour = pairs.size() > 1;
    kept.pairClass = 0;
    for (const MappedEnd* e : {&kept.end1, &kept.end2})
        kept.pairClass += (e->protonClass == "HN" || e->protonClass == "HA" || e->protonClass == "HB") ? 0 : 1;
    return true;
}

}  // namespace

std::string proton_class(const std::string& name, bool& heavy) {
    std::string n;
    for (char c : name) n += char(std::toupper(static_cast<unsigned char>(c)));
    n.erase(0, n.find_first_not_of("0123456789"));  // the old "1HB" style
    heavy = !n.empty() && std::string("CNOS").find(n[0]) != std::string::npos;
    if (n == "H" || n.compare(0, 2, "HN") == 0) return "HN";
    std::size_t letter = 1;
    if (n[0] == 'Q') letter = n.find_first_not_of('Q');  // QB, QG1, QQD
    else if (n[0] != 'H' && n[0] != 'M') return std::string();
    if (letter == std::string::npos || letter >= n.size() || !is_class_letter(n[letter])) return std::string();
    return std::string("H") + n[letter];
}

Status read_restraint_input(const std::string& path, RestraintInput& out) {
    std::string text;
    if (!read_whole(path, text)) return Status::error(cannot_open(path));
    return looks_like_star(text) ? read_nef(text, path, out) : read_xplor(text, path, out);
}

void map_restraints(const ConvertOptions& options, Conversion& out) {
    // Restraints that map to the same line are written once: the ends may come in either order.
    std::map<std::tuple<int, std::string, int, std::string>, std::string> seen;
    for (std::size_t i = 0; i < out.input.restraints.size(); ++i) {
        const InputRestraint& r = out.input.restraints[i];
        KeptRestraint kept;
        kept.input = i;
        Drop drop;
        if (!map_restraint(r, options, kept, drop)) {
            out.dropped.push_back({r.origin, drop.reason, drop.detail});
            continue;
        }
        auto key = std::make_tuple(kept.end1.residue, kept.end1.protonClass, kept.end2.residue, kept.end2.protonClass);
        auto swapped = std::make_tuple(std::get<2>(key), std::get<3>(key), std::get<0>(key), std::get<1>(key));
        auto found = seen.find(std::min(key, swapped));
        if (found != seen.end()) {
            out.dropped.push_back({r.origin, "duplicate", "the same as " + found->second});
            continue;
        }
        seen.emplace(std::min(key, swapped), r.origin);
        out.kept.push_back(kept);
    }
}

Status convert_restraints(const std::string& inputPath, const ConvertOptions& options, Conversion& out) {
    out = Conversion();
    out.path = inputPath;
    Status s = read_restraint_input(inputPath, out.input);
    if (!s.ok()) return s;
    map_restraints(options, out);
    return Status::fine();
}

Status check_kept_count(const Conversion& c, const ConvertOptions& options) {
    if (c.kept.size() <= std::size_t(options.most)) return Status::fine();
    return Status::error("[Error] " + std::to_string(c.kept.size()) + " restraints kept from '" + c.path +
                         "', more than the " + std::to_string(options.most) +
                         " noebundle takes: " + options.narrowing + " keeps only theirs" +
                         (options.most == maxRestraint ? "; noeModel=upper, for lists taken from spectra, takes up to " +
                                                             std::to_string(maxUpperRestraint)
                                                       : std::string()));
}
