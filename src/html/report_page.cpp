#include "html/report_page.h"

#include <cmath>
#include <map>

#include "analysis/restraint_summary.h"
#include "html/escape.h"
#include "html/page_data.h"
#include "html/page_template.h"
#include "html/run_words.h"
#include "html/verdict_section.h"
#include "safety/ownership.h"
#include "base/text.h"
#include "formats/angle_text.h"
#include "safety/workdir.h"

namespace {

// The ranking table's columns: heading, and whether it needs a reference.
std::string ranking_head(bool withReference, float threshold) {
    std::string s;
    const std::string violated = "violated (over " + threshold_words(threshold) + ")";
    for (const char* name : {"rank", "Delta (\xC3\x85)", "phi (\xC2\xB0)", "theta (\xC2\xB0)", "psi (\xC2\xB0)",
                             "radius (\xC3\x85)", "crossing angle (\xC2\xB0)", "axis distance (\xC3\x85)",
                             "axis radius (\xC3\x85)", "tilt (\xC2\xB0)", "closest backbone (\xC3\x85)", "packing energy", violated.c_str(),
                             "largest violation (\xC3\x85)"})
        s += std::string("<th>") + name + "</th>";
    if (withReference) s += "<th>CA RMSD to reference (\xC3\x85)</th>";
    return s + "<th>cluster</th>";
}

std::string ranking_rows(const ReportInput& in) {
    std::string s;
    for (std::size_t k = 0; k < in.models.size(); ++k) {
        const RankedResult& r = in.results[k];
        const double step = in.run.param.ss_angle;
        const BundleGeometry& g = r.geometry;
        std::vector<std::string> cells = {std::to_string(r.rank), decimals3(r.delta), angle_degrees(r.row[0], step),
                                          angle_degrees(r.row[1], step), angle_degrees(r.row[2], step), decimals3(r.row[3]),
                                          decimals3(g.crossingAngle), decimals3(g.axisDistance), decimals3(g.axisRadius),
                                          decimals3(g.tilt), decimals3(r.closestBackbone), decimals3(r.packing),
                                          std::to_string(r.violations.violated), decimals3(r.violations.largest)};
        if (in.reference) cells.push_back(decimals3(r.reference.rmsd));
        cells.push_back(r.cluster > 0 ? std::to_string(r.cluster) : std::string());
        s += "<tr data-structure=\"" + std::to_string(k) + "\">";
        for (const std::string& cell : cells) s += "<td>" + cell + "</td>";
        s += "</tr>\n";
    }
    return s;
}

// Each restraint violated in some of the top, the most often first; the CSV holds them all.
std::string summary_html(const ReportInput& in) {
    const std::size_t shownMost = 50, top = in.checks.size();
    const std::string over = threshold_words(in.threshold);
    std::vector<RestraintTally> tallies = most_violated_first(restraint_tallies(in.checks, in.threshold));
    while (!tallies.empty() && !(tallies.back().largest > 0 || std::isnan(tallies.back().largest))) tallies.pop_back();
    std::string s = "<h2>Each restraint across the best " + std::to_string(top) + "</h2>\n<p class=\"note\">Violated: by "
                    "more than " + html_escaped(over) + "; the mean is over all " +
                    std::to_string(top) + " structures, a satisfied restraint counting 0. restraint_summary.csv holds "
                    "every restraint.</p>\n";
    if (tallies.empty()) return s + "<p>No restraint is violated in any of the best " + std::to_string(top) + ".</p>";
    s += "<table id=\"restraint-summary\">\n<thead><tr><th>line</th><th>restraint</th><th>violated in</th>"
         "<th>mean violation (\xC3\x85)</th><th>largest violation (\xC3\x85)</th></tr></thead>\n<tbody>\n";
    for (std::size_t k = 0; k < tallies.size() && k < shownMost; ++k) {
        const RestraintTally& t = tallies[k];
        const std::string text = t.line <= int(in.run.restraintLines.size()) ? in.run.restraintLines[t.line - 1] : "";
        s += "<tr><td>" + std::to_string(t.line) + "</td><td class=\"text\">" + html_escaped(text) + "</td><td>" +
             std::to_string(t.violated) + " of " + std::to_string(top) + "</td><td>" + decimals3(t.mean) + "</td><td>" +
             decimals3(t.largest) + "</td></tr>\n";
    }
    s += "</tbody>\n</table>";
    if (tallies.size() > shownMost)
        s += "\n<p class=\"note\">" + std::to_string(tallies.size() - shownMost) + " more restraints with a violation "
             "are in restraint_summary.csv.</p>";
    return s;
}

std::string landscape_html(const ReportInput& in) {
    if (in.landscapePath.empty())
        return "<p class=\"missing\">The working folder has no score landscape: <code>noebundle-search</code> "
               "draws one with <code>--map FILE.svg</code>.</p>";
    // An image, not inline SVG: a picture from a file cannot run script in the page.
    return "<p>From <code>" + html_escaped(in.landscapePath) + "</code>.</p>\n<img class=\"landscape\" alt=\"score landscape\" src=\"data:image/svg+xml;base64," +
           base64(in.landscapeSvg) + "\">";
}

std::string reference_html(const ReportInput& in) {
    if (!in.reference)
        return "<p class=\"missing\">No reference structure was given: <code>--reference FILE</code> compares "
               "every structure with a deposited oligomer (CA RMSD).</p>";
    const Reference& ref = *in.reference;
    std::string chains;
    for (const std::string& c : ref.chains) chains += (chains.empty() ? "" : ",") + c;
    const std::string text = "'" + in.referencePath + "', chains " + chains + ": " + std::to_string(ref.residues.size()) +
                             " CA atoms per chain, residues " + std::to_string(ref.residues.front()) + "-" +
                             std::to_string(ref.residues.back()) + ". Structure 1: CA RMSD " +
                             decimals3(in.results[0].reference.rmsd) + " \xC3\x85 with " +
                             assignment_text(in.results[0].reference, ref.chains) + ".";
    return "<p>Compared with " + html_escaped(text) + "</p>";
}

}  // namespace

