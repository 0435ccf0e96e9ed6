#include "analysis/decisive_pairs.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>

#include "analysis/ensemble.h"
#include "base/text.h"
#include "search/contacts.h"

namespace {

struct Proton {
    int atom, residue;
    std::string name, cls;
};

std::vector<Proton> protons(const Template& tmpl, const std::vector<int>& resNum) {
    const AtomKinds kinds = atom_kinds(tmpl.lines);
    std::vector<Proton> out;
    for (std::size_t i = 0; i < tmpl.lines.size(); ++i) {
        if (kinds.heavy[i]) continue;
        Proton p{static_cast<int>(i), to_int(cut(tmpl.lines[i], 22, 4)), trim_blanks(cut(tmpl.lines[i], 12, 4)), ""};
        p.cls = proton_class(p.name);
        if (!p.cls.empty() && std::find(resNum.begin(), resNum.end(), p.residue) != resNum.end()) out.push_back(p);
    }
    return out;
}

bool before(const Proton& a, const Proton& b) {
    return std::tie(a.residue, a.cls, a.name) < std::tie(b.residue, b.cls, b.name);
}

// Against structure 1 first, then the better split, then the wider gap; ties by residues, proton names, neighbour.
bool better(const DecisivePair& x, long long xCount, const DecisivePair& y, long long yCount) {
    if (x.againstFirst != y.againstFirst) return x.againstFirst;
    if (xCount != yCount) return xCount > yCount;
    if (x.gap != y.gap) return x.gap > y.gap;
    return std::tie(x.residue1, x.residue2, x.proton1, x.proton2, x.neighbour) <
           std::tie(y.residue1, y.residue2, y.proton1, y.proton2, y.neighbour);
}

}  // namespace

std::string proton_class(const std::string& atomName) {
    const std::size_t letter = atomName.find_first_not_of("0123456789");
    if (letter == std::string::npos || atomName[letter] != 'H') return "";
    const std::string name = atomName.substr(letter);
    // The amide proton and the N-terminal ones: H, H1, H2, H3, HN.
    if (name == "H" || name == "HN" || std::isdigit(static_cast<unsigned char>(name[1]))) return "HN";
    const std::string cls = name.substr(0, 2);
    for (const char* known : {"HA", "HB", "HG", "HD", "HE", "HZ", "HH"})
        if (cls == known) return cls;
    return "";
}

std::vector<DecisivePair> decisive_pairs(const Template& tmpl, const std::vector<int>& resNum,
                                         const std::vector<Oligomer>& clusters,
                                         const std::vector<long long>& population, const ViolatedIn& violated,
                                         std::size_t limit) {
    if (clusters.empty() || clusters[0].size() < 2) return {};
    const int n = static_cast<int>(clusters[0].size());
    long long total = 0;
    for (long long p : population) total += p;
    const std::vector<Proton> all = protons(tmpl, resNum);
    std::map<std::string, std::pair<DecisivePair, long long>> byLine;
    std::map<std::string, std::vector<bool>> violations;  // of each line, computed once
    std::vector<double> d(clusters.size());
    for (const Proton& a : all)
        for (const Proton& b : all) {
            // a on protomer 1 and b on protomer 2 is b on protomer 1 and a on the last:
            // protomer 1 takes the end that comes first.
            const bool swap = before(b, a);
            const Proton& first = swap ? b : a;
            const Proton& second = swap ? a : b;
            DecisivePair pair;
            pair.line = "(resid " + std::to_string(first.residue) + " and name " + first.cls + ") (resid " +
                        std::to_string(second.residue) + " and name " + second.cls + ")";
            long long under = 0, over = 0;
            double farthestUnder = 0, nearestOver = 0;
            const std::vector<bool>* broken = nullptr;
            for (std::size_t k = 0; k < clusters.size(); ++k) {
                d[k] = distance(clusters[k][0][a.atom], clusters[k][1][b.atom]);
                if (d[k] < 5.0) {
                    farthestUnder = under == 0 ? d[k] : std::max(farthestUnder, d[k]);
                    under += population[k];
                }
            }
            for (std::size_t k = 0; k < clusters.size() && under > 0; ++k) {
                if (d[k] <= 7.0) continue;
                if (!broken) {
                    auto known = violations.find(pair.line);
                    if (known == violations.end()) known = violations.emplace(pair.line, violated(pair.line)).first;
                    broken = &known->second;
                }
                if (!(*broken)[k]) continue;
                nearestOver = over == 0 ? d[k] : std::min(nearestOver, d[k]);
                over += population[k];
            }
            if (under == 0 || over == 0) continue;
            pair.residue1 = first.residue;
            pair.residue2 = second.residue;
            pair.proton1 = first.name;
            pair.proton2 = second.name;
            pair.neighbour = chain_name(swap ? n - 1 : 1);
            const long long count = std::min(under, over);
            pair.againstFirst = d[0] > 7.0 && (*broken)[0];
            pair.split = static_cast<double>(count) / static_cast<double>(total);
            pair.gap = nearestOver - farthestUnder;
            pair.distances = d;
            auto found = byLine.find(pair.line);
            if (found == byLine.end())
                byLine.emplace(pair.line, std::make_pair(pair, count));
            else if (better(pair, count, found->second.first, found->second.second))
                found->second = std::make_pair(pair, count);
        }
    std::vector<std::pair<DecisivePair, long long>> ranked;
    for (auto& entry : byLine) ranked.push_back(std::move(entry.second));
    std::sort(ranked.begin(), ranked.end(), [](const auto& x, const auto& y) {
        return better(x.first, x.second, y.first, y.second);
    });
    std::vector<DecisivePair> out;
    std::vector<std::vector<bool>> parted;  // the clusters each suggestion puts on the far side
    for (std::size_t k = 0; k < ranked.size() && out.size() < limit; ++k) {
        const DecisivePair& pair = ranked[k].first;
        const std::vector<bool>& broken = violations.at(pair.line);
        std::vector<bool> far(clusters.size());
        for (std::size_t c = 0; c < clusters.size(); ++c) far[c] = pair.distances[c] > 7.0 && broken[c];
        if (std::find(parted.begin(), parted.end(), far) != parted.end()) continue;
        parted.push_back(far);
        out.push_back(pair);
    }
    return out;
}
