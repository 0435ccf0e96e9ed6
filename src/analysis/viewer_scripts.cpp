#include "analysis/viewer_scripts.h"

namespace {

std::string pymol_atom(const std::string& chain, int residue, const std::string& atom) {
    return "/ensemble//" + chain + "/" + std::to_string(residue) + "/" + atom;
}

std::string chimerax_atom(const std::string& chain, int residue, const std::string& atom) {
    return "#1.1/" + chain + ":" + std::to_string(residue) + "@" + atom;
}

}  // namespace

std::string pymol_script(const std::string& ensemblePdb, const std::vector<DrawnRestraint>& restraints) {
    std::string s;
    s += "# Written by noebundle-analyze: the top structures, one state each, and the\n";
    s += "# restraints of structure 1 (state 1), violated ones in red. Run it from\n";
    s += "# this folder: pymol view.pml\n";
    s += "load " + ensemblePdb + ", ensemble\n";
    s += "hide everything, ensemble\n";
    s += "show cartoon, ensemble\n";
    s += "util.cbc(\"ensemble\")\n";
    s += "set dash_gap, 0.3\n";
    s += "set dash_width, 3\n";
    for (const DrawnRestraint& r : restraints) {
        const std::string name = "noe_L" + std::to_string(r.line);
        const std::string a = pymol_atom(r.chain1, r.residue1, r.atom1);
        const std::string b = pymol_atom(r.chain2, r.residue2, r.atom2);
        s += "distance " + name + ", " + a + ", " + b + ", state1=1, state2=1\n";
        s += "color " + std::string(r.violated ? "red" : "blue") + ", " + name + "\n";
        s += "show sticks, (" + a + " or " + b + ")\n";
    }
    s += "group restraints, noe_L*\n";
    s += "frame 1\n";
    s += "orient ensemble\n";
    return s;
}

std::string chimerax_pseudobonds(const std::vector<DrawnRestraint>& restraints) {
    std::string s;
    s += "; radius = 0.1\n";
    s += "; dashes = 6\n";
    s += "; halfbond = false\n";
    for (const DrawnRestraint& r : restraints)
        s += chimerax_atom(r.chain1, r.residue1, r.atom1) + " " + chimerax_atom(r.chain2, r.residue2, r.atom2) + " " +
             (r.violated ? "red" : "blue") + "\n";
    return s;
}

std::string chimerax_script(const std::string& ensemblePdb, const std::string& pseudobondFile) {
    std::string s;
    s += "# Written by noebundle-analyze: the top structures as models #1.1, #1.2, ...\n";
    s += "# and the restraints of structure 1 as pseudobonds, violated ones red.\n";
    s += "open " + ensemblePdb + "\n";
    s += "color bychain\n";
    s += "cartoon\n";
    s += "open " + pseudobondFile + "\n";
    s += "view\n";
    return s;
}