bool find_landscape(const Parameter& param, std::string& path, std::string& svg) {
    std::string recordText;
    if (!read_whole(record_path(param), recordText)) return false;
    OutputRecord record(param.workDir);
    record.parse(recordText);
    for (const std::string& file : record.paths()) {
        if (file.size() < 4 || file.compare(file.size() - 4, 4, ".svg") != 0) continue;
        if (read_whole(file, svg) && record.holds(file, svg)) {
            path = file;
            return true;
        }
    }
    svg.clear();
    return false;
}

Status report_html(const ReportInput& in, std::string& page) {
    const RunData& run = in.run;
    const RunWords words{run.param, in.paramPath, run.tmpl.lines, run.helix.resNum, run.res->numRestraint,
                         run.ranked.size(), in.program, in.commandLine};
    const PageData data{run.tmpl, run.helix, *run.res, run.restraintLines, in.results, in.models, in.checks,
                        run.param.numProtomer, in.threshold};
    const std::map<std::string, std::string> values = {
        {"TITLE", html_escaped(run.param.proteinName)},
        {"TOP", std::to_string(in.models.size())},
        {"RUN", run_words_html(words)},
        {"RANKING_HEAD", ranking_head(in.reference != nullptr, in.threshold)},
        {"RESTRAINT_SUMMARY", summary_html(in)},
        {"THRESHOLD", html_escaped(threshold_words(in.threshold))},
        {"RANKING_ROWS", ranking_rows(in)},
        {"GEOMETRY", html_escaped(in.geometry)},
        {"LANDSCAPE", landscape_html(in)},
        {"REFERENCE", reference_html(in)},
        {"VERDICT", verdict_html(in.verdict, in.suggested)},
        {"DATA", page_data_json(data)},
        {"VIEWER_LICENCE", html_escaped(std::string(viewer_licence()))},
        {"VIEWER_LICENCE_COMMENT", std::string(viewer_licence())},
        {"VIEWER_SCRIPT", std::string(viewer_script())}};
    return fill_template(report_template(), values, page);
}
