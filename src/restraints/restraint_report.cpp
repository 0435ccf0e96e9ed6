#include "restraints/restraint_report.h"

#include <vector>

#include "formats/parameter.h"
#include "base/text.h"

namespace {

std::string restraint_line(const KeptRestraint& k) {
    return "(resid " + std::to_string(k.end1.residue) + " and name " + k.end1.protonClass + ") (resid " +
           std::to_string(k.end2.residue) + " and name " + k.end2.protonClass + ")";
}

std::string left(const std::string& s, std::size_t width) {
    return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

std::string number(bool given, float value) { return given ? fixed3(value, 8) : "       -"; }

std::string lines_text(const SkippedSection& s) {
    return "lines " + std::to_string(s.firstLine) + "-" + std::to_string(s.lastLine) + " (" + s.what + ")";
}

// The reasons for dropping, each with its count, in the order first met.
std::vector<std::pair<std::string, int>> reasons(const Conversion& c) {
    std::vector<std::pair<std::string, int>> byReason;
    for (const DroppedRestraint& d : c.dropped) {
        auto it = byReason.begin();
        while (it != byReason.end() && it->first != d.reason) ++it;
        if (it == byReason.end()) byReason.emplace_back(d.reason, 1);
        else ++it->second;
    }
    return byReason;
}

// The lower bound noebundle scores a class of pairs with.
float class_lower(int pairClass) {
    const Parameter p;
    return p.pairDistance[pairClass] - p.pairTolerance[pairClass];
}

bool below_class(const Conversion& c, const KeptRestraint& k) {
    const InputRestraint& r = c.input.restraints[k.input];
    return r.hasUpper && r.upper < class_lower(k.pairClass);
}

}  // namespace

std::string restraint_file_text(const Conversion& c) {
    std::string text;
    for (const KeptRestraint& k : c.kept) text += restraint_line(k) + "\n";
    return text;
}

std::string conversion_summary(const Conversion& c) {
    const RestraintInput& in = c.input;
    std::string out = "Read '" + c.path + "' as " + in.format + ": " + std::to_string(in.restraints.size()) +
                      " distance restraints, " + std::to_string(c.kept.size()) + " kept, " +
                      std::to_string(c.dropped.size()) + " dropped\n";
    for (const SkippedSection& s : in.sections) out += "Skipped " + lines_text(s) + "\n";
    for (const auto& kind : in.skipped)
        out += "Skipped " + std::to_string(kind.second) + " statement(s): " + kind.first + "\n";
    int either = 0;
    for (const KeptRestraint& k : c.kept) either += k.eitherNeighbour ? 1 : 0;
    out += "Kept by form:\n";
    out += "  " + left("between two chains", 30) + padded(int(c.kept.size()) - either, 6) + "\n";
    out += "  " + left("partner on either neighbour", 30) + padded(either, 6) + "\n";
    out += "Dropped by reason:\n";
    for (const auto& reason : reasons(c)) out += "  " + left(reason.first, 30) + padded(reason.second, 6) + "\n";
    return out;
}

std::string conversion_details(const Conversion& c, bool verbose) {
    const Parameter p;  // the class bounds noebundle scores with
    const char* const pairName[3] = {"CA-CA", "CA-CB", "CB-CB"};
    std::string out = "Kept (noebundle scores with the class bounds, not with the listed distances):\n";
    out += "  " + left("from", 14) + left("restraint", 46) + "   lower  target   upper  class    bounds\n";
    int flagged = 0;
    for (const KeptRestraint& k : c.kept) {
        const InputRestraint& r = c.input.restraints[k.input];
        const float low = class_lower(k.pairClass);
        const float high = p.pairDistance[k.pairClass] + p.pairTolerance[k.pairClass];
        out += "  " + left(r.origin, 14) + left(restraint_line(k), 46) + number(r.hasLower, r.lower) +
               number(r.hasTarget, r.target) + number(r.hasUpper, r.upper) + "  " +
               pairName[k.pairClass] + number(true, low) + number(true, high);
        if (below_class(c, k)) {
            out += "  upper bound below the class";
            ++flagged;
        }
        out += "\n";
    }
    if (flagged > 0)
        out += std::to_string(flagged) + " kept restraint(s) have an upper bound below their class's lower bound\n";
    return out + dropped_details(c, verbose);
}

std::string dropped_details(const Conversion& c, bool verbose) {
    std::string out = "Dropped, by reason:\n";
    for (const auto& reason : reasons(c)) {
        out += "  " + reason.first + " (" + std::to_string(reason.second) + "):\n";
        int shown = 0;
        for (const DroppedRestraint& d : c.dropped)
            if (d.reason == reason.first && (verbose || shown < droppedShownPerReason)) {
                out += "    " + left(d.origin, 14) + d.detail + "\n";
                ++shown;
            }
        if (shown < reason.second)
            out += "    ... " + std::to_string(reason.second - shown) + " more (--verbose lists them all)\n";
    }
    return out;
}

std::string conversion_report(const Conversion& c, bool verbose) {
    return conversion_summary(c) + conversion_details(c, verbose);
}

std::string model_suggestion(const Conversion& c) {
    std::size_t below = 0;
    for (const KeptRestraint& k : c.kept) below += below_class(c, k) ? 1 : 0;
    if (below == 0 || below * manyBelowClass < c.kept.size()) return "";
    return "Suggestion: noeModel=upper. " + std::to_string(below) + " of " + std::to_string(c.kept.size()) +
           " kept restraints have an upper bound below their class's lower bound, as lists taken from spectra do: "
           "protons that close bring the stand-in atoms nearer than that bound, which noeModel=window counts as a "
           "violation; under upper a restraint is violated only above its upper bound (--noe-model upper here)";
}
