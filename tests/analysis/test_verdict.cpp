// The verdict's line and the cross peaks that would decide, on synthetic clusters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/decisive_pairs.h"
#include "analysis/verdict.h"
#include "formats/restraint.h"
#include "support.h"

namespace {

TEST(Verdict, LineSaysWhetherTheRestraintsDecide) {
    struct Case {
        long long allowed;
        std::vector<double> angles, apart;  // per cluster
        const char* line;
        float delta = 0.05f;  // of structure 1
    } cases[] = {
        {1234, {-40.0}, {0},
         "The restraints decide the bundle: all 1234 placements that fit them lie within 1.7 \xC3\x85 of structure 1"},
        {1, {-40.0}, {0}, "The restraints decide the bundle: structure 1 is the only placement that fits them"},
        {1234, {-40.04, 21.96}, {0, 5.26},
         "Warning: the restraints do not decide the bundle: 1234 placements fit them equally, in 2 clusters "
         "(crossing angles -40.0\xC2\xB0, 22.0\xC2\xB0; up to 5.3 \xC3\x85 apart)"},
        {9, {1, 2, 3, 4, 5, 6, 7}, {0, 1, 9, 1, 1, 1, 1},
         "Warning: the restraints do not decide the bundle: 9 placements fit them equally, in 7 clusters (crossing "
         "angles 1.0\xC2\xB0, 2.0\xC2\xB0, 3.0\xC2\xB0, 4.0\xC2\xB0, 5.0\xC2\xB0, 6.0\xC2\xB0, ...; up to 9.0 \xC3\x85 apart)"},
        {9, {1, 2, 3, 4, 5, 6}, {0, 1, 9, 1, 1, 1},
         "Warning: the restraints do not decide the bundle: 9 placements fit them equally, in 6 clusters (crossing "
         "angles 1.0\xC2\xB0, 2.0\xC2\xB0, 3.0\xC2\xB0, 4.0\xC2\xB0, 5.0\xC2\xB0, 6.0\xC2\xB0; up to 9.0 \xC3\x85 apart)"},
        {189, {30.0}, {0},
         "Warning: the restraints do not decide the bundle: no placement meets them all (best Delta 0.051 \xC3\x85); "
         "the 189 that fit them as well lie within 1.7 \xC3\x85 of structure 1, but a restraint or the helix's shape "
         "may be wrong",
         0.051f},
        {189, {30.0}, {0},  // beyond the tolerance by more than the millionth that ties scores
         "Warning: the restraints do not decide the bundle: no placement meets them all (best Delta 0.050 \xC3\x85); "
         "the 189 that fit them as well lie within 1.7 \xC3\x85 of structure 1, but a restraint or the helix's shape "
         "may be wrong",
         0.050005f}};
    for (const Case& c : cases) {
        Verdict v;
        v.set.allowed = c.allowed;
        for (std::size_t k = 0; k < c.angles.size(); ++k) {
            ClusterView view;
            view.cluster.spread = 1.734;
            view.cluster.delta = c.delta;
            view.geometry.crossingAngle = c.angles[k];
            view.cluster.toFirst = c.apart[k];
            v.set.clusters.push_back(view.cluster);
            v.clusters.push_back(view);
        }
        EXPECT_EQ(verdict_text(v), c.line);
        EXPECT_EQ(v.decided(), std::string(c.line).rfind("The restraints decide", 0) == 0) << c.line;
    }
}

// A line per cluster: angles and axis distances to one decimal, a measure
// that does not exist (NaN) in words, a single placement in the singular.
TEST(Verdict, ClusterLinesGiveEachRepresentativesGeometry) {
    Verdict v;
    ClusterView first, second;
    first.cluster.population = 3;
    first.cluster.delta = 0.01f;
    first.cluster.row[3] = 7.5f;
    first.geometry.crossingAngle = -35.66;
    first.geometry.axisDistance = 6.917;
    first.interface = {70, 74};
    second.cluster.population = 1;
    second.cluster.delta = 0.04f;
    second.cluster.row[3] = 11.0f;
    second.geometry.crossingAngle = second.geometry.axisDistance = std::nan("");
    v.clusters = {first, second};
    EXPECT_EQ(cluster_lines(v),
              (std::vector<std::string>{"  cluster 1: 3 placements, Delta 0.010, crossing angle -35.7\xC2\xB0, axis "
                                        "distance 6.9 \xC3\x85, radius 7.500 \xC3\x85, interface 70,74",
                                        "  cluster 2: 1 placement, Delta 0.040, crossing angle undefined, axis distance "
                                        "undefined, radius 11.000 \xC3\x85, interface none"}));
}

// Without the search's file, the set comes from the ranked candidates within
// the tolerance, clustered by the CA atoms of the whole oligomer.
TEST(Verdict, AllowedSetFromTheRankingWithoutTheSearchsFile) {
    const Template tmpl = read_template(EXAMPLES_DIR "/bm2-prepared/origin.pdb");
    const CandidateTable ranked = {{2.312f, 0.448f, -3.062f, 7.682f, 0, 0},
                                   {2.312f, 0.448f, -2.862f, 7.682f, 0, 0},  // turned 0.2 rad: the same bundle
                                   {2.312f, 0.448f, -3.062f, 11.0f, 0, 0},   // a wider ring
                                   {0.3f, 1.2f, 0.5f, 7.682f, 0, 0}};        // above the tolerance
    const AllowedSet set = allowed_from_ranking(tmpl, ranked, {0.1f, 0.12f, 0.15f, 0.151f}, 4, 0.05, 2.0);
    ASSERT_EQ(set.allowed * 10 + set.clusters.size(), 32u);
    EXPECT_EQ(set.clusters[0].population * 10 + set.clusters[1].population, 21);
    EXPECT_FLOAT_EQ(set.clusters[1].row[3], 11.0f);
    EXPECT_NEAR(set.clusters[0].spread, 0.990, 0.001);  // of the CA atoms; the other atoms give 1.072
    EXPECT_GT(set.clusters[1].toFirst, 3.0);
}

std::string atom_line(const std::string& name, int residue, const char* element) {
    char text[81];
    std::snprintf(text, sizeof text, "ATOM      1 %-4s ALA A%4d       0.000   0.000   0.000  1.00  0.00          %2s",
                  (name.size() < 4 ? " " + name : name).c_str(), residue, element);
    return text;
}

// Two clusters of 3 and 1 placements of a trimer; protomer 1 the same in both.
// Heavy atoms and pairs never under 5 A are no suggestion; HG21 and HG22
// give one line, kept by the first name; the pair whose end on protomer 1
// comes later is named from the last protomer (C). A pair whose restraint
// holds where its protons lie far apart decides nothing; one that would
// overturn structure 1 comes before one that would confirm it.
TEST(DecisivePairs, RankedBySplitOfThePopulationOneLineEach) {
    const struct { const char* name; int residue; const char* element; Point p1, a, b; } atoms[] = {
        {"H", 1, "H", {0, 0, 0}, {200, 8, 0}, {200, 4, 0}},
        {"HA", 2, "H", {100, 0, 0}, {0, 4, 0}, {0, 8, 0}},
        {"HG21", 3, "H", {200, 0, 0}, {0, 6, 0}, {0, 9, 0}},
        {"HG22", 3, "H", {200, 0, 1}, {1000, 0, 0}, {2000, 0, 0}},
        {"CB", 3, "C", {400, 0, 0}, {0, 0, 0.1f}, {500, 0, 0}}};
    Template tmpl;
    Oligomer a(3), b(3);
    for (const auto& x : atoms) {
        tmpl.lines.push_back(atom_line(x.name, x.residue, x.element));
        tmpl.points.push_back(x.p1);
        a[0].push_back(x.p1), b[0].push_back(x.p1);
        a[1].push_back(x.a), b[1].push_back(x.b);
        a[2].push_back({-999, 0, 0}), b[2].push_back({-999, 0, 0});
    }
    const struct { const char* line; const char *proton1, *proton2, *neighbour; double d0, d1; } expected[] = {
        {"(resid 1 and name HN) (resid 3 and name HG)", "H", "HG21", "C", 8, 4},  // far in structure 1's cluster
        {"(resid 1 and name HN) (resid 2 and name HA)", "H", "HA", "B", 4, 8}};
    const std::vector<int> resNum{1, 2, 3};
    const auto violated = [](bool hg) {  // every far restraint violated, or the HG line's never
        return [hg](const std::string& line) { return std::vector<bool>(2, hg || line.find("HG") == std::string::npos); };
    };
    EXPECT_EQ(decisive_pairs(tmpl, resNum, {a, b}, {3, 1}, violated(false)).size(), 1u);
    const std::vector<DecisivePair> found = decisive_pairs(tmpl, resNum, {a, b}, {3, 1}, violated(true));
    ASSERT_EQ(found.size(), std::size(expected));
    for (std::size_t k = 0; k < found.size(); ++k) {
        const DecisivePair& p = found[k];
        EXPECT_EQ(p.line, expected[k].line);
        EXPECT_EQ(p.proton1 + " " + p.proton2 + " " + p.neighbour,
                  std::string(expected[k].proton1) + " " + expected[k].proton2 + " " + expected[k].neighbour);
        EXPECT_DOUBLE_EQ(p.split, 0.25);
        EXPECT_NEAR(p.distances[0], expected[k].d0, 1e-5);
        EXPECT_NEAR(p.distances[1], expected[k].d1, 1e-5);
        // The run's own reader takes the line, the residues and classes as named.
        std::string line = p.line;
        const float bounds[3] = {6, 7, 8};
        RestraintLine parsed;
        ASSERT_TRUE(parse_restraint_line(line, "noe", resNum, bounds, bounds, parsed).ok()) << p.line;
        EXPECT_EQ(resNum[parsed.resIndex1], p.residue1);
        EXPECT_EQ(parsed.proton2, p.proton2.substr(0, 2));
    }
}

// Three clusters of a dimer, one placement each. The HA and HB lines both
// put cluster 2 alone beyond 7 A, so the second says nothing new and is
// left out; the line that puts cluster 3 there is kept.
TEST(DecisivePairs, EachSuggestionPartsTheClustersAnotherWay) {
    const struct { const char* name; int residue; Point p1, a, b, c; } atoms[] = {
        {"H", 1, {0, 0, 0}, {-999, 0, 0}, {-999, 0, 0}, {-999, 0, 0}},
        {"HA", 2, {100, 0, 0}, {0, 4, 0}, {0, 8, 0}, {0, 4, 0}},
        {"HB", 3, {200, 0, 0}, {4, 0, 0}, {8, 0, 0}, {4, 0, 0}},
        {"HA", 4, {300, 0, 0}, {0, 0, 4}, {0, 0, 4}, {0, 0, 8}}};
    Template tmpl;
    Oligomer a(2), b(2), c(2);
    for (const auto& x : atoms) {
        tmpl.lines.push_back(atom_line(x.name, x.residue, "H"));
        tmpl.points.push_back(x.p1);
        a[0].push_back(x.p1), b[0].push_back(x.p1), c[0].push_back(x.p1);
        a[1].push_back(x.a), b[1].push_back(x.b), c[1].push_back(x.c);
    }
    const auto everyFarOneViolated = [](const std::string&) { return std::vector<bool>(3, true); };
    const std::vector<DecisivePair> found = decisive_pairs(tmpl, {1, 2, 3, 4}, {a, b, c}, {1, 1, 1}, everyFarOneViolated);
    ASSERT_EQ(found.size(), 2u);
    std::vector<int> farCluster;
    for (const DecisivePair& p : found)
        for (int k = 0; k < 3; ++k)
            if (p.distances[k] > 7.0) farCluster.push_back(k);
    std::sort(farCluster.begin(), farCluster.end());
    EXPECT_EQ(farCluster, (std::vector<int>{1, 2}));
}

}  // namespace
