#include "analysis/analysis_report.h"

#include <cmath>
#include <cstdio>

#include "analysis/ensemble.h"  // chain_name, degrees
#include "base/text.h"
#include "formats/angle_text.h"

namespace {

std::string padded_left(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string padded_right(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string neighbour_text(int neighbour) {
    return chain_name(neighbour - 1) + " (" + std::to_string(neighbour) + ")";
}

// Fewer decimals where the table reads better so; empty for infinity or NaN.
std::string shown_decimals(double value, int places) { return std::isfinite(value) ? decimals(value, places) : std::string(); }

}  // namespace

std::string csv_quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        if (c != '\r') out += c;
    }
    return out + "\"";
}

std::string line_of(const RestraintNames& n, int i) {
    std::string text = i < static_cast<int>(n.lines.size()) ? n.lines[i] : std::string();
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
}

std::string decimals3(double value) {
    return std::isfinite(value) ? decimals(value, 3) : std::string();
}

std::string ranking_csv(const std::vector<RankedResult>& results, bool withReference, double angleStep, float threshold) {
    std::string s = "rank,delta,phi_deg,theta_deg,psi_deg,radius,crossing_angle,axis_distance,axis_radius,tilt,"
                    "closest_backbone,packing_energy,violated_over_threshold,violation_threshold,largest_violation";
    s += withReference ? ",ca_rmsd_to_reference,cluster\n" : ",cluster\n";
    for (const RankedResult& r : results) {
        const BundleGeometry& g = r.geometry;
        s += std::to_string(r.rank) + "," + decimals3(r.delta) + "," + angle_degrees(r.row[0], angleStep) + "," +
             angle_degrees(r.row[1], angleStep) + "," + angle_degrees(r.row[2], angleStep) + "," + decimals3(r.row[3]) +
             "," + decimals3(g.crossingAngle) + "," + decimals3(g.axisDistance) + "," + decimals3(g.axisRadius) + "," +
             decimals3(g.tilt) + "," + decimals3(r.closestBackbone) + "," + decimals3(r.packing) + "," + std::to_string(r.violations.violated) +
             "," + decimals3(threshold) + "," + decimals3(r.violations.largest);
        if (withReference) s += "," + (r.hasReference ? decimals3(r.reference.rmsd) : std::string());
        s += "," + (r.cluster > 0 ? std::to_string(r.cluster) : std::string()) + "\n";
    }
    return s;
}

std::string violations_csv(const std::vector<std::vector<RestraintCheck>>& checks, const RestraintNames& n) {
    std::string s = "rank,line,restraint,atom1,atom2,lower,upper,distance,neighbour_protomer,neighbour_chain,violation\n";
    for (std::size_t k = 0; k < checks.size(); ++k)
        for (std::size_t i = 0; i < checks[k].size(); ++i) {
            const RestraintCheck& c = checks[k][i];
            const int r = static_cast<int>(i);
            s += std::to_string(k + 1) + "," + std::to_string(i + 1) + "," + csv_quoted(line_of(n, r)) + "," +
                 "A " + stand_in_atom(n.res, r, 1, n.resNum) + "," + chain_name(c.neighbour - 1) + " " +
                 stand_in_atom(n.res, r, 2, n.resNum) + "," + decimals3(n.res.lowerBound[r]) + "," +
                 decimals3(n.res.upperBound[r]) + "," + decimals3(c.distance) + "," + std::to_string(c.neighbour) + "," +
                 chain_name(c.neighbour - 1) + "," + decimals3(c.violation) + "\n";
        }
    return s;
}

std::vector<std::string> violation_table(const std::vector<RestraintCheck>& checks, const RestraintNames& n) {
    std::size_t width = 9;
    for (std::size_t i = 0; i < checks.size(); ++i) width = std::max(width, line_of(n, static_cast<int>(i)).size());
    width = std::min<std::size_t>(width, 60);
    std::vector<std::string> out;
    out.push_back(" line  " + padded_right("restraint", width) + "  stand-in atoms        bounds      distance  neighbour  violation");
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const RestraintCheck& c = checks[i];
        const int r = static_cast<int>(i);
        std::string text = line_of(n, r);
        if (text.size() > width) text = text.substr(0, width - 3) + "...";
        const std::string atoms = "A " + stand_in_atom(n.res, r, 1, n.resNum) + " - " + chain_name(c.neighbour - 1) +
                                  " " + stand_in_atom(n.res, r, 2, n.resNum);
        out.push_back(padded_left(std::to_string(i + 1), 5) + "  " + padded_right(text, width) + "  " +
                      padded_right(atoms, 20) + "  " + decimals3(n.res.lowerBound[r]) + "-" +
                      decimals3(n.res.upperBound[r]) + padded_left(decimals3(c.distance), 10) + "  " +
                      padded_right(neighbour_text(c.neighbour), 9) + padded_left(decimals3(c.violation), 11) +
                      (violated(c, n.threshold) ? "  VIOLATED" : ""));
    }
    return out;
}

std::vector<std::string> top_table(const std::vector<RankedResult>& results, std::size_t count, bool withReference) {
    std::vector<std::string> out;
    out.push_back(std::string(" rank    Delta  radius  crossing   axes  backbone   packing  violated  largest") +
                  (withReference ? "  CA RMSD" : "") + "  cluster");
    for (std::size_t k = 0; k < count && k < results.size(); ++k) {
        const RankedResult& r = results[k];
        std::string line = padded_left(std::to_string(r.rank), 5) + padded_left(decimals3(r.delta), 9) +
                           padded_left(decimals3(r.row[3]), 8) + padded_left(shown_decimals(r.geometry.crossingAngle, 1), 10) +
                           padded_left(shown_decimals(r.geometry.axisDistance, 2), 7) + padded_left(decimals3(r.closestBackbone), 10) +
                           padded_left(decimals3(r.packing), 10) + padded_left(std::to_string(r.violations.violated), 10) +
                           padded_left(decimals3(r.violations.largest), 9);
        if (withReference) line += padded_left(decimals3(r.reference.rmsd), 9);
        out.push_back(line + padded_left(std::to_string(r.cluster), 9));
    }
    return out;
}

std::string assignment_text(const Assignment& a, const std::vector<std::string>& chains) {
    const int n = static_cast<int>(chains.size());
    std::string protomers, names;
    for (int p = 0; p < n; ++p) {
        protomers += (p ? "," : "") + std::to_string(p + 1);
        names += (p ? "," : "") + chains[a.chain_of(p, n)];
    }
    return "protomers " + protomers + " on chains " + names;
}

std::vector<std::string> cluster_lines(const Clustering& clusters, double cutoff, std::size_t top) {
    std::vector<std::string> out = {std::to_string(clusters.leaders.size()) +
                                    (clusters.leaders.size() == 1 ? " cluster" : " clusters") + " within " +
                                    decimals3(cutoff) + " Å CA RMSD among the best " + std::to_string(top) + ":"};
    for (std::size_t c = 0; c < clusters.leaders.size(); ++c) {
        int members = 0;
        for (int id : clusters.cluster) members += id == static_cast<int>(c + 1) ? 1 : 0;
        out.push_back("  cluster " + std::to_string(c + 1) + ": " + std::to_string(members) +
                      (members == 1 ? " structure" : " structures") + ", best " + std::to_string(clusters.leaders[c] + 1));
    }
    return out;
}
