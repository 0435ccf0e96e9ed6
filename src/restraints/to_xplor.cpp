#include "restraints/to_xplor.h"

#include "base/text.h"

namespace {

std::string selection(const AssignedAtom& a) {
    const std::string name = a.atomName + (a.wildcard ? "#" : "");
    return "(segid " + a.chain + " and resid " + std::to_string(a.residue) + " and name " + name + ")";
}

std::string end_selection(const std::vector<AssignedAtom>& end) {
    std::string s;
    for (const AssignedAtom& a : end) s += (s.empty() ? "" : " or ") + selection(a);
    return end.size() == 1 ? s : "(" + s + ")";
}

// distance, minus, plus: without a target the upper bound is the distance.
std::string terms(const AssignedRestraint& r) {
    if (!r.terms.empty()) return r.terms;
    const double d = r.hasTarget ? r.distance : r.upper;
    return decimals(d, 3) + " " + decimals(d - (r.hasLower ? r.lower : 0.0f), 3) + " " + decimals(r.upper - d, 3);
}

}  // namespace

std::string xplor_table(const std::vector<AssignedRestraint>& restraints, const std::vector<std::string>& heading) {
    std::string s;
    for (const std::string& line : heading) s += "! " + line + "\n";
    std::string comment;
    for (const AssignedRestraint& r : restraints) {
        if (r.comment != comment) s += "! " + r.comment + "\n";
        comment = r.comment;
        s += "assign " + end_selection(r.end1) + " " + end_selection(r.end2) + " " + terms(r) + "\n";
    }
    return s;
}
