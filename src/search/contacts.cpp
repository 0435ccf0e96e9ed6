#include "search/contacts.h"

#include <cctype>
#include <cmath>
#include <limits>

#include "base/text.h"

float vdw_radius(const std::string& element) {
    if (element == "N") return 1.55f;
    if (element == "O") return 1.52f;
    return element == "S" ? 1.80f : 1.70f;
}

namespace {
std::string element_of(const std::string& line) {
    std::string element = trim_blanks(cut(line, 76, 2));
    if (element.empty()) {  // from the name: its first letter (names like 1HB2 start with a digit)
        for (char c : cut(line, 12, 4))
            if (std::isalpha(static_cast<unsigned char>(c))) return std::string(1, c);
    }
    for (char& c : element) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return element;
}

bool is_backbone(const std::string& name) { return name == "N" || name == "CA" || name == "C" || name == "O"; }

// The clash of two backbone atoms at distance d, by their radii.
bool clash(float d, float radius1, float radius2) { return d < radius1 + radius2 - clashOverlap; }

// The two parts of E from one pair distance, as integers.
const double unitsPerEnergy = 16777216.0;  // 2^24

}  // namespace

PackingUnits pair_units(float d, float contact) {
    if (!(d < packingReach)) return 0;
    const PackingUnits count = -static_cast<PackingUnits>(unitsPerEnergy);
    const double excess = static_cast<double>(contact) + static_cast<double>(repulsionGive) - static_cast<double>(d);
    if (!(excess > 0)) return count;
    return count + static_cast<PackingUnits>(std::llround(100.0 * excess * excess * unitsPerEnergy));
}

namespace {

// Every pair of flagged atoms between protomer 1 and another, brute force:
// visit(d, i, j) with the pair's distance and atom indices.
template <class Visit>
void all_pairs(const std::vector<std::vector<Point>>& protomers, const std::vector<char>& flag, Visit visit) {
    for (std::size_t k = 1; k < protomers.size(); ++k)
        for (std::size_t i = 0; i < flag.size(); ++i)
            if (flag[i])
                for (std::size_t j = 0; j < flag.size(); ++j)
                    if (flag[j]) visit(distance(protomers[0][i], protomers[k][j]), i, j);
}
}  // namespace

AtomKinds atom_kinds(const std::vector<std::string>& lines) {
    AtomKinds kinds;
    for (const std::string& line : lines) {
        const std::string name = trim_blanks(cut(line, 12, 4)), element = element_of(line);
        const bool heavy = element != "H" && element != "D";
        kinds.backbone.push_back(is_backbone(name));
        kinds.radius.push_back(heavy ? vdw_radius(element) : 0.0f);
        kinds.heavy.push_back(heavy);
        if (heavy && !is_backbone(name) && name != "CB" && name != "OXT") kinds.sideChains = true;
    }
    return kinds;
}

float closest_backbone(const std::vector<std::vector<Point>>& protomers, const std::vector<char>& backbone) {
    float closest = std::numeric_limits<float>::infinity();
    all_pairs(protomers, backbone, [&](float d, std::size_t, std::size_t) { closest = std::fmin(closest, d); });
    return closest;
}

bool backbones_clash(const std::vector<std::vector<Point>>& protomers, const AtomKinds& kinds) {
    bool clashing = false;
    all_pairs(protomers, kinds.backbone, [&](float d, std::size_t i, std::size_t j) {
        clashing = clashing || clash(d, kinds.radius[i], kinds.radius[j]);
    });
    return clashing;
}

PackingUnits packing_units(const std::vector<std::vector<Point>>& protomers, const AtomKinds& kinds) {
    PackingUnits sum = 0;
    all_pairs(protomers, kinds.heavy,
              [&](float d, std::size_t i, std::size_t j) { sum += pair_units(d, kinds.radius[i] + kinds.radius[j]); });
    return sum;
}

double packing_energy(PackingUnits units) { return static_cast<double>(units) / unitsPerEnergy; }

// ------------------------------------------------------------ the model

