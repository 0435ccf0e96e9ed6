// The kept placements refined off the grid with their side chains packed:
// the rules of the grid still hold, the result does not depend on the
// number of threads, and packing moves only side chains, within reach of
// another protomer, to a packing no worse than the template's.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "model/helix_builder.h"
#include "run/oligomer.h"
#include "run/parallel.h"
#include "search/allowed.h"
#include "search/refine.h"
#include "search/side_chains.h"
#include "support.h"

namespace {

TEST(Refine, KeptPlacementsOffTheGridKeepTheRules) {
    Inputs in;
    ASSERT_TRUE(load_bm2_example(in, 4));
    const Template tmpl = read_template(EXAMPLES_DIR "/bm2-prepared/origin.pdb");
    const Scorer scorer(in.helix, in.res, 4);
    const ContactModel model(tmpl, 4);
    const SideChainPacker packer(tmpl, 4);
    const Grid grid = make_grid(30, 3, 9, 1);
    const RefineSettings settings{30 * M_PI / 180, 1, 3, 9};
    std::vector<SearchResult> results;
    for (int threads : {1, 2}) {
        set_worker_count(threads);
        results.push_back(search(scorer, grid, 12, nullptr, &model));
        refine_best(scorer, tmpl, 4, settings, &packer, results.back());
    }
    set_worker_count(0);
    const SearchResult grid_only = search(scorer, grid, 12, nullptr, &model);
    const SearchResult& r = results[0];
    ASSERT_EQ(r.rows, results[1].rows);
    ASSERT_EQ(r.best.size(), 12u);
    EXPECT_LE(tie_class(r.best[0].score), tie_class(grid_only.best[0].score));
    const AtomKinds kinds = atom_kinds(tmpl.lines);
    Scorer::Scratch scratch = scorer.scratch();
    int offGrid = 0;
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
        const CandidateRow& row = r.rows[i];
        for (int k = 0; k < 4; ++k) EXPECT_EQ(as_written(row[k]), row[k]) << i;  // what the file holds
        EXPECT_TRUE(row[1] >= 0 && row[1] <= as_written(M_PI / 2)) << i;       // the searched twin
        EXPECT_TRUE(row[3] >= 3 && row[3] <= 9) << i;
        EXPECT_FALSE(backbones_clash(place_oligomer(tmpl.points, row, 4), kinds)) << i;
        EXPECT_EQ(r.best[i].score, scorer.score(row, scratch)) << i;
        EXPECT_EQ(r.best[i].packing, packer.energy(packer.pack(row), row)) << i;
        if (i > 0) {
            EXPECT_FALSE(better(r.best[i], r.best[i - 1])) << i;
        }
        offGrid += row != grid.row(r.best[i].index);
        EXPECT_EQ(std::count(r.rows.begin(), r.rows.end(), row), 1) << i;
    }
    EXPECT_GT(offGrid, 0);
}

TEST(Refine, AnglesWrittenWithinOneTurnAndRadiiWithinTheGrid) {
    const struct {
        double angle;
        float written;
    } turns[] = {{0.5, 0.5f}, {2 * M_PI - 0.0004, 0.0f}, {2 * M_PI - 0.0009, 6.282f}, {-0.0004, 0.0f},
                 {-0.5, 5.783f}, {2 * M_PI + 0.5, 0.5f}};
    for (const auto& t : turns) EXPECT_EQ(written_turn(t.angle), t.written) << t.angle;

    // A grid whose last radius, 7, lies inside the deposited 7.7: the
    // refined placements press against it and stay on it.
    Inputs in;
    ASSERT_TRUE(load_bm2_example(in, 4));
    const Template tmpl = read_template(EXAMPLES_DIR "/bm2-prepared/origin.pdb");
    const Scorer scorer(in.helix, in.res, 4);
    const ContactModel model(tmpl, 4);
    SearchResult r = search(scorer, make_grid(30, 3, 7, 1), 12, nullptr, &model);
    refine_best(scorer, tmpl, 4, RefineSettings{30 * M_PI / 180, 1, 3, 7}, nullptr, r);
    float largest = 0;
    for (const CandidateRow& row : r.rows) largest = std::max(largest, row[3]);
    EXPECT_EQ(largest, 7.0f);
}

