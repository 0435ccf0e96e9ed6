// The ideal helix against its own tables: bonds, angles, ring closures,
// chi angles and contacts.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "model/helix_builder.h"
#include "model/ideal_geometry.h"
#include "geometry/place.h"
#include "model/rotamers.h"

using namespace ideal;

namespace {

// Users' helices (glycophorin A 70-95, the GCN4 and CC-Pent coiled coils),
// and every residue type once, with proline where helices have it, first.
const char* const sequences[] = {"ITLIIFGVMAGVIGTILLISYGIRRL", "RMKQLEDKVEELLSKNYHLENEVARLKKLVG",
                                 "GKIEQILQKIEKILQKIEWILQKIEQILQG", "PACDEFGHIKLMNQRSTVWY"};

struct Built {
    std::vector<BuiltAtom> atoms;
    std::map<std::pair<int, std::string>, int> index;  // (residue, name) -> atom
    Vec at(int residue, const std::string& name) const {
        const BuiltAtom& a = atoms.at(index.at({residue, name}));
        return {a.x, a.y, a.z};
    }
    bool has(int residue, const std::string& name) const { return index.count({residue, name}) > 0; }
};

Built build(const std::string& sequence) {
    Built b{build_ideal_helix(sequence, 1), {}};
    for (std::size_t i = 0; i < b.atoms.size(); ++i) b.index[{b.atoms[i].number, b.atoms[i].name}] = int(i);
    return b;
}

// The bonds that close the rings, at Engh & Huber's lengths.
const struct { char code; const char *x, *y; double length; } rings[] = {
    {'P', "CD", "N", 1.473},    {'F', "CE2", "CZ", 1.382},  {'Y', "CE2", "CZ", 1.378},
    {'W', "NE1", "CE2", 1.370}, {'W', "CZ3", "CH2", 1.400}, {'H', "CE1", "NE2", 1.321}};

// Every bond of the helix: the backbone's, the table's, the ring closures.
std::vector<std::pair<int, int>> bonds(const Built& b, const std::string& sequence) {
    std::vector<std::pair<int, int>> out;
    auto bond = [&](int r, const char* x, int s, const char* y) {
        if (b.has(r, x) && b.has(s, y)) out.push_back({b.index.at({r, x}), b.index.at({s, y})});
    };
    const int n = int(sequence.size());
    for (int r = 1; r <= n; ++r) {
        for (const auto& [x, y] : {std::pair{"N", "CA"}, {"CA", "C"}, {"C", "O"}, {"C", "OXT"}, {"N", "H"}}) bond(r, x, r, y);
        if (r < n) bond(r, "C", r + 1, "N");
        for (const InternalAtom& a : residue_geometry(sequence[r - 1])->atoms) bond(r, a.parent, r, a.name);
        for (const auto& ring : rings)
            if (ring.code == sequence[r - 1]) bond(r, ring.x, r, ring.y);
    }
    return out;
}

TEST(HelixBuilder, BondsAndAnglesAreTheTables) {
    const Backbone& bb = backbone();
    for (const std::string sequence : sequences) {
        const Built b = build(sequence);
        const int n = int(sequence.size());
        for (int r = 1; r <= n; ++r) {
            SCOPED_TRACE(sequence + " residue " + std::to_string(r));
            EXPECT_NEAR(distance(b.at(r, "N"), b.at(r, "CA")), bb.nCa, 0.02);
            EXPECT_NEAR(distance(b.at(r, "CA"), b.at(r, "C")), bb.caC, 0.02);
            EXPECT_NEAR(distance(b.at(r, "C"), b.at(r, "O")), bb.cO, 0.02);
            EXPECT_NEAR(bond_angle(b.at(r, "N"), b.at(r, "CA"), b.at(r, "C")), bb.nCaC, 2);
            EXPECT_NEAR(bond_angle(b.at(r, "CA"), b.at(r, "C"), b.at(r, "O")), bb.caCO, 2);
            if (r < n) {
                EXPECT_NEAR(distance(b.at(r, "C"), b.at(r + 1, "N")), bb.cN, 0.02);
                EXPECT_NEAR(bond_angle(b.at(r, "CA"), b.at(r, "C"), b.at(r + 1, "N")), bb.caCN, 2);
                EXPECT_NEAR(bond_angle(b.at(r, "C"), b.at(r + 1, "N"), b.at(r + 1, "CA")), bb.cNCa, 2);
            }
            for (const InternalAtom& a : residue_geometry(sequence[r - 1])->atoms) {
                SCOPED_TRACE(a.name);
                const Vec p = b.at(r, a.name), parent = b.at(r, a.parent);
                EXPECT_NEAR(distance(p, parent), a.bond, 0.02);
                EXPECT_NEAR(bond_angle(b.at(r, a.angleAtom), parent, p), a.angle, 2);
                if (a.kind == Dihedral::chiralPlus || a.kind == Dihedral::chiralMinus) {
                    EXPECT_NEAR(bond_angle(b.at(r, a.dihedralAtom), parent, p), a.value, 2);
                }
            }
            for (const auto& ring : rings)
                if (ring.code == sequence[r - 1]) {
                    EXPECT_NEAR(distance(b.at(r, ring.x), b.at(r, ring.y)), ring.length, 0.02) << ring.x;
                }
        }
    }
}

TEST(HelixBuilder, NoAtomsCloserThanTwoAngstromUnlessBondedOr13) {
    for (const std::string sequence : sequences) {
        const Built b = build(sequence);
        std::vector<std::set<int>> next(b.atoms.size());
        for (const auto& [i, j] : bonds(b, sequence)) next[i].insert(j), next[j].insert(i);
        for (std::size_t i = 0; i < b.atoms.size(); ++i)
            for (std::size_t j = i + 1; j < b.atoms.size(); ++j) {
                const Vec p = b.at(b.atoms[i].number, b.atoms[i].name), q = b.at(b.atoms[j].number, b.atoms[j].name);
                if (distance(p, q) >= 2.0 || next[i].count(int(j))) continue;
                bool oneThree = false;
                for (int k : next[i]) oneThree |= next[k].count(int(j)) > 0;
                EXPECT_TRUE(oneThree) << sequence << ": " << b.atoms[i].name << " " << b.atoms[i].number << " and "
                                      << b.atoms[j].name << " " << b.atoms[j].number << " " << distance(p, q);
            }
    }
}

// The index of the table's rotamer residue r takes, as a digit; '-' for a
// residue without rotamers, '?' for chi angles of none of them.
char rotamer_taken(const Built& b, const std::string& sequence, int r) {
    const RotamerSet* set = helix_rotamers(sequence[r - 1]);
    if (set->rotamers.empty()) return '-';
    for (std::size_t i = 0; i < set->rotamers.size(); ++i) {
        bool same = true;
        for (int k = 0; k < set->count; ++k) {
            const auto& names = set->atoms[k];
            const double chi = dihedral(b.at(r, names[0]), b.at(r, names[1]), b.at(r, names[2]), b.at(r, names[3]));
            same &= std::abs(std::remainder(chi - set->rotamers[i].chi[k], 360.0)) < 0.01;
        }
        if (same) return char('0' + i);
    }
    return '?';
}

TEST(HelixBuilder, ChiAnglesAreTheRotamerTables) {
    // Between alanines every residue takes its most frequent helix rotamer.
    for (const char code : std::string("FKPWITVE")) {
        const std::string sequence = std::string("AAAA") + code + "AAAA";
        EXPECT_EQ(rotamer_taken(build(sequence), sequence, 5), '0') << code;
    }
}

TEST(HelixBuilder, FirstOfEquallyClashingRotamersIsKept) {
    // The rotamer each residue takes (0-9 in its table's order, '-' for none):
    // in crowded sequences another of its table's; where several clash equally
    // little the first is kept, which decides GCN4's Arg 25 and BM2's His 27.
    const std::pair<const char*, const char*> cases[] = {
        {"RMKQLEDKVEELLSKNYHLENEVARLKKLVG", "00000000000000000000200-101000-"},
        {"MLEPFQILSISSFILSALHFIAWTIGHLNQIKR", "0000000000000000-0000-000-1000000"},
        {sequences[0], "000000-00--00-0000000-0010"}, {sequences[2], "-0000000000000000000001000000-"},
        {sequences[3], "0-0000-0010000000000"},
    };
    for (const auto& [sequence, expected] : cases) {
        const Built b = build(sequence);
        std::string taken;
        for (int r = 1; r <= int(std::string(sequence).size()); ++r) taken += rotamer_taken(b, sequence, r);
        EXPECT_EQ(taken, expected) << sequence;
    }
}

TEST(HelixBuilder, NamesAreThePdbs) {
    const Built b = build("AGVLW");
    std::vector<std::string> names;
    for (const BuiltAtom& a : b.atoms)
        if (a.number == 2 || a.number == 3) names.push_back(a.name);
    EXPECT_EQ(names, (std::vector<std::string>{"N", "CA", "C", "O", "H", "HA2", "HA3", "N", "CA", "C", "O", "CB", "CG1",
                                               "CG2", "H", "HA", "HB", "HG11", "HG12", "HG13", "HG21", "HG22", "HG23"}));
    EXPECT_EQ(b.atoms.back().name, "HH2");
    // L-residues, and the glycine protons as 1AFO names them: HA2 where the
    // HA of the others is, HA3 where their CB is.
    EXPECT_NEAR(dihedral(b.at(3, "C"), b.at(3, "N"), b.at(3, "CA"), b.at(3, "CB")), -122, 3);
    EXPECT_NEAR(dihedral(b.at(2, "C"), b.at(2, "N"), b.at(2, "CA"), b.at(2, "HA2")), 120, 3);
    EXPECT_NEAR(std::remainder(dihedral(b.at(3, "N"), b.at(3, "CA"), b.at(3, "CB"), b.at(3, "CG2")) -
                                   dihedral(b.at(3, "N"), b.at(3, "CA"), b.at(3, "CB"), b.at(3, "CG1")), 360.0),
                120, 1);
    const std::string text = helix_pdb_text(build_ideal_helix("AAAAA", -3));
    EXPECT_EQ(text.substr(0, 80),
              "ATOM      1  N   ALA A  -3       0.000   0.000   0.000  1.00  0.00           N  ");
}

}  // namespace
