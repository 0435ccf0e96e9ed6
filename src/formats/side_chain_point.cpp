#include "formats/side_chain_point.h"

#include <algorithm>
#include <vector>

#include "formats/hydrogen_names.h"
#include "geometry/backbone_points.h"

namespace {

using ideal::Vec;

Vec vec(const gemmi::Position& p) { return {p.x, p.y, p.z}; }

// The one atom of this name, or nullptr (none or several).
const gemmi::Atom* only(const gemmi::Residue& r, const char* name) {
    const gemmi::Atom* found = nullptr;
    for (const gemmi::Atom& a : r.atoms)
        if (a.name == name) {
            if (found != nullptr) return nullptr;
            found = &a;
        }
    return found;
}

// A new atom at p, placed after the backbone's O (or C).
void insert_after_backbone(gemmi::Residue& r, const char* name, const char* element, Vec p) {
    gemmi::Atom atom;
    atom.name = name;
    atom.element = gemmi::Element(element);
    atom.pos = gemmi::Position(p.x, p.y, p.z);
    atom.occ = 1.0f;
    atom.b_iso = 0.0f;
    std::size_t at = r.atoms.size();
    for (std::size_t i = 0; i < r.atoms.size(); ++i)
        if (r.atoms[i].name == "O" || (r.atoms[i].name == "C" && at == r.atoms.size())) at = i + 1;
    r.atoms.insert(r.atoms.begin() + static_cast<std::ptrdiff_t>(at), atom);
}

}  // namespace

std::string complete_side_chain_point(gemmi::Residue& r, std::string& problem) {
    problem.clear();
    std::vector<gemmi::Atom*> alpha;
    std::vector<std::string> names;
    bool cb = false;
    for (gemmi::Atom& a : r.atoms) {
        names.push_back(a.name);
        cb = cb || a.name == "CB";
        if (r.name == "GLY" && is_alpha_proton_name(a.name)) alpha.push_back(&a);
    }
    const bool named = std::find(names.begin(), names.end(), "HA2") != names.end();
    // Nothing to do, or nothing to place from: the helix file's own checks speak.
    const bool noCa = std::find(names.begin(), names.end(), "CA") == names.end();
    if (cb || noCa || (named && (r.name != "GLY" || names_pdb_alpha_protons(names)))) return "";
    const gemmi::Atom *n = only(r, "N"), *ca = only(r, "CA"), *c = only(r, "C");
    if (n == nullptr || ca == nullptr || c == nullptr) {
        problem = " has neither CB nor HA2, nor one N, CA and C to place one from";
        return "";
    }
    const std::string residue = r.name + " " + r.seqid.str();
    if (r.name == "GLY") {
        if (alpha.size() > 2) {
            problem = " has more than two alpha protons";
            return "";
        }
        gemmi::Atom* plus = nullptr;
        for (gemmi::Atom* a : alpha)
            if (ideal::dihedral(vec(c->pos), vec(n->pos), vec(ca->pos), vec(a->pos)) > 0) {
                if (plus != nullptr) {
                    problem = " has alpha protons whose positions do not tell HA2 from HA3";
                    return "";
                }
                plus = a;
            }

        for (gemmi::Atom* a : alpha)
            if (a != plus) a->name = "HA3";
        if (plus != nullptr) {
            const std::string was = plus->name;
            plus->name = "HA2";
            return was == "HA2" ? "" : "took " + was + " of " + residue + " as HA2";
        }
    }
    const bool glycine = r.name == "GLY";
    const Vec p = glycine ? ideal::ideal_ha(vec(n->pos), vec(ca->pos), vec(c->pos))
                          : ideal::ideal_cb(vec(n->pos), vec(ca->pos), vec(c->pos));
    insert_after_backbone(r, glycine ? "HA2" : "CB", glycine ? "H" : "C", p);
    return std::string("placed ") + (glycine ? "HA2" : "CB") + " of " + residue + " from its backbone";
}
