#include "restraints/to_xplor.h"

#include "base/text.h"

namespace {

std::string selection(const AssignedAtom& a) {
    const std::string name = a.atomName == "H" ? "HN" : a.atomName + (a.wildcard ? "#" : "");
    return "(segid " + a.chain + " and resid " + std::to_string(a.residue) + " and name " + name + ")";
}

}  // namespace

std::string xplor_table(const std::vector<AssignedRestraint>& restraints, const std::vector<std::string>& heading) {
    std::string s;
    for (const std::string& line : heading) s += "! " + line + "\n";
    std::string comment;
    for (const AssignedRestraint& r : restraints) {
        if (r.comment != comment) s += "! " + r.comment + "\n";
        comment = r.comment;
        s += "assign " + selection(r.end1) + " " + selection(r.end2) + " " + decimals(r.distance, 3) + " " +
             decimals(static_cast<double>(r.distance) - r.lower, 3) + " " +
             decimals(static_cast<double>(r.upper) - r.distance, 3) + "\n";
    }
    return s;
}
