#include "html/page_data.h"

#include <algorithm>
#include <cmath>

#include "html/escape.h"
#include "base/text.h"

namespace {

std::string number(double value) { return std::isfinite(value) ? decimals(value, 3) : "null"; }

bool is_hydrogen(const std::string& line) {
    const std::string element = trim_blanks(cut(line, 76, 2));
    if (!element.empty()) return element == "H" || element == "D";
    const std::string name = trim_blanks(cut(line, 12, 4));
    const std::size_t letter = name.find_first_not_of("0123456789");
    return letter != std::string::npos && (name[letter] == 'H' || name[letter] == 'D');
}

std::string restraint_json(const PageData& d, int i, int atom1, int atom2) {
    std::string text = i < static_cast<int>(d.restraintLines.size()) ? d.restraintLines[i] : std::string();
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return "{\"line\":" + std::to_string(i + 1) + ",\"text\":" + json_string(text) +
           ",\"atom1\":" + json_string(stand_in_atom(d.res, i, 1, d.helix.resNum)) +
           ",\"atom2\":" + json_string(stand_in_atom(d.res, i, 2, d.helix.resNum)) +
           ",\"lower\":" + number(d.res.lowerBound[i]) + ",\"upper\":" + number(d.res.upperBound[i]) +
           ",\"i1\":" + std::to_string(atom1) + ",\"i2\":" + std::to_string(atom2) + "}";
}

std::string structure_json(const PageData& d, std::size_t k, const std::vector<int>& shown) {
    const RankedResult& r = d.results[k];
    std::string s = "{\"rank\":" + std::to_string(r.rank) + ",\"delta\":" + number(r.delta) +
                    ",\"violated\":" + std::to_string(r.violations.violated) + ",\"xyz\":[";
    bool first = true;
    for (const std::vector<Point>& protomer : d.models[k].atoms)
        for (int a : shown) {
            const Point& p = protomer[a];
            s += (first ? "" : ",") + number(p.x) + "," + number(p.y) + "," + number(p.z);
            first = false;
        }
    s += "],\"checks\":[";
    for (std::size_t i = 0; i < d.checks[k].size(); ++i) {
        const RestraintCheck& c = d.checks[k][i];
        s += (i ? ",[" : "[") + std::to_string(c.neighbour) + "," + number(c.distance) + "," + number(c.violation) + "]";
    }
    return s + "]}";
}

}  // namespace

int template_atom_of(const Template& tmpl, const std::string& helixLine) {
    const std::string name = cut(helixLine, 12, 4), residue = cut(helixLine, 22, 5);
    for (std::size_t a = 0; a < tmpl.lines.size(); ++a)
        if (cut(tmpl.lines[a], 12, 4) == name && cut(tmpl.lines[a], 22, 5) == residue) return static_cast<int>(a);
    return -1;
}

std::vector<int> shown_atoms(const Template& tmpl, const std::vector<int>& standIns) {
    std::vector<int> shown;
    for (std::size_t a = 0; a < tmpl.lines.size(); ++a) {
        const int atom = static_cast<int>(a);
        if (!is_hydrogen(tmpl.lines[a]) || std::find(standIns.begin(), standIns.end(), atom) != standIns.end())
            shown.push_back(atom);
    }
    return shown;
}

std::string page_data_json(const PageData& d) {
    // Each restraint end's template atom, through the helix point behind it.
    std::vector<int> ends;
    for (int i = 0; i < d.res.numRestraint; ++i)
        for (int end = 1; end <= 2; ++end) {
            const int point = end == 1 ? end_point(d.res.resIndex1[i], d.res.atom1[i])
                                       : end_point(d.res.resIndex2[i], d.res.atom2[i]);
            const bool known = point < static_cast<int>(d.helix.atomLine.size());
            ends.push_back(known ? template_atom_of(d.tmpl, d.helix.atomLine[point]) : -1);
        }
    const std::vector<int> shown = shown_atoms(d.tmpl, ends);
    auto shown_index = [&shown](int atom) {
        const auto it = std::find(shown.begin(), shown.end(), atom);
        return atom < 0 || it == shown.end() ? -1 : static_cast<int>(it - shown.begin());
    };

    std::string s = "{\"threshold\":" + number(d.threshold) + ",\"thresholdText\":" + json_string(threshold_words(d.threshold)) +
                    ",\"chains\":[";
    for (int p = 0; p < d.numProtomer; ++p) s += (p ? "," : "") + json_string(chain_name(p));
    s += "],\n\"atoms\":[";
    for (std::size_t a = 0; a < shown.size(); ++a) {
        const std::string& line = d.tmpl.lines[shown[a]];
        s += std::string(a ? "," : "") + "[" + json_string(cut(line, 12, 4)) + "," + json_string(cut(line, 17, 3)) + "," +
             json_string(cut(line, 22, 5)) + "," + json_string(trim_blanks(cut(line, 76, 2))) + "]";
    }
    s += "],\n\"restraints\":[";
    for (int i = 0; i < d.res.numRestraint; ++i)
        s += (i ? ",\n" : "") + restraint_json(d, i, shown_index(ends[2 * i]), shown_index(ends[2 * i + 1]));
    s += "],\n\"structures\":[";
    for (std::size_t k = 0; k < d.models.size(); ++k) s += (k ? ",\n" : "") + structure_json(d, k, shown);
    return s + "]}";
}
