#include "search/side_chains.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/text.h"
#include "model/ideal_geometry.h"
#include "model/rotamers.h"

namespace {

struct Vec {
    double x, y, z;
};
Vec vec(Point p) { return {p.x, p.y, p.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// The dihedral a-b-c-d in radians.
double dihedral(Vec a, Vec b, Vec c, Vec d) {
    const Vec b1 = b - a, b2 = c - b, b3 = d - c;
    const Vec n1 = cross(b1, b2), n2 = cross(b2, b3);
    return std::atan2(dot(cross(n1, n2), b2) / std::sqrt(dot(b2, b2)), dot(n1, n2));
}

// p turned by angle about the axis through b and c (Rodrigues).
Point turned(Point p, Vec b, Vec c, double angle) {
    Vec k = c - b;
    const double n = std::sqrt(dot(k, k));
    k = {k.x / n, k.y / n, k.z / n};
    const Vec v = vec(p) - b, kv = cross(k, v);
    const double cs = std::cos(angle), sn = std::sin(angle), kd = dot(k, v) * (1 - cs);
    return {float(b.x + v.x * cs + kv.x * sn + k.x * kd), float(b.y + v.y * cs + kv.y * sn + k.y * kd),
            float(b.z + v.z * cs + kv.z * sn + k.z * kd)};
}

bool bonded(Point a, Point b, bool light) { return distance(a, b) < (light ? 1.3f : 1.95f); }

char code_of(const std::string& residueName) {
    for (const auto& g : ideal::residue_geometries())
        if (residueName == g.name) return g.code;
    return 0;
}

}  // namespace

SideChainPacker::SideChainPacker(const Template& tmpl, int numProtomer)
    : points_(tmpl.points), residueOf_(tmpl.points.size(), -1), numProtomer_(numProtomer) {
    kinds_ = atom_kinds(tmpl.lines);
    moving_.assign(points_.size(), 0);
    std::vector<std::string> names;
    for (const std::string& line : tmpl.lines) names.push_back(trim_blanks(cut(line, 12, 4)));
    for (std::size_t i = 0; i < tmpl.lines.size();) {
        Residue r;
        const std::string id = cut(tmpl.lines[i], 21, 6), residueName = trim_blanks(cut(tmpl.lines[i], 17, 3));
        for (; i < tmpl.lines.size() && cut(tmpl.lines[i], 21, 6) == id; ++i) {
            residueOf_[i] = int(residues_.size());
            if (names[i] == "CA") r.centre = i;
            r.atoms.push_back(i);
        }
        std::vector<Point> own;
        for (std::size_t a : r.atoms) own.push_back(points_[a]);
        r.shapes.push_back(own);
        const ideal::RotamerSet* set = ideal::helix_rotamers(code_of(residueName));
        const auto find = [&](const char* name) {
            for (std::size_t j = 0; j < r.atoms.size(); ++j)
                if (names[r.atoms[j]] == name) return int(j);
            return -1;
        };
        // Each chi: its four atoms and the atoms beyond its bond (reached from
        // its third atom without crossing its second); a ring back to the
        // backbone (proline) cannot turn.
        std::vector<std::array<int, 4>> chis;
        std::vector<std::vector<char>> beyond;
        for (int k = 0; set && k < set->count; ++k) {
            std::array<int, 4> chi;
            for (int m = 0; m < 4; ++m) chi[m] = find(set->atoms[k][m]);
            if (*std::min_element(chi.begin(), chi.end()) < 0) break;
            std::vector<char> seen(r.atoms.size(), 0);
            std::vector<int> stack = {chi[2]};
            seen[chi[1]] = seen[chi[2]] = 1;
            while (!stack.empty()) {
                const int a = stack.back();
                stack.pop_back();
                for (std::size_t j = 0; j < r.atoms.size(); ++j)
                    if (!seen[j] && bonded(own[a], own[j], !kinds_.heavy[r.atoms[a]] || !kinds_.heavy[r.atoms[j]])) {
                        seen[j] = 1;
                        stack.push_back(int(j));
                    }
            }
            seen[chi[1]] = seen[chi[2]] = 0;
            bool ring = false;
            for (std::size_t j = 0; j < r.atoms.size(); ++j) ring |= seen[j] && kinds_.backbone[r.atoms[j]];
            if (ring) break;
            chis.push_back(chi);
            beyond.push_back(seen);
        }
        if (set && !chis.empty() && int(chis.size()) == set->count) {
            for (std::size_t j = 0; j < r.atoms.size(); ++j) moving_[r.atoms[j]] = beyond[0][j] && names[r.atoms[j]] != "CB";
            for (const ideal::Rotamer& rot : set->rotamers) {
                std::vector<Point> shape = own;
                for (std::size_t k = 0; k < chis.size(); ++k) {
                    const auto& c = chis[k];
                    const Vec b = vec(shape[c[1]]), cc = vec(shape[c[2]]);
                    const double now = dihedral(vec(shape[c[0]]), b, cc, vec(shape[c[3]]));
                    const double by = rot.chi[k] * M_PI / 180.0 - now;
                    for (std::size_t j = 0; j < shape.size(); ++j)
                        if (beyond[k][j]) shape[j] = turned(shape[j], b, cc, by);
                }
                r.shapes.push_back(shape);
            }
        }
        residues_.push_back(r);
    }
    // A rotamer whose heavy atoms beyond CB come within 3 A of another
    // residue's backbone or CB in the helix itself is no choice.
    for (Residue& r : residues_) {
        std::vector<std::vector<Point>> kept = {r.shapes[0]};
        for (std::size_t s = 1; s < r.shapes.size(); ++s) {
            bool clash = false;
            for (std::size_t j = 0; j < r.atoms.size() && !clash; ++j) {
                if (!moving_[r.atoms[j]] || !kinds_.heavy[r.atoms[j]]) continue;
                for (std::size_t b = 0; b < points_.size() && !clash; ++b)
                    clash = residueOf_[b] != residueOf_[r.atoms[j]] && kinds_.heavy[b] &&
                            (kinds_.backbone[b] || names[b] == "CB") && distance(r.shapes[s][j], points_[b]) < 3.0f;
            }
            if (!clash) kept.push_back(r.shapes[s]);
        }
        r.shapes = kept;
        for (const auto& shape : r.shapes)
            for (std::size_t j = 0; j < shape.size(); ++j)
                if (kinds_.heavy[r.atoms[j]]) r.reach = std::max(r.reach, distance(shape[j], points_[r.centre]));
        for (std::size_t j = 0; j < r.atoms.size(); ++j)
            if (kinds_.heavy[r.atoms[j]]) r.heavy.push_back(j);
    }
}

std::size_t SideChainPacker::choices() const {
    return std::count_if(residues_.begin(), residues_.end(), [](const Residue& r) { return r.shapes.size() > 1; });
}

PackingUnits SideChainPacker::energy(const std::vector<Point>& points, const CandidateRow& row) const {
    return packing_units(place_oligomer(points, row, numProtomer_), kinds_);
}

PackingUnits SideChainPacker::residue_energy(std::size_t r, const Oligomer& placed, const Oligomer& shape,
                                             const std::vector<Partner>& partners) const {
    // Pairs with another residue count twice: protomer 1's residue against
    // them, and by symmetry them against the residue's copies.
    const Residue& res = residues_[r];
    PackingUnits sum = 0;
    for (std::size_t j : res.heavy)
        for (const Partner& p : partners) {
            const Residue& other = residues_[p.residue];
            if (p.residue != r)
                for (std::size_t b : other.heavy)
                    sum += 2 * pair_units(distance(shape[0][j], placed[p.protomer][other.atoms[b]]),
                                          contact(res.atoms[j], other.atoms[b]));
            else
                for (std::size_t m : res.heavy)
                    sum += pair_units(distance(shape[0][j], shape[p.protomer][m]), contact(res.atoms[j], res.atoms[m]));
        }
    return sum;
}

std::vector<Point> SideChainPacker::pack(const CandidateRow& row) const {
    std::vector<Point> points = points_;
    if (numProtomer_ < 2) return points;
    Oligomer placed = place_oligomer(points, row, numProtomer_);
    // The residues of other protomers each residue can reach: CA distance
    // under both reaches plus the reach of a contact (and a margin for rounding).
    std::vector<std::vector<Partner>> partners(residues_.size());
    std::vector<std::size_t> near;
    for (std::size_t r = 0; r < residues_.size(); ++r) {
        for (std::size_t q = 0; q < residues_.size(); ++q)
            for (int k = 1; k < numProtomer_; ++k)
                if (distance(placed[0][residues_[r].centre], placed[k][residues_[q].centre]) <
                    residues_[r].reach + residues_[q].reach + packingReach + 0.1f)
                    partners[r].push_back({q, k});
        if (!partners[r].empty() && residues_[r].shapes.size() > 1) near.push_back(r);
    }
    std::vector<std::size_t> chosen(residues_.size(), 0);
    for (int sweep = 0; sweep < 3; ++sweep) {
        bool changed = false;
        for (std::size_t r : near) {
            const Residue& res = residues_[r];
            std::size_t best = chosen[r];
            PackingUnits lowest = 0;
            for (std::size_t s = 0; s < res.shapes.size(); ++s) {
                const PackingUnits e = residue_energy(r, placed, place_oligomer(res.shapes[s], row, numProtomer_), partners[r]);
                if (s == 0 || e < lowest) {
                    lowest = e;
                    best = s;
                }
            }
            changed |= best != chosen[r];
            chosen[r] = best;
            const Oligomer shape = place_oligomer(res.shapes[best], row, numProtomer_);
            for (std::size_t j = 0; j < res.atoms.size(); ++j) {
                points[res.atoms[j]] = res.shapes[best][j];
                for (int k = 0; k < numProtomer_; ++k) placed[k][res.atoms[j]] = shape[k][j];
            }
        }
        if (!changed) break;
    }
    return points;
}
