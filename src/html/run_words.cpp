#include "html/run_words.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>

#include "html/escape.h"
#include "base/text.h"

namespace {

std::string short_number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string item(const std::string& term, const std::string& html) {
    return "<dt>" + html_escaped(term) + "</dt><dd>" + html + "</dd>\n";
}

}  // namespace

std::string one_letter_sequence(const std::vector<std::string>& templateLines) {
    static const std::map<std::string, char> letters = {
        {"ALA", 'A'}, {"ARG", 'R'}, {"ASN", 'N'}, {"ASP", 'D'}, {"CYS", 'C'}, {"GLN", 'Q'}, {"GLU", 'E'},
        {"GLY", 'G'}, {"HIS", 'H'}, {"ILE", 'I'}, {"LEU", 'L'}, {"LYS", 'K'}, {"MET", 'M'}, {"PHE", 'F'},
        {"PRO", 'P'}, {"SER", 'S'}, {"THR", 'T'}, {"TRP", 'W'}, {"TYR", 'Y'}, {"VAL", 'V'}, {"MSE", 'M'},
        {"HSD", 'H'}, {"HSE", 'H'}, {"HSP", 'H'}, {"HID", 'H'}, {"HIE", 'H'}, {"HIP", 'H'}};
    std::string sequence, residue;
    for (const std::string& line : templateLines) {
        const std::string key = cut(line, 17, 10);  // residue name, chain, number and insertion code
        if (key == residue) continue;
        residue = key;
        const auto it = letters.find(trim_blanks(cut(line, 17, 3)));
        sequence += it == letters.end() ? 'X' : it->second;
    }
    return sequence;
}

std::string restraint_model_text(const Parameter& p) {
    static const char* classes[3] = {"CA-CA", "CA-CB", "CB-CB"};
    std::string text = "noeModel " + std::string(noe_model_name(p.noeModel)) +
                       (p.noeModel == NoeModel::window
                            ? " (violated below the lower or above the upper bound); "
                            : " (violated only above the upper bound, raised for protons past the delta position); ");
    text += "the bounds of the stand-in atoms' pair class:";
    for (int c = 0; c < 3; ++c) {
        const float lower = p.pairDistance[c] - p.pairTolerance[c], upper = p.pairDistance[c] + p.pairTolerance[c];
        text += std::string(c ? "," : "") + " " + classes[c] + " " + decimals(lower, 3) + "-" + decimals(upper, 3) + " \xC3\x85";
    }
    return text;
}

std::string run_words_html(const RunWords& r) {
    const Parameter& p = r.param;
    std::string settings = "<table class=\"settings\">\n";
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"proteinName", p.proteinName}, {"workDir", p.workDir}, {"pdbFile", p.pdbFile}, {"noeFile", p.noeFile},
        {"memFile", p.memFile}, {"numProtomer", std::to_string(p.numProtomer)},
        {"memResFlag", std::to_string(p.memResFlag)}, {"ss_angle", short_number(p.ss_angle)},
        {"r_beg", short_number(p.r_beg)}, {"r_end", short_number(p.r_end)}, {"ss_r", short_number(p.ss_r)},
        {"uncertainty", short_number(p.uncertainty)},
        {"noeModel", noe_model_name(p.noeModel)}};
    for (const auto& [key, value] : rows)
        settings += "<tr><th>" + key + "</th><td>" + html_escaped(value) + "</td></tr>\n";
    settings += "</table>";

    std::string helix = std::to_string(r.resNum.size()) + " residues";
    if (!r.resNum.empty())
        helix += ", " + std::to_string(r.resNum.front()) + " to " + std::to_string(r.resNum.back());
    helix = html_escaped(helix) + ":<br><code class=\"sequence\">" + html_escaped(one_letter_sequence(r.templateLines)) + "</code>";

    std::string s = "<dl class=\"run\">\n";
    s += item("Parameter file", "<code>" + html_escaped(r.paramPath) + "</code>" + settings);
    s += item("Helix", helix + " <span class=\"note\">(" + html_escaped(p.pdbFile) + ")</span>");
    s += item("Restraints", html_escaped(std::to_string(r.restraints) + " in " + p.noeFile + ", " + restraint_model_text(p)));
    s += item("Oligomer", html_escaped(std::to_string(p.numProtomer) + " protomers; " + std::to_string(r.structures) +
                                       " ranked structures"));
    s += item("Program", html_escaped(r.program));
    s += item("Command line", "<code>" + html_escaped(r.commandLine) + "</code>");
    return s + "</dl>\n";
}
