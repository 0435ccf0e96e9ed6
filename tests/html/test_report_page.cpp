// report.html: written by noebundle-analyze with every user text escaped and
// what is missing said; the search's landscape found only as it left it;
// the page small enough for ten pentamers of a 40-residue helix.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "html/report_page.h"
#include "html/run_words.h"
#include "html/verdict_section.h"
#include "model/helix_builder.h"
#include "safety/ownership.h"
#include "support.h"
#include "base/text.h"
#include "safety/workdir.h"

namespace {

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ReportPage, WrittenWithUserTextEscapedAndWhatIsMissingSaid) {
    TempDir dir;
    const std::string params = make_workspace(dir, 4, read_text(TEST_DATA "/../bad_inputs/base/abc.cs"));
    const std::string name = "a<b>&\"c'";
    std::string text = read_text(params);
    text.replace(text.find("abc"), 3, name);
    write_text(params, text);
    fs::rename(dir.file("abc.cs"), dir.file(name + ".cs"));
    ASSERT_EQ(run_program("noebundle", {params}, dir.path()).status, 0);
    const RunResult analysis = run_program("noebundle-analyze", {params, "--top", "2", "--out", "my <out>"}, dir.path());
    ASSERT_EQ(analysis.status, 0) << analysis.out;
    EXPECT_EQ(lines_of(analysis.out).back(), "[Done] Tables, ensemble, viewer scripts, assigned restraints and report.html written to 'my <out>'");

    const std::string page = read_text(dir.file("my <out>/report.html"));
    EXPECT_TRUE(holds(page, "<title>a&lt;b&gt;&amp;&quot;c&#39;: noebundle analysis</title>"));
    EXPECT_FALSE(holds(page, "a<b>"));
    EXPECT_TRUE(holds(page, "--out &#39;my &lt;out&gt;&#39;</code>"));  // the command line, shell-quoted
    EXPECT_TRUE(holds(page, "noeModel window (violated below the lower or above the upper bound)"));
    EXPECT_TRUE(holds(page, "\"chains\":[\"A\",\"B\",\"C\",\"D\"]"));
    EXPECT_TRUE(holds(page, "<tr data-structure=\"1\"><td>2</td>"));
    EXPECT_TRUE(holds(page, "<h2>Each restraint across the best 2</h2>"));
    EXPECT_EQ(lines_of(read_text(dir.file("my <out>/restraint_summary.csv"))).size(), 4u);  // a row per restraint
    EXPECT_FALSE(holds(page, "{{"));  // every placeholder filled
}

// The page names the restraint model as the parameter file spells it.
TEST(ReportPage, NamesTheRestraintModelAsTheFileDoes) {
    for (const auto& [model, words] : {std::pair{NoeModel::upper, "noeModel upper (violated only above"},
                                       std::pair{NoeModel::reach, "noeModel reach (violated only above"}}) {
        Parameter param;
        param.noeModel = model;
        EXPECT_TRUE(holds(restraint_model_text(param), words)) << words;
    }
}

TEST(ReportPage, LandscapeOnlyAsTheSearchLeftIt) {
    struct Case {
        const char* what;
        std::string recorded, written, file;
        bool found;
    } cases[] = {{"as written", "<svg>1</svg>\n", "<svg>1</svg>\n", "map.svg", true},
                 {"edited since", "<svg>1</svg>\n", "<svg>2</svg>\n", "map.svg", false},
                 {"not a picture", "x\n", "x\n", "map.txt", false},
                 {"no record", "", "<svg>1</svg>\n", "map.svg", false}};
    for (const Case& c : cases) {
        TempDir dir;
        Parameter param;
        param.workDir = dir.path().string();
        write_text(dir.file(c.file), c.written);
        if (!c.recorded.empty()) {
            OutputRecord record(param.workDir);
            record.set(dir.file(c.file), c.recorded);
            write_text(record_path(param), record.text());
        }
        std::string path, svg;
        EXPECT_EQ(find_landscape(param, path, svg), c.found) << c.what;
        EXPECT_EQ(svg, c.found ? c.written : "") << c.what;
    }
}

