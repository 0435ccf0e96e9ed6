#include "model/rotamers.h"

#include <algorithm>

// Source: Lovell, Word, Richardson & Richardson (2000) "The penultimate
// rotamer library", Proteins 40, 389-408, Table II, at its modal chi values
// (m -65, t -177 or 180, p 62 unless the name says otherwise): for each
// residue type the rotamers with chi1 m or t (those alpha-helices allow),
// the one most frequent in helices first. The builder takes the first
// unless it clashes with the helix around it.
// The aromatic residues come first in their t rotamers (Phe and Tyr t80,
// Trp t-105), the other common helix rotamer: with m their ring protons
// come within 1.6 A of the carbonyl O four residues before on the ideal
// helix of ideal_geometry.h.
// Proline takes the library's C-gamma exo (-30/40) and endo (30/-35)
// puckers at -28/33 and 28/-33, where the ring closes with the bond lengths
// and angles of ideal_geometry.h (CD-N 1.474 A).
// Chi atoms as IUPAC-IUB (1970) Biochemistry 9, 3471 defines them.

namespace ideal {

namespace {

using Chi = std::array<const char*, 4>;
const Chi none = {nullptr, nullptr, nullptr, nullptr};
Chi chi1(const char* last) { return {"N", "CA", "CB", last}; }
const Chi cgcd = {"CA", "CB", "CG", "CD"}, cgcd1 = {"CA", "CB", "CG", "CD1"};

const std::vector<RotamerSet>& table() {
    static const std::vector<RotamerSet> t = {
        {'A', 0, {none, none, none, none}, {}},
        {'C', 1, {chi1("SG"), none, none, none}, {{"m", {-65}}, {"t", {-177}}}},
        {'D', 2, {chi1("CG"), Chi{"CA", "CB", "CG", "OD1"}, none, none},
         {{"m-20", {-70, -15}}, {"t0", {-177, 0}}, {"t70", {-177, 65}}}},
        {'E', 3, {chi1("CG"), cgcd, Chi{"CB", "CG", "CD", "OE1"}, none},
         {{"mm-40", {-65, -65, -40}}, {"mt-10", {-67, 180, -10}}, {"tt0", {-177, 180, 0}}}},
        {'F', 2, {chi1("CG"), cgcd1, none, none}, {{"t80", {-177, 80}}, {"m-85", {-65, -85}}, {"m-30", {-65, -30}}}},
        {'G', 0, {none, none, none, none}, {}},
        {'H', 2, {chi1("CG"), Chi{"CA", "CB", "CG", "ND1"}, none, none},
         {{"m-70", {-65, -70}}, {"t60", {-177, 60}}, {"t-160", {-177, -160}}}},
        {'I', 2, {chi1("CG1"), Chi{"CA", "CB", "CG1", "CD1"}, none, none},
         {{"mt", {-65, 170}}, {"mm", {-57, -60}}, {"tt", {-177, 170}}}},
        {'K', 4, {chi1("CG"), cgcd, Chi{"CB", "CG", "CD", "CE"}, Chi{"CG", "CD", "CE", "NZ"}},
         {{"mttt", {-65, 180, 180, 180}}, {"tttt", {-177, 180, 180, 180}}, {"mtmt", {-67, 180, -68, 180}}}},
        {'L', 2, {chi1("CG"), cgcd1, none, none}, {{"mt", {-65, 175}}, {"tp", {-177, 65}}}},
        {'M', 3, {chi1("CG"), Chi{"CA", "CB", "CG", "SD"}, Chi{"CB", "CG", "SD", "CE"}, none},
         {{"mmm", {-65, -65, -70}}, {"mtm", {-65, 180, -70}}, {"ttm", {-177, 180, -75}}}},
        {'N', 2, {chi1("CG"), Chi{"CA", "CB", "CG", "OD1"}, none, none},
         {{"m-20", {-65, -20}}, {"m-80", {-65, -75}}, {"t30", {-177, 30}}}},
        {'P', 2, {chi1("CG"), cgcd, none, none}, {{"Cg exo", {-28, 33}}, {"Cg endo", {28, -33}}}},
        {'Q', 3, {chi1("CG"), cgcd, Chi{"CB", "CG", "CD", "OE1"}, none},
         {{"mm-40", {-65, -65, -40}}, {"mt-30", {-67, 180, -25}}, {"tt0", {-177, 180, 0}}}},
        {'R', 4, {chi1("CG"), cgcd, Chi{"CB", "CG", "CD", "NE"}, Chi{"CG", "CD", "NE", "CZ"}},
         {{"mtt180", {-65, 180, 180, 180}}, {"ttt180", {-177, 180, 180, 180}}, {"mmt180", {-65, -65, 180, 180}}}},
        {'S', 1, {chi1("OG"), none, none, none}, {{"m", {-65}}, {"t", {-177}}}},
        {'T', 1, {chi1("OG1"), none, none, none}, {{"m", {-65}}, {"t", {-177}}}},
        {'V', 1, {chi1("CG1"), none, none, none}, {{"t", {175}}, {"m", {-60}}}},
        {'W', 2, {chi1("CG"), cgcd1, none, none}, {{"t-105", {-177, -105}}, {"m95", {-65, 95}}, {"t90", {-177, 90}}}},
        {'Y', 2, {chi1("CG"), cgcd1, none, none}, {{"t80", {-177, 80}}, {"m-85", {-65, -85}}, {"m-30", {-65, -30}}}},
    };
    return t;
}

}  // namespace

const RotamerSet* helix_rotamers(char code) {
    const auto& t = table();
    auto it = std::find_if(t.begin(), t.end(), [code](const RotamerSet& r) { return r.code == code; });
    return it == t.end() ? nullptr : &*it;
}

}  // namespace ideal
