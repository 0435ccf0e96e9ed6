#include "analysis/verdict_json.h"

#include <cmath>
#include <cstdio>

#include "analysis/ensemble.h"
#include "base/text.h"

namespace {

std::string number(double value) { return std::isfinite(value) ? decimals(value, 3) : "null"; }

std::string text(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string cluster_json(const ClusterView& v) {
    const AllowedCluster& c = v.cluster;
    const BundleGeometry& g = v.geometry;
    const double nan = std::nan("");
    std::string interface;
    for (int r : v.interface) interface += (interface.empty() ? "" : ",") + std::to_string(r);
    return "{\"population\":" + std::to_string(c.population) + ",\"delta\":" + number(c.delta) +
           ",\"phi\":" + number(degrees(c.row[0])) + ",\"theta\":" + number(degrees(c.row[1])) +
           ",\"psi\":" + number(degrees(c.row[2])) + ",\"radius\":" + number(c.row[3]) +
           ",\"packing\":" + number(c.packing) + ",\"spread\":" + number(c.spread) +
           ",\"crossing_angle\":" + number(g.crossingAngle) + ",\"axis_distance\":" + number(g.axisDistance) +
           ",\"axis_radius\":" + number(g.axisRadius) + ",\"tilt\":" + number(g.tilt) +
           ",\"supercoil_radius\":" + number(g.winds ? g.supercoilRadius : nan) +
           ",\"supercoil_pitch\":" + number(g.winds ? g.supercoilPitch : nan) + ",\"interface\":[" + interface +
           "],\"rmsd_to_first\":" + number(c.toFirst) + "}";
}

std::string pair_json(const DecisivePair& p) {
    std::string distances;
    for (double d : p.distances) distances += (distances.empty() ? "" : ",") + number(d);
    return "{\"line\":" + text(p.line) + ",\"residue1\":" + std::to_string(p.residue1) +
           ",\"proton1\":" + text(p.proton1) + ",\"residue2\":" + std::to_string(p.residue2) +
           ",\"proton2\":" + text(p.proton2) + ",\"neighbour\":" + text(p.neighbour) +
           ",\"split\":" + number(p.split) + ",\"distances\":[" + distances + "]}";
}

}  // namespace

std::string verdict_json(const Verdict& verdict, const std::vector<DecisivePair>& suggested) {
    std::string s = "{\"decided\":" + std::string(verdict.decided() ? "true" : "false") +
                    ",\"tolerance\":" + number(verdict.set.tolerance) +
                    ",\"allowed\":" + std::to_string(verdict.set.allowed) + ",\"cutoff\":" + number(verdict.set.cutoff) +
                    ",\"derived\":" + (verdict.derived ? "true" : "false") + ",\n\"clusters\":[";
    for (std::size_t k = 0; k < verdict.clusters.size(); ++k)
        s += (k ? ",\n" : "\n") + cluster_json(verdict.clusters[k]);
    s += "],\n\"suggested\":[";
    for (std::size_t k = 0; k < suggested.size(); ++k) s += (k ? ",\n" : "\n") + pair_json(suggested[k]);
    return s + "]}\n";
}
