// The search's physical rules: backbone clashes, one of two mirror twins,
// equal scores ordered by packing energy, and the landscape of the half grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "run/superpose.h"
#include "search/allowed.h"
#include "search/contacts.h"
#include "search/landscape.h"
#include "run/oligomer.h"
#include "run/parallel.h"
#include "search/search.h"
#include "support.h"
#include "base/text.h"

namespace {

CandidateRow placement(float phi, float theta, float psi, float radius) { return {phi, theta, psi, radius, 0, 0}; }

const std::vector<CandidateRow> placements = {
    placement(2.312f, 0.448f, -3.062f, 7.682f), placement(0, 0, 0, 3), placement(1.0f, 0.3f, 2.0f, 5.5f),
    placement(4.0f, 1.2f, 0.5f, 6.0f), placement(5.5f, 2.8f, 1.0f, 9.0f), placement(0.3f, 1.571f, 4.4f, 12.0f)};

TEST(Contacts, AtomKindsFromNameAndElement) {
    const struct {
        const char* name;
        const char* element;
        bool backbone, heavy;
        float radius;
    } table[] = {{" N  ", " N", true, true, 1.55f},   {" CA ", " C", true, true, 1.70f},
                 {" O  ", " O", true, true, 1.52f},   {" CB ", " C", false, true, 1.70f},
                 {" HA ", " H", false, false, 0},     {"1HB ", "  ", false, false, 0},
                 {" CG ", "  ", false, true, 1.70f},  {" D  ", " D", false, false, 0},
                 {" SD ", " S", false, true, 1.80f},  {" OG ", "  ", false, true, 1.52f}};
    std::vector<std::string> lines;
    for (const auto& row : table)
        lines.push_back(std::string("ATOM      1 ") + row.name + " LEU A   1      " + std::string(24, '0') +
                        "  1.00  0.00          " + row.element);
    const AtomKinds kinds = atom_kinds(lines);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(bool(kinds.backbone[i]), table[i].backbone) << table[i].name;
        EXPECT_EQ(bool(kinds.heavy[i]), table[i].heavy) << table[i].name;
        EXPECT_EQ(kinds.radius[i], table[i].radius) << table[i].name;
    }
    EXPECT_TRUE(kinds.sideChains);  // the CG
    lines.resize(6);  // the backbone, CB and hydrogens
    EXPECT_FALSE(atom_kinds(lines).sideChains);
}

// Heavy atoms repel from 0.2 A beyond van der Waals contact, by element:
// carbons packed as closely as hydrogen-bonded oxygens pay for it.
TEST(Contacts, RepulsionStartsBeyondVanDerWaalsContact) {
    const struct {
        const char *name1, *name2;
        float d;
        double energy;  // -1 for the contact, plus 100 (start - d)^2
    } table[] = {{" CD1", " CD1", 3.55f, -1 + 100 * 0.05 * 0.05},  // two carbons: from 3.6 A
                 {" CD1", " CD1", 3.65f, -1},
                 {" OG ", " OG ", 3.0f, -1 + 100 * 0.24 * 0.24},   // two oxygens: from 3.24 A
                 {" OG ", " OG ", 3.3f, -1},
                 {" NZ ", " OG ", 3.0f, -1 + 100 * 0.27 * 0.27},   // a nitrogen and an oxygen: 3.27 A
                 {" SD ", " CD1", 3.6f, -1 + 100 * 0.1 * 0.1},     // a sulphur and a carbon: 3.7 A
                 {" CD1", " OG ", 5.45f, -1},                      // a contact to 5.5 A
                 {" CD1", " OG ", 5.5f, 0}};                       // and no further
    for (const auto& t : table) {
        std::vector<std::string> lines;
        for (const char* name : {t.name1, t.name2}) {
            std::string line = std::string("ATOM      1 ") + name + " LEU A   1      " + std::string(24, '0');
            line.resize(76, ' ');  // the element in columns 77-78
            lines.push_back(line + ' ' + name[1]);
        }
        const AtomKinds kinds = atom_kinds(lines);
        // Protomer 1's first atom meets the other's second, 60 A from everything else.
        const std::vector<std::vector<Point>> pair = {{Point{0, 0, 0}, Point{-60, 0, 0}},
                                                      {Point{60, 0, 0}, Point{t.d, 0, 0}}};
        EXPECT_NEAR(packing_energy(packing_units(pair, kinds)), t.energy, 1e-5) << t.name1 << t.name2 << t.d;
    }
}