// The clusters side by side and the cross peaks that would decide them: a cell per cluster, in the verdict's order.
TEST(ReportPage, ClustersTableHasACellPerClusterInEveryRow) {
    Verdict v;
    v.set.allowed = 4;
    for (const long long population : {3, 1}) {
        ClusterView view;
        view.cluster.population = population, view.cluster.delta = 0.01f * population, view.interface = {8, 12};
        view.cluster.toFirst = population == 1 ? 2.25 : 0;
        v.set.clusters.push_back(view.cluster);
        v.clusters.push_back(view);
    }
    DecisivePair pair;
    pair.line = "(resid 9 and name HG) (resid 5 and name HA)", pair.proton1 = "HG2", pair.proton2 = "HA";
    pair.residue1 = 9, pair.residue2 = 5, pair.neighbour = "B", pair.split = 0.25, pair.distances = {4.5, 8.25};
    const std::vector<DecisivePair> suggested = {pair};
    const std::string page = verdict_html(&v, &suggested);
    EXPECT_TRUE(holds(page, "<th>split</th><th>cluster 1 (&#197;)</th><th>cluster 2 (&#197;)</th></tr>")) << page;
    EXPECT_TRUE(holds(page, "<td class=\"text\">A 9 HG2 - B 5 HA</td><td>0.250</td><td>4.500</td><td>8.250</td></tr>"));
    EXPECT_TRUE(holds(page, "<tr><th>placements</th><td>3</td><td>1</td></tr>")) << page;
    EXPECT_TRUE(holds(page, "<tr><th>Delta (&#197;)</th><td>0.030</td><td>0.010</td></tr>")) << page;
    EXPECT_TRUE(holds(page, "<tr><th>CA RMSD to structure 1 (&#197;)</th><td>0.000</td><td>2.250</td></tr>")) << page;
    EXPECT_TRUE(holds(page, "<tr><th>interface residues</th><td>8 12</td><td>8 12</td></tr>")) << page;
    // Ten columns at most: the note says where the others are.
    for (int k = 2; k < 11; ++k) v.clusters.push_back(v.clusters[1]);
    const std::string eleven = verdict_html(&v, nullptr);
    EXPECT_TRUE(holds(eleven, "<th>cluster 10</th></tr>") && !holds(eleven, "cluster 11")) << eleven;
    EXPECT_TRUE(holds(eleven, "The first 10 of 11 clusters are shown; verdict.json and clusters.pdb hold them all."));
}

// A pentamer of 40 tryptophans (14 heavy atoms and 10 hydrogens each), the
// largest restraint list, ten structures.
TEST(ReportPage, TenPentamersOfA40ResidueHelixUnder2MB) {
    const int residues = 40, protomers = 5, top = 10;
    RunData run;
    run.param.numProtomer = protomers;
    run.param.proteinName = "big";
    std::istringstream pdb(helix_pdb_text(build_ideal_helix(std::string(residues, 'W'), 1)));
    run.tmpl = parse_template(pdb);
    for (const std::string& line : run.tmpl.lines) {
        if (cut(line, 12, 4) == " CA ") run.helix.resNum.push_back(to_int(cut(line, 22, 4)));
        if (cut(line, 12, 4) == " CA " || cut(line, 12, 4) == " CB ") run.helix.atomLine.push_back(line);
    }
    run.res->numRestraint = maxRestraint;
    run.res->resize(maxRestraint);
    for (int i = 0; i < maxRestraint; ++i) {
        run.res->resIndex1[i] = i % residues, run.res->resIndex2[i] = (i * 7) % residues;
        std::snprintf(run.res->atom1[i], 5, "CB");
        std::snprintf(run.res->atom2[i], 5, "CA");
        run.res->lowerBound[i] = 5.34f, run.res->upperBound[i] = 8.34f;
        run.restraintLines.push_back("(resid 10 and name HG) (resid 12 and name HA)");
    }
    std::vector<RankedResult> results;
    std::vector<EnsembleModel> models;
    std::vector<std::vector<RestraintCheck>> checks;
    for (int k = 0; k < top; ++k) {
        const CandidateRow row = {0.1f * k, 0.2f, 0.3f, 7.5f, 0, 0};
        run.ranked.push_back(row);
        RankedResult r{};
        r.rank = k + 1, r.delta = 0.123f * k, r.row = row, r.closestBackbone = 3.5f, r.packing = -100.25;
        r.violations = {k, 0.5f};
        results.push_back(r);
        models.push_back({k + 1, 0.123f * k, row, place_oligomer(run.tmpl.points, row, protomers)});
        checks.push_back(std::vector<RestraintCheck>(maxRestraint, RestraintCheck{7.123f, 2, 0.25f}));
    }
    std::string page;
    ASSERT_TRUE(report_html({run, "big.param", results, models, checks, nullptr, "", "noebundle-analyze 1.0", "noebundle-analyze big.param", "", "", ""},
                            page).ok());
    EXPECT_LT(page.size(), 2u * 1024 * 1024);
    std::printf("report.html of ten pentamers of a 40-residue helix: %zu bytes\n", page.size());
    EXPECT_TRUE(holds(page, "[\" CA \",\"TRP\",\"  40 \",\"C\"]"));  // the atoms as their PDB columns
    EXPECT_FALSE(holds(page, "\"H\"]"));                            // no hydrogen but stand-ins
}

}  // namespace