// Refined, each cluster is led by its member that the kept list holds, with
// that member's refined row and score, in the kept order; a cluster whose
// refined representative came within the cutoff of an earlier one joins it.
TEST(Refine, ClustersFollowTheirRefinedRepresentatives) {
    const CandidateRow near{2.312f, 0.448f, -3.062f, 7.682f, 0, 0}, far{0.3f, 1.2f, 0.5f, 9.0f, 0, 0};
    CandidateRow wide = near, wider = near, widest = near, refined = near;
    wide[3] = 11.0f, wider[3] = 11.2f, widest[3] = 11.3f, refined[3] = 7.7f;
    AllowedClusters clusters;
    clusters.set.clusters = {{2, 0.1f, near}, {2, 0.1f, wide}, {2, 0.1f, far}};
    clusters.representatives = {{0.1f, 10}, {0.1f, 20}, {0.1f, 30}};
    clusters.memberOf = {0, 1, 2, 0, 1, 2};
    SearchResult r;
    r.allowed = {{0.1f, 10}, {0.1f, 20}, {0.1f, 30}, {0.1f, 11}, {0.1f, 21}, {0.1f, 31}};
    r.best = {{0.05f, 21}, {0.06f, 11}, {0.07f, 31}};  // far's member refined next to wide's
    r.rows = {wider, refined, widest};
    follow_refined(r, read_template(EXAMPLES_DIR "/bm2-prepared/origin.pdb"), 4, clusters);
    ASSERT_EQ(clusters.set.clusters.size(), 2u);
    EXPECT_EQ(clusters.representatives[0].index + clusters.representatives[1].index * 100, 21u + 1100u);
    EXPECT_EQ(clusters.set.clusters[0].row, wider);
    EXPECT_EQ(clusters.set.clusters[1].row, refined);
    EXPECT_EQ(clusters.set.clusters[0].delta, 0.05f);
    EXPECT_EQ(clusters.set.clusters[0].population + 10 * clusters.set.clusters[1].population, 4 + 20);
    EXPECT_GT(clusters.set.clusters[1].toFirst, 2.0);
}

TEST(SideChains, PackedWithinReachOnlyAndNoWorse) {
    const Template tmpl = read_template(EXAMPLES_DIR "/bm2-prepared/origin.pdb");
    const SideChainPacker packer(tmpl, 4);
    EXPECT_GT(packer.choices(), 10u);
    const struct {
        CandidateRow row;
        bool changes;
        PackingUnits energy;  // of the packed tetramer: a residue's pairs with its neighbours count for every copy
    } table[] = {{{2.312f, 0.448f, -3.062f, 7.682f, 0, 0}, true, -3590081401},  // the deposited tetramer
                 {{2.312f, 0.448f, -3.062f, 6.6f, 0, 0}, true, 31560535661},    // packed tighter
                 {{2.6f, 0.448f, -3.062f, 6.0f, 0, 0}, true, 106865294092},     // and turned
                 {{1.0f, 0.3f, 2.0f, 60.0f, 0, 0}, false, 0}};                  // protomers far apart
    for (const auto& t : table) {
        const std::vector<Point> packed = packer.pack(t.row);
        EXPECT_EQ(packer.energy(packed, t.row), t.energy);
        EXPECT_LE(packer.energy(packed, t.row), packer.energy(tmpl.points, t.row));
        std::size_t moved = 0;
        for (std::size_t i = 0; i < packed.size(); ++i) {
            const std::string name = tmpl.lines[i].substr(12, 4);
            const bool differs = distance(packed[i], tmpl.points[i]) > 1e-4f;
            moved += differs;
            // Backbone and CB stay; bonds keep their lengths.
            if (name == " N  " || name == " CA " || name == " C  " || name == " O  " || name == " CB ") {
                EXPECT_FALSE(differs) << i;
            }
            for (std::size_t j = i + 1; j < packed.size() && tmpl.lines[j].substr(22, 4) == tmpl.lines[i].substr(22, 4); ++j)
                if (distance(tmpl.points[i], tmpl.points[j]) < 1.6f) {
                    EXPECT_NEAR(distance(packed[i], packed[j]), distance(tmpl.points[i], tmpl.points[j]), 2e-3) << i;
                }
        }
        EXPECT_EQ(moved > 0, t.changes);
    }
}

// A proline's side chain closes a ring on its own N: turning it about chi1
// would tear the ring open, so a proline has no choice, even first in the
// chain, where no preceding backbone blocks its turns; a leucine has its
// rotamers.
TEST(SideChains, ProlineRingIsNoChoice) {
    for (const auto& [sequence, choices] :
         {std::pair<const char*, std::size_t>{"PAAAAA", 0}, {"AAPAAA", 0}, {"PAALAA", 1}}) {
        std::istringstream text(helix_pdb_text(build_ideal_helix(sequence, 1)));
        EXPECT_EQ(SideChainPacker(parse_template(text), 2).choices(), choices) << sequence;
    }
}

}  // namespace