// The steric rule against the tightest contact of the real bundles shipped:
// glycophorin A's glycine contact, a CA of one helix against a carbonyl O of
// the other (2.86 to 3.70 A over the 20 NMR models of 1AFO). No model
// clashes; pressed 0.1 A closer at that contact, the closest one does.
// Radii draw a line that one distance for every pair cannot: two CA clash
// at 2.9 A, a CA and an O do not.
TEST(Contacts, BackboneClashByVanDerWaalsOverlap) {
    std::vector<std::vector<std::vector<Point>>> models;  // model, chain A and B, atom
    std::vector<std::string> chainA;
    for (const std::string& line : lines_of(read_text(EXAMPLES_DIR "/gpa/1afo.pdb"))) {
        if (line.rfind("MODEL", 0) == 0) models.push_back({{}, {}});
        if (line.rfind("ATOM", 0) != 0 || models.empty()) continue;
        models.back()[line[21] == 'A' ? 0 : 1].push_back(pdb_point(line));
        if (models.size() == 1 && line[21] == 'A') chainA.push_back(line);
    }
    ASSERT_EQ(models.size(), 20u);
    const AtomKinds kinds = atom_kinds(chainA);
    std::size_t closest = 0, atomA = 0, atomB = 0;
    float shortest = 99;
    for (std::size_t m = 0; m < models.size(); ++m) {
        ASSERT_EQ(models[m][1].size(), chainA.size());
        EXPECT_FALSE(backbones_clash(models[m], kinds)) << "model " << m + 1;
        for (std::size_t i = 0; i < chainA.size(); ++i)
            for (std::size_t j = 0; j < chainA.size(); ++j)
                if (kinds.backbone[i] && kinds.backbone[j] && distance(models[m][0][i], models[m][1][j]) < shortest)
                    shortest = distance(models[m][0][i], models[m][1][j]), closest = m, atomA = i, atomB = j;
    }
    EXPECT_NEAR(shortest, 2.86f, 0.005f);
    EXPECT_EQ(kinds.radius[atomA] + kinds.radius[atomB], 1.70f + 1.52f);  // a CA and an O
    std::vector<std::vector<Point>> pressed = models[closest];
    const Point& a = pressed[0][atomA];
    const Point& b = pressed[1][atomB];
    const float step = 0.1f / shortest, dx = (a.x - b.x) * step, dy = (a.y - b.y) * step, dz = (a.z - b.z) * step;
    for (Point& p : pressed[1]) p = {p.x + dx, p.y + dy, p.z + dz};
    EXPECT_TRUE(backbones_clash(pressed, kinds));
    // Two CA 2.9 A apart clash; a CA and an O as far apart do not.
    const std::vector<std::string> caAndO = {chainA[1], chainA[3]};
    ASSERT_EQ(caAndO[1].substr(12, 4), " O  ");
    const AtomKinds two = atom_kinds(caAndO);
    EXPECT_TRUE(backbones_clash({{Point{0, 0, 0}, Point{50, 0, 0}}, {Point{2.9f, 0, 0}, Point{60, 0, 0}}}, two));
    EXPECT_FALSE(backbones_clash({{Point{0, 0, 0}, Point{50, 0, 0}}, {Point{60, 0, 0}, Point{2.9f, 0, 0}}}, two));
}

