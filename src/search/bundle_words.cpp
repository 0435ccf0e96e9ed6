#include "search/bundle_words.h"

#include <cctype>
#include <cmath>

#include "base/text.h"
#include "search/contacts.h"

BundleGeometry oligomer_geometry(const Template& tmpl, const Oligomer& placed) {
    std::vector<Point> ca;
    for (std::size_t i = 0; i < tmpl.lines.size() && !placed.empty(); ++i)
        if (cut(tmpl.lines[i], 12, 4) == " CA ") ca.push_back(placed[0][i]);
    return bundle_geometry(ca, static_cast<int>(placed.size()));
}

std::string geometry_words(const BundleGeometry& g) {
    std::string s;
    if (std::isfinite(g.crossingAngle)) {
        const std::string angle = decimals(g.crossingAngle, 1);
        const char* hand = angle == "0.0" || angle == "-0.0" ? "" : g.crossingAngle < 0 ? " (right-handed)" : " (left-handed)";
        s = "crossing angle " + angle + "\u00b0" + hand + ", axes " + decimals(g.axisDistance, 2) + " \u00c5 apart, ";
    }
    s += decimals(g.axisRadius, 1) + " \u00c5 from the symmetry axis, tilt " + decimals(g.tilt, 1) + "\u00b0";
    if (g.winds)
        s += ", winding about it with radius " + decimals(g.supercoilRadius, 1) + " \u00c5 and pitch " +
             decimals(g.supercoilPitch, 0) + " \u00c5";
    return s;
}

std::string interface_words(const Template& tmpl, const Oligomer& placed) {
    std::vector<int> residueOf;
    for (const std::string& line : tmpl.lines) residueOf.push_back(to_int(cut(line, 22, 4)));
    std::string s;
    for (int residue : interface_residues(placed, residueOf, atom_kinds(tmpl.lines).heavy)) {
        std::size_t i = 0;
        while (residueOf[i] != residue) ++i;
        std::string name = trim_blanks(cut(tmpl.lines[i], 17, 3));
        for (std::size_t k = 1; k < name.size(); ++k) name[k] = static_cast<char>(std::tolower(name[k]));
        s += (s.empty() ? "" : ", ") + name + std::to_string(residue);
    }
    return s.empty() ? "none" : s;
}