ContactModel::ContactModel(const Template& tmpl, int numProtomer) {
    const AtomKinds kinds = atom_kinds(tmpl.lines);
    sideChains_ = kinds.sideChains;
    for (int p = 1; p < numProtomer; ++p) {
        const float turn[3] = {protomer_angle(p, numProtomer), 0, 0};
        turns_.push_back(rotation_matrix(turn));
    }
    // Residues are runs of lines with one chain, number and insertion code.
    for (std::size_t i = 0; i < tmpl.lines.size();) {
        const std::string residue = cut(tmpl.lines[i], 21, 6);
        std::size_t end = i;
        while (end < tmpl.lines.size() && cut(tmpl.lines[end], 21, 6) == residue) ++end;
        Group g{points_.size(), 0, 0, points_.size(), 0, 0};  // centre: the CA, else the first atom
        for (int pass = 0; pass < 2; ++pass) {  // backbone first
            for (std::size_t j = i; j < end; ++j) {
                if (!kinds.heavy[j] || kinds.backbone[j] != (pass == 0)) continue;
                if (trim_blanks(cut(tmpl.lines[j], 12, 4)) == "CA") g.centre = points_.size();
                points_.push_back(tmpl.points[j]);
                radius_.push_back(kinds.radius[j]);
            }
            if (pass == 0) g.backboneEnd = points_.size();
        }
        g.end = points_.size();
        // The reach bounds every distance from the centre after any rotation:
        // the margin covers rounding (see slack in pairs).
        for (std::size_t j = g.begin; j < g.end; ++j) {
            const float d = distance(points_[g.centre], points_[j]) + 0.01f;
            g.reach = std::fmax(g.reach, d);
            if (j < g.backboneEnd) g.backboneReach = std::fmax(g.backboneReach, d);
            extent_ = std::fmax(extent_, distance(Point{0, 0, 0}, points_[j]));
        }
        if (g.end > g.begin) groups_.push_back(g);
        i = end;
    }
}

ContactModel::Scratch ContactModel::scratch() const {
    return Scratch{points_, points_, points_};
}

void ContactModel::rotate(const Rotation& r, Scratch& s) const {
    for (std::size_t i = 0; i < points_.size(); ++i) s.rotated[i] = apply(r, points_[i]);
}

template <class Visit>
bool ContactModel::pairs(float radius, bool backboneOnly, float cutoff, Scratch& s, Visit visit) const {
    const float shift[3] = {radius, 0, 0};
    // Float rounding of placed points grows with their size; a residue pair
    // is skipped only when it is farther apart than any rounding could hide.
    const float slack = 1e-5f * (std::fabs(radius) + extent_) + 0.01f;
    for (std::size_t i = 0; i < points_.size(); ++i) s.first[i] = shifted(s.rotated[i], shift);
    for (const Rotation& turn : turns_) {
        for (std::size_t i = 0; i < points_.size(); ++i) s.other[i] = apply(turn, s.first[i]);
        for (const Group& g : groups_) {
            const float reachG = backboneOnly ? g.backboneReach : g.reach;
            const std::size_t endG = backboneOnly ? g.backboneEnd : g.end;
            for (const Group& h : groups_) {
                const float reachH = backboneOnly ? h.backboneReach : h.reach;
                if (distance(s.first[g.centre], s.other[h.centre]) >= reachG + reachH + cutoff + slack) continue;
                const std::size_t endH = backboneOnly ? h.backboneEnd : h.end;
                for (std::size_t i = g.begin; i < endG; ++i)
                    for (std::size_t j = h.begin; j < endH; ++j) {
                        const float d = distance(s.first[i], s.other[j]);
                        if (d < cutoff && !visit(d, i, j)) return false;
                    }
            }
        }
    }
    return true;
}

bool ContactModel::clashes(float radius, Scratch& s) const {
    return !pairs(radius, true, clashDistance, s,
                  [&](float d, std::size_t i, std::size_t j) { return !clash(d, radius_[i], radius_[j]); });
}

PackingUnits ContactModel::packing(float radius, Scratch& s) const {
    PackingUnits sum = 0;
    pairs(radius, false, packingReach, s, [&](float d, std::size_t i, std::size_t j) {
        sum += pair_units(d, radius_[i] + radius_[j]);
        return true;
    });
    return sum;
}
