#include "html/verdict_section.h"

#include <cmath>

#include "base/text.h"
#include "html/escape.h"

namespace {

// Columns of clusters the page shows; verdict.json holds them all.
constexpr std::size_t shownClusters = 10;

std::string more_clusters(const Verdict& v) {
    if (v.clusters.size() <= shownClusters) return "";
    return "<p class=\"note\">The first " + std::to_string(shownClusters) + " of " + std::to_string(v.clusters.size()) +
           " clusters are shown; verdict.json and clusters.pdb hold them all.</p>\n";
}

std::string cell(double value, int places) { return std::isfinite(value) ? decimals(value, places) : "&#8212;"; }

std::string clusters_table(const Verdict& v) {
    std::vector<std::pair<std::string, std::vector<std::string>>> rows = {
        {"placements", {}}, {"Delta (&#197;)", {}}, {"crossing angle (&#176;)", {}}, {"axis distance (&#197;)", {}},
        {"radius (&#197;)", {}}, {"tilt (&#176;)", {}}, {"CA RMSD to structure 1 (&#197;)", {}},
        {"interface residues", {}}};
    std::string head = "<th></th>";
    for (std::size_t k = 0; k < v.clusters.size() && k < shownClusters; ++k) {
        const ClusterView& c = v.clusters[k];
        std::string residues;
        for (int r : c.interface) residues += (residues.empty() ? "" : " ") + std::to_string(r);
        head += "<th>cluster " + std::to_string(k + 1) + "</th>";
        const std::string values[] = {std::to_string(c.cluster.population), cell(c.cluster.delta, 3),
                                      cell(c.geometry.crossingAngle, 1), cell(c.geometry.axisDistance, 1),
                                      cell(c.cluster.row[3], 3), cell(c.geometry.tilt, 1), cell(c.cluster.toFirst, 3),
                                      residues.empty() ? "none" : residues};
        for (std::size_t r = 0; r < rows.size(); ++r) rows[r].second.push_back(values[r]);
    }
    std::string s = "<table id=\"clusters\">\n<thead><tr>" + head + "</tr></thead>\n<tbody>\n";
    for (const auto& row : rows) {
        s += "<tr><th>" + row.first + "</th>";
        for (const std::string& value : row.second) s += "<td>" + value + "</td>";
        s += "</tr>\n";
    }
    return s + "</tbody></table>\n";
}

std::string suggested_table(const Verdict& v, const std::vector<DecisivePair>& suggested) {
    if (v.decided()) return "<p>The restraints decide the bundle: no further cross peak is needed.</p>\n";
    if (suggested.empty())
        return "<p class=\"missing\">No proton pair of the helix lies under 5 &#197; apart in some clusters and over "
               "7 &#197; in others.</p>\n";
    std::string s = "<p class=\"note\">Proton pairs of protomer 1 (A) and a neighbour under 5 &#197; apart in some "
                    "clusters and over 7 &#197; in others, as lines of the restraint file; split: the smaller share of "
                    "the placements on either side.</p>\n<table id=\"suggested\">\n<thead><tr><th>restraint line</th>"
                    "<th>protons</th><th>split</th>";
    for (std::size_t k = 0; k < v.clusters.size() && k < shownClusters; ++k)
        s += "<th>cluster " + std::to_string(k + 1) + " (&#197;)</th>";
    s += "</tr></thead>\n<tbody>\n";
    for (const DecisivePair& p : suggested) {
        s += "<tr><td class=\"text\">" + html_escaped(p.line) + "</td><td class=\"text\">A " +
             std::to_string(p.residue1) + " " + html_escaped(p.proton1) + " - " + html_escaped(p.neighbour) + " " +
             std::to_string(p.residue2) + " " + html_escaped(p.proton2) + "</td><td>" + decimals(p.split, 3) + "</td>";
        for (std::size_t k = 0; k < p.distances.size() && k < shownClusters; ++k)
            s += "<td>" + cell(p.distances[k], 3) + "</td>";
        s += "</tr>\n";
    }
    return s + "</tbody></table>\n";
}

}  // namespace

std::string verdict_html(const Verdict* verdict, const std::vector<DecisivePair>* suggested) {
    if (!verdict || verdict->clusters.empty()) return "<p class=\"missing\">No verdict was made for this run.</p>";
    const Verdict& v = *verdict;
    std::string s = "<p id=\"verdict\"><strong>" + html_escaped(verdict_text(v)) + "</strong></p>\n";
    if (v.derived)
        s += "<p class=\"note\">The working folder has no allowed.csv (written by <code>noebundle-search</code>): the "
             "allowed set is the ranked candidates within " + decimals(v.set.tolerance, 3) +
             " &#197; of the best Delta, clustered at " + decimals(v.set.cutoff, 3) + " &#197; CA RMSD.</p>\n";
    else
        s += "<p class=\"note\">From allowed.csv: every placement of the search within " + decimals(v.set.tolerance, 3) +
             " &#197; of the best Delta that passes the steric rule, clustered at " + decimals(v.set.cutoff, 3) +
             " &#197; CA RMSD; each cluster by its best member.</p>\n";
    s += clusters_table(v) + more_clusters(v) + "<h3>Cross peaks that would decide</h3>\n";
    static const std::vector<DecisivePair> none;
    return s + suggested_table(v, suggested ? *suggested : none);
}
