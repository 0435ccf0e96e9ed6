#include "analysis/viewer_scripts.h"

#include <cmath>
#include <cstdio>

#include "analysis/ensemble.h"  // chain_name

namespace {

std::string pymol_atom(const std::string& chain, int residue, const std::string& atom) {
    return "/ensemble//" + chain + "/" + std::to_string(residue) + "/" + atom;
}

std::string chimerax_atom(int models, const std::string& chain, int residue, const std::string& atom) {
    return chimerax_model(models) + "/" + chain + ":" + std::to_string(residue) + "@" + atom;
}

Point centroid(const std::vector<Point>& points) {
    double x = 0, y = 0, z = 0;
    for (const Point& p : points) x += p.x, y += p.y, z += p.z;
    const double n = points.empty() ? 1.0 : static_cast<double>(points.size());
    return {static_cast<float>(x / n), static_cast<float>(y / n), static_cast<float>(z / n)};
}

// PyMOL's view: the camera's axes in model coordinates (x right, y up along
// the bundle axis, z towards the viewer), column by column; the distance and
// origin come from the zoom that follows.
std::string set_view(const Point& facing) {
    const double zx = facing.x, zy = facing.y;
    const double m[9] = {-zy, 0, zx, zx, 0, zy, 0, 1, 0};
    std::string s = "set_view (";
    char number[32];
    for (double v : m) {
        std::snprintf(number, sizeof number, "%.6f, ", v == 0 ? 0.0 : v);
        s += number;
    }
    return s + "0, 0, -100, 0, 0, 0, 60, 140, 0)\n";
}

}  // namespace

Point interface_direction(const Oligomer& structure) {
    if (structure.size() < 2) return {0, -1, 0};
    const Point a = centroid(structure[0]), b = centroid(structure[1]);
    double x = (a.x + b.x) / 2, y = (a.y + b.y) / 2;
    if (structure.size() == 2 || std::hypot(x, y) < 1e-3) x = -(b.y - a.y), y = b.x - a.x;  // across A-B
    const double length = std::hypot(x, y);
    if (!(length > 1e-6)) return {0, -1, 0};
    return {static_cast<float>(x / length), static_cast<float>(y / length), 0};
}

std::string pymol_script(const std::string& ensemblePdb, const std::vector<DrawnRestraint>& restraints,
                         const Point& facing) {
    std::string s;
    s += "# Written by noebundle-analyze: the top structures, one state each, and the\n";
    s += "# restraints of structure 1 (state 1), violated ones in red. Run it from\n";
    s += "# this folder: pymol view.pml\n";
    s += "# The helices are those of the file's HELIX records; the distances are in\n";
    s += "# violations.csv (show labels, restraints: shows them here too).\n";
    s += "load " + ensemblePdb + ", ensemble\n";
    s += "hide everything, ensemble\n";
    s += "show cartoon, ensemble\n";
    s += "util.cbc(\"ensemble\")\n";
    s += "bg_color white\n";
    s += "set ray_opaque_background, 1\n";
    s += "set dash_gap, 0.3\n";
    s += "set dash_width, 3\n";
    s += "set dash_radius, 0.12\n";
    for (const DrawnRestraint& r : restraints) {
        const std::string name = "noe_L" + std::to_string(r.line);
        const std::string a = pymol_atom(r.chain1, r.residue1, r.atom1);
        const std::string b = pymol_atom(r.chain2, r.residue2, r.atom2);
        s += "distance " + name + ", " + a + ", " + b + ", state1=1, state2=1\n";
        s += "color " + std::string(r.violated ? "red" : "blue") + ", " + name + "\n";
        s += "show sticks, (" + a + " or " + b + ")\n";
    }
    s += "group restraints, noe_L*\n";
    s += "hide labels, restraints\n";
    s += "frame 1\n";
    s += set_view(facing);
    s += "zoom ensemble\n";
    return s;
}

std::string chimerax_model(int models) { return models == 1 ? "#1" : "#1.1"; }

std::string chimerax_pseudobonds(const std::vector<DrawnRestraint>& restraints, int models) {
    std::string s;
    s += "; radius = 0.1\n";
    s += "; dashes = 6\n";
    s += "; halfbond = false\n";
    for (const DrawnRestraint& r : restraints)
        s += chimerax_atom(models, r.chain1, r.residue1, r.atom1) + " " +
             chimerax_atom(models, r.chain2, r.residue2, r.atom2) + " " +
             (r.violated ? "red" : "blue") + "\n";
    return s;
}

std::string chimerax_script(const std::string& ensemblePdb, const std::string& pseudobondFile,
                            const std::vector<DrawnRestraint>& restraints, int models) {
    std::string s;
    s += models == 1 ? "# Written by noebundle-analyze: structure 1 as model #1\n"
                     : "# Written by noebundle-analyze: the top structures as models #1.1, #1.2, ...\n";
    s += "# and the restraints of structure 1 as pseudobonds, violated ones red.\n";
    s += "open " + ensemblePdb + "\n";
    s += "color bychain\n";
    s += "cartoon\n";
    s += "open " + pseudobondFile + "\n";
    for (const DrawnRestraint& r : restraints)
        s += "show " + chimerax_atom(models, r.chain1, r.residue1, r.atom1) + "|" +
             chimerax_atom(models, r.chain2, r.residue2, r.atom2) + " atoms\n";
    s += "view\n";
    return s;
}

std::vector<DrawnRestraint> drawn_restraints(const RunData& run, const std::vector<RestraintCheck>& checks, float threshold) {
    std::vector<DrawnRestraint> out;
    const Restraint& res = *run.res;
    for (int i = 0; i < res.numRestraint; ++i)
        out.push_back({i + 1, "A", res.atom1[i], chain_name(checks[i].neighbour - 1), res.atom2[i],
                       run.helix.resNum[res.resIndex1[i]], run.helix.resNum[res.resIndex2[i]],
                       violated(checks[i], threshold)});
    return out;
}