// (phi + pi, pi - theta, pi - psi) is the oligomer turned 180 degrees about
// x with protomers k and N - k swapped; the grid keeps one of each pair.
TEST(Twins, SameOligomerUpToTheSwapAndOneOfEachOnTheGrid) {
    const Template tmpl = read_template(EXAMPLES_DIR "/bm2-prepared/origin.pdb");
    for (const CandidateRow& row : placements) {
        const float pi = float(M_PI);
        const CandidateRow twin =
            placement(std::fmod(row[0] + pi, 2 * pi), pi - row[1], std::fmod(3 * pi - row[2], 2 * pi), row[3]);
        const auto a = place_oligomer(tmpl.points, row, 4), b = place_oligomer(tmpl.points, twin, 4);
        for (int k = 0; k < 4; ++k)
            for (std::size_t i = 0; i < tmpl.points.size(); ++i) {
                const Point p = a[(4 - k) % 4][i], q = b[k][i];
                ASSERT_LT(std::hypot(q.x - p.x, q.y + p.y, q.z + p.z), 1e-3) << k << " " << i;
            }
    }
    for (int step : {5, 30}) {
        const Grid g = make_grid(step, 5, 5, 1);
        const std::size_t nPhi = g.phi.size(), nTheta = g.theta.size();
        for (std::size_t p = 0; p < nPhi; ++p)
            for (std::size_t t = 0; t < nTheta; ++t)
                EXPECT_NE(g.one_twin(p, t), g.one_twin((p + nPhi / 2) % nPhi, nTheta - 1 - t)) << step;
    }
    const Grid seven = make_grid(7, 5, 5, 1);  // no 90 degrees: theta 0 to 84
    EXPECT_TRUE(seven.one_twin(51, 12));
    EXPECT_FALSE(seven.one_twin(0, 13));
}

// Leaders in the kept order, each member within the cutoff of its leader and
// of no earlier one; a short kept list then holds every leader it can.
void check_allowed_clusters(SearchResult r, const Grid& grid, const Template& tmpl) {
    const double cutoff = 1.5;
    const AllowedClusters clusters = cluster_allowed(r, grid, tmpl, 4, cutoff);
    ASSERT_GE(clusters.set.clusters.size(), 2u);
    std::vector<Point> ca;
    for (std::size_t i = 0; i < tmpl.lines.size(); ++i)
        if (cut(tmpl.lines[i], 12, 4) == " CA ") ca.push_back(tmpl.points[i]);
    std::vector<Oligomer> leaders;
    long long members = 0;
    std::size_t joinedAnother = 0;  // members put with a leader other than the first within the cutoff
    for (std::size_t i = 0; i < r.allowed.size(); ++i) {
        const Hit& h = r.allowed[i];
        const Oligomer placed = place_oligomer(ca, grid.row(h.index), 4);
        std::size_t k = 0;
        while (k < leaders.size() && best_assignment(leaders[k], placed).rmsd > cutoff) ++k;
        if (k == leaders.size()) {
            ASSERT_EQ(clusters.representatives.at(k).index, h.index);
            leaders.push_back(placed);
        }
        joinedAnother += clusters.memberOf.at(i) != static_cast<int>(k);
    }
    EXPECT_EQ(joinedAnother, 0u);
    for (const AllowedCluster& c : clusters.set.clusters) members += c.population;
    EXPECT_EQ(leaders.size(), clusters.set.clusters.size());
    EXPECT_EQ(members, clusters.set.allowed);
    r.best.resize(2);
    keep_representatives(clusters.representatives, grid, r);
    EXPECT_EQ(r.best[0].index, clusters.representatives[0].index);
    EXPECT_EQ(r.best[1].index, clusters.representatives[1].index);
    EXPECT_EQ(r.rows[1], grid.row(r.best[1].index));
}

class RulesOnBM2 : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(load_bm2_example(in, 4)); }
    Inputs in;
};

