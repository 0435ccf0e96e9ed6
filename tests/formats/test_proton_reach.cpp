// The reach table against the standard geometry it comes from: every value
// is derived again by placing each residue type at every chi angle (30-degree
// steps; proline at its two puckers) and measuring each proton's distance
// to its stand-in; and the fallbacks for names outside the table.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "formats/proton_reach.h"
#include "model/helix_builder.h"
#include "model/ideal_geometry.h"

using namespace ideal;

namespace {

using Reaches = std::map<std::string, double>;  // proton class -> largest distance

void measure(const std::vector<std::pair<std::string, Vec>>& atoms, Reaches& reach) {
    const Vec ca = atoms[1].second, cb = atoms[4].second;  // N CA C O, then CB (or glycine's HA2)
    for (const auto& [name, p] : atoms) {
        const std::string cls = name.substr(0, 2);
        if (name[0] == 'H') reach[cls] = std::max(reach[cls], distance(p, cls == "HA" || cls == "HB" ? ca : cb));
    }
}

Reaches derived(const ResidueGeometry& g) {
    const RotamerSet& set = *helix_rotamers(g.code);
    Reaches reach;
    if (g.code == 'P' || set.count == 0) {
        for (const Rotamer& r : set.rotamers) measure(ideal_residue(g.code, &r), reach);
        if (set.rotamers.empty()) measure(ideal_residue(g.code, nullptr), reach);
        return reach;
    }
    int total = 1;
    for (int i = 0; i < set.count; ++i) total *= 12;
    for (int k = 0; k < total; ++k) {
        Rotamer r{"scan", {0, 0, 0, 0}};
        for (int i = 0, q = k; i < set.count; ++i, q /= 12) r.chi[i] = 30.0 * (q % 12);
        measure(ideal_residue(g.code, &r), reach);
    }
    return reach;
}

// Each value is the derived distance rounded up to 0.01 A, and a class the
// residue has no proton of takes the largest reach of the twenty.
TEST(ProtonReach, EveryValueFollowsFromTheIdealGeometry) {
    std::map<std::string, double> largest;
    std::map<std::string, Reaches> all;
    for (const ResidueGeometry& g : residue_geometries()) {
        all[g.name] = derived(g);
        for (const auto& [cls, d] : all[g.name]) largest[cls] = std::max(largest[cls], d);
    }
    // The amide proton, on the ideal helix, from its CA.
    const std::vector<BuiltAtom> helix = build_ideal_helix("AAAAA", 1);
    Vec h{}, ca{};
    for (const BuiltAtom& a : helix)
        if (a.number == 3 && (a.name == "H" || a.name == "CA")) (a.name == "H" ? h : ca) = {a.x, a.y, a.z};
    for (auto& [name, reach] : all)
        if (name != "PRO") reach["HN"] = largest["HN"] = distance(h, ca);
    for (const auto& [name, reach] : all)
        for (const char* cls : {"HN", "HA", "HB", "HG", "HD", "HE", "HZ", "HH"}) {
            const double d = reach.count(cls) ? reach.at(cls) : largest[cls];
            const double table = proton_reach(name, cls);
            EXPECT_GE(table + 1e-6, d) << name << " " << cls;
            EXPECT_LT(table, d + 0.01) << name << " " << cls;
        }
}

TEST(ProtonReach, NamesAreReadWithoutCaseOrBlanks) {
    const struct {
        const char* residue;
        const char* cls;
        float reach;
    } cases[] = {
        {"PHE", "HZ", 5.38f}, {" trp", "hh", 6.46f}, {"ARG ", "HH", 6.98f}, {"GLY", "HA", 1.09f},
        {"MSE", "HE", 5.06f},  // outside the twenty: Met's, the largest HE
        {"ALA", "HD", 3.49f},  // alanine has no HD: Ile's, the largest
        {"PRO", "HN", 2.15f},  // no amide proton, the others' reach
        {"LYS", "QB", 0.0f},  {"LYS", "", 0.0f}, {"", "HB", 2.17f}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(proton_reach(c.residue, c.cls), c.reach) << c.residue << c.cls;
}

}  // namespace
