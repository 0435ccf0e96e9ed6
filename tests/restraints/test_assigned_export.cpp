// The writers of assigned restraints (XPLOR/CNS, NEF) read back by the
// restraint readers.
#include <gtest/gtest.h>

#include "restraints/nef.h"
#include "restraints/proton_names.h"
#include "restraints/xplor.h"
#include "restraints/restraint_convert.h"
#include "restraints/to_nef.h"
#include "restraints/to_xplor.h"

namespace {

AssignedRestraint restraint(const std::string& chain1, const std::string& name1, bool wild1, const std::string& chain2,
                            const std::string& name2, bool wild2) {
    AssignedRestraint r;
    r.comment = "line 1: (resid 9 and name HG) {odd} ! text";
    r.end1 = {{chain1, 9, "LEU", name1, wild1}};
    r.end2 = {{chain2, -5, "GLN", name2, wild2}};
    r.distance = 6.84f, r.lower = 5.84f, r.upper = 8.34f;  // minus 1.0, plus 1.5
    return r;
}

// Each row: the ends as written and the classes the converter must read back.
struct NameCase {
    const char *name1, *name2;
    bool wild1, wild2;
    const char *class1, *class2;
};
const NameCase nameCases[] = {
    {"HN", "HA", false, false, "HN", "HA"},   // amide: as given in XPLOR, H in NEF
    {"HG", "HB", true, true, "HG", "HB"},     // HG#, HB% stand for every proton of the position
    {"HD1", "HG2", false, true, "HD", "HG"},  // HG2#: HG21, HG22, HG23
};

TEST(AssignedRestraints, BothFormatsReadBackWithChainsNamesAndBounds) {
    for (const NameCase& k : nameCases) {
        const std::vector<AssignedRestraint> list = {restraint("A", k.name1, k.wild1, "B", k.name2, k.wild2),
                                                     restraint("D", k.name1, k.wild1, "A", k.name2, k.wild2)};
        NefContent nef{"my run", "noebundle-analyze", "0.1", "2026-01-01T00:00:00",
                       {"A", "B", "C", "D"}, {{9, "LEU"}, {10, "GLN"}, {11, "ALA"}}, {"x"}};
        for (int format = 0; format < 2; ++format) {
            const std::string text = format == 0 ? xplor_table(list, {"heading"}) : nef_file(nef, list);
            Conversion c;
            ASSERT_TRUE((looks_like_star(text) ? read_nef(text, "f", c.input) : read_xplor(text, "f", c.input)).ok())
                << text;
            ASSERT_EQ(c.input.restraints.size(), 2u) << text;
            for (const char* linking : {" A 9 LEU start . .\n", " A 10 GLN middle . .\n", " D 11 ALA end . .\n"}) {
                EXPECT_EQ(text.find(linking) != std::string::npos, format == 1) << linking;
            }
            const InputRestraint& r = c.input.restraints[1];
            EXPECT_EQ(r.end1.choices.at(0).chain, "D");
            EXPECT_EQ(r.end2.choices.at(0).firstResidue, -5);
            EXPECT_NEAR(r.target, 6.84, 1e-5);
            EXPECT_NEAR(r.lower, 5.84, 1e-5);
            EXPECT_NEAR(r.upper, 8.34, 1e-5);
            map_restraints(ConvertOptions(), c);
            ASSERT_EQ(c.kept.size(), 1u) << text;  // the second is the same restraint on other chains
            EXPECT_EQ(c.kept[0].end1.protonClass, k.class1) << text;
            EXPECT_EQ(c.kept[0].end2.protonClass, k.class2) << text;
        }
    }
}

// The shortest NEF name of each class's protons in each of the twenty residues.
const char* const minimalNames[][2] = {
    {"ALA", "H HA HB%"}, {"ARG", "H HA HB% HG% HD% HE HH%"}, {"ASN", "H HA HB% HD2%"}, {"ASP", "H HA HB%"},
    {"CYS", "H HA HB% HG"}, {"GLN", "H HA HB% HG% HE2%"}, {"GLU", "H HA HB% HG%"}, {"GLY", "H HA%"},
    {"HIS", "H HA HB% HD% HE%"}, {"ILE", "H HA HB HG% HD1%"}, {"LEU", "H HA HB% HG HD%"}, {"SER", "H HA HB% HG"},
    {"LYS", "H HA HB% HG% HD% HE% HZ%"}, {"PHE", "H HA HB% HD% HE% HZ"}, {"PRO", "HA HB% HG% HD%"},
    {"MET", "H HA HB% HG% HE%"}, {"TRP", "H HA HB% HD1 HE% HZ% HH2"}, {"TYR", "H HA HB% HD% HE% HH"},
    {"THR", "H HA HB HG%"}, {"VAL", "H HA HB HG%"}};

TEST(AssignedRestraints, NefNamesAreTheMinimalWildcardsOfEveryResidue) {
    for (const auto& row : minimalNames) {
        std::vector<AssignedRestraint> list;
        for (const char* cls : {"HN", "HA", "HB", "HG", "HD", "HE", "HZ", "HH"}) {
            MinimalName m;
            if (!minimal_name(row[0], cls, m)) continue;
            list.push_back(restraint("A", "HA", false, "B", "HA", false));
            list.back().end1 = {{"A", 9, row[0], m.name, m.wildcard}};
        }
        RestraintInput in;
        ASSERT_TRUE(read_nef(nef_file({"x", "p", "1", "d", {"A", "B"}, {{9, row[0]}}, {}}, list), "f", in).ok());
        std::string names;
        for (const InputRestraint& r : in.restraints) names += (names.empty() ? "" : " ") + r.end1.choices.at(0).name;
        EXPECT_EQ(names, row[1]) << row[0];
    }
}

}  // namespace