// The kept list against every placement, with the rules written out plainly:
// scores equal to the millionth, then lower packing energy, then grid order;
// clashing backbones out. With all 21 restraints and with one (sparse: many
// placements tie at the top and with the last one kept), on 1 and 2 threads.
TEST_F(RulesOnBM2, KeptListAndClashCountAgainstEveryPlacement) {
    const Grid grid = make_grid(60, 5, 9, 1);
    const Template tmpl = read_template(EXAMPLES_DIR "/bm2-prepared/origin.pdb");
    const AtomKinds kinds = atom_kinds(tmpl.lines);
    const ContactModel model(tmpl, 4);
    TempDir dir;
    const std::vector<std::string> noe = lines_of(read_text(in.param.noeFile));
    write_text(dir.file("one.noe"), noe[0] + "\n" + noe[0] + "\n" + noe[0] + "\n");  // the fewest a file holds
    using Plain = std::tuple<double, double, std::uint64_t>;  // millionths of the score, packing, grid index
    for (const int restraints : {21, 1}) {
        Inputs sparse = in;
        if (restraints == 1) {
            sparse.res = Restraint{};
            sparse.param.noeFile = dir.file("one.noe");
            ASSERT_TRUE(load_inputs(sparse));
        }
        ASSERT_EQ(sparse.res.numRestraint, restraints == 1 ? 3 : 21);
        const Scorer scorer(sparse.helix, sparse.res, 4);
        Scorer::Scratch scratch = scorer.scratch();
        std::vector<Plain> all;
        std::vector<double> clashing;
        for (std::uint64_t i = 0; i < grid.size(); ++i) {
            const CandidateRow row = grid.row(i);
            if (row[1] > 1.5715f || (row[1] > 1.5705f && row[0] > 3.1415f)) continue;  // the other twin
            const double score = std::floor(double(scorer.score(row, scratch)) * 1e6);
            const Oligomer placed = place_oligomer(tmpl.points, row, 4);
            if (backbones_clash(placed, kinds)) clashing.push_back(score);
            else all.push_back({score, packing_energy(packing_units(placed, kinds)), i});
        }
        std::sort(all.begin(), all.end());  // in that order
        // Sparse: the list ends two places into a group of eight or more tied placements.
        std::size_t keep = 40;
        if (restraints == 1) {
            std::size_t group = 0;
            while (group + 8 < all.size() && std::get<0>(all[group]) != std::get<0>(all[group + 7])) ++group;
            keep = group + 2;
        }
        ASSERT_LT(keep + 6, all.size());
        ASSERT_TRUE(restraints == 21 || std::get<0>(all[keep - 1]) == std::get<0>(all[keep + 5]));
        const auto counted = std::count_if(clashing.begin(), clashing.end(), [&](double c) {
            return c <= std::get<0>(all[keep - 1]);
        });
        EXPECT_GT(counted, 0);
        for (int threads : {1, 2}) {
            set_worker_count(threads);
            const SearchResult r = search(scorer, grid, keep, nullptr, &model);
            ASSERT_EQ(r.best.size(), keep);
            EXPECT_EQ(r.searched, all.size() + clashing.size());
            EXPECT_EQ(r.clashing, std::uint64_t(counted)) << restraints << " restraints, " << threads << " threads";
            for (std::size_t i = 0; i < keep; ++i) {
                EXPECT_EQ(r.best[i].index, std::get<2>(all[i])) << restraints << " restraints, " << threads << " threads";
                EXPECT_EQ(packing_energy(r.best[i].packing), std::get<1>(all[i]));
            }
            // The allowed set: every placement without a clash within 0.05 of the best, in the kept order.
            std::size_t allowed = 0;
            while (allowed < all.size() && std::get<0>(all[allowed]) <= std::get<0>(all[0]) + 50000) ++allowed;
            ASSERT_EQ(r.allowed.size(), allowed) << restraints << " restraints, " << threads << " threads";
            for (std::size_t i = 0; i < allowed; ++i) ASSERT_EQ(r.allowed[i].index, std::get<2>(all[i]));
            if (restraints == 1) check_allowed_clusters(r, grid, tmpl);
        }
        set_worker_count(0);
    }
}

TEST_F(RulesOnBM2, LandscapeOfTheSearchedHalf) {
    const Grid grid = make_grid(30, 6, 8, 1);
    const SearchResult result = search(Scorer(in.helix, in.res, 4), grid, 5);
    for (std::size_t t = 0; t < grid.theta.size(); ++t)
        EXPECT_EQ(std::isnan(result.landscape[t * 3]), t > 3) << t;
    const std::string svg = landscape_svg(grid, result);
    std::size_t cells = 0;
    for (std::size_t at = 0; (at = svg.find("width=\"160\" height=\"90\"", at)) != std::string::npos; ++at) ++cells;
    EXPECT_EQ(cells, 12u);  // theta 0, 30, 60 and 90 degrees, three radii
    for (const char* part : {"crispEdges", "end\">90</text>", "score (\u00c5)", "\u00b0, theta "})
        EXPECT_NE(svg.find(part), std::string::npos) << part;
    EXPECT_EQ(svg.find("end\">120</text>"), std::string::npos);
}

}  // namespace
