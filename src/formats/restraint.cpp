#include "formats/restraint.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "base/text.h"
#include "formats/proton_reach.h"

static float end_reach(const std::vector<std::string>& residueNames, int resIndex, const char* proton) {
    const bool known = resIndex >= 0 && resIndex < static_cast<int>(residueNames.size());
    return proton_reach(known ? residueNames[resIndex] : std::string(), proton);
}

void apply_noe_model(NoeModel model, const std::vector<std::string>& residueNames, Restraint& res) {
    if (model == NoeModel::window) return;
    // The class bounds hold for protons up to the delta position (HN, HA, HB
    // on CA's side; HG, HD on CB's): none lies farther from its stand-in than
    // the farthest HD. A proton farther out moves the stand-in distance by at
    // most the difference.
    const float covered = proton_reach("", "HD");
    const int kept = std::min(res.numRestraint, static_cast<int>(res.lowerBound.size()));
    for (int i = 0; i < kept; ++i) {
        res.lowerBound[i] = 0.0f;
        const float beyond1 = end_reach(residueNames, res.resIndex1[i], res.proton1[i]) - covered;
        const float beyond2 = end_reach(residueNames, res.resIndex2[i], res.proton2[i]) - covered;
        res.upperBound[i] = res.upperBound[i] + std::max(beyond1, 0.0f) + std::max(beyond2, 0.0f);
    }
}

void Restraint::resize(int n) {
    const std::size_t size = static_cast<std::size_t>(std::max(n, 0));
    for (std::vector<int>* column : {&resIndex1, &resIndex2, &pairClass}) column->resize(size);
    for (NameColumn* column : {&atom1, &proton1, &atom2, &proton2}) column->resize(size);
    lowerBound.resize(size);
    upperBound.resize(size);
}

void add_restraint(Restraint& res, const RestraintLine& r, int most) {
    const int i = res.numRestraint;
    if (i < most) {
        if (static_cast<std::size_t>(i) >= res.lowerBound.size()) res.resize(i + 1);
        res.resIndex1[i] = r.resIndex1;
        res.resIndex2[i] = r.resIndex2;
        res.pairClass[i] = r.pairClass;
        std::strcpy(res.atom1[i], r.atom1.c_str());
        std::strcpy(res.atom2[i], r.atom2.c_str());
        std::strcpy(res.proton1[i], r.proton1.c_str());
        std::strcpy(res.proton2[i], r.proton2.c_str());
        res.lowerBound[i] = r.lowerBound;
        res.upperBound[i] = r.upperBound;
    }
    ++res.numRestraint;
}

Status parse_restraints(std::istream& in, const std::string& noeFile, const std::vector<int>& resNum,
                        const float pairDistance[3], const float pairTolerance[3], Restraint& res, int most) {
    for (std::string line; std::getline(in, line);) {
        RestraintLine parsed;
        Status status = parse_restraint_line(line, noeFile, resNum, pairDistance, pairTolerance, parsed);
        if (!status.ok()) return status;
        add_restraint(res, parsed, most);
    }
    return count_status(res, noeFile, most);
}

Status load_restraints(const std::string& noeFile, const std::vector<int>& resNum, const float pairDistance[3],
                       const float pairTolerance[3], Restraint& res, int most) {
    std::ifstream in;
    if (!open_input(in, noeFile)) return Status::error(cannot_open(noeFile));
    return parse_restraints(in, noeFile, resNum, pairDistance, pairTolerance, res, most);
}

Status count_status(const Restraint& res, const std::string& noeFile, int most) {
    if (res.numRestraint < 3) return Status::error("[Error] Very few restraints in '" + noeFile + "'");
    if (res.numRestraint > most && most == maxRestraint)
        return Status::error("[Error] Too many restraints in '" + noeFile + "'");
    if (res.numRestraint > most)
        return Status::error("[Error] Too many restraints in '" + noeFile + "': " + std::to_string(res.numRestraint) +
                             ", more than the " + std::to_string(most) +
                             " noebundle takes: keep those of fewer residues (noebundle-restraints --residues FIRST-LAST)");
    return Status::fine();
}

static bool same_ignoring_case(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != b[i]) return false;
    }
    return true;
}

// The heavy atom that stands in for a proton, and whether it is a side-chain one.
static std::string stand_in(const std::string& proton, bool& sideChain) {
    static const char* const backbone[] = {"HN", "HA", "HB"};
    static const char* const side[] = {"HG", "HD", "HE", "HZ", "HH"};
    sideChain = false;
    for (const char* name : backbone)
        if (same_ignoring_case(proton, name)) return "CA";
    for (const char* name : side)
        if (same_ignoring_case(proton, name)) {
            sideChain = true;
            return "CB";
        }
    return proton;
}

static int position_of(int number, const std::vector<int>& resNum) {
    for (std::size_t k = 0; k < resNum.size(); ++k)
        if (resNum[k] == number) return static_cast<int>(k);
    return -1;
}

Status parse_restraint_line(std::string& line, const std::string& noeFile,
                            const std::vector<int>& resNum, const float pairDistance[3],
                            const float pairTolerance[3], RestraintLine& out) {
    for (char& c : line)
        if (c == '(' || c == ')') c = ' ';
    std::size_t first = line.find_first_not_of(' ');
    line = first == std::string::npos ? std::string()
                                      : line.substr(first, line.find_last_not_of(' ') - first + 1);
    std::vector<std::string> tokens;
    std::size_t pos = 0;
    while (pos < line.size() && tokens.size() <= 10) {
        std::size_t end = line.find(' ', pos);
        if (end == std::string::npos) end = line.size();
        if (end > pos) tokens.push_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
    if (tokens.size() != 10) return Status::error(wrong_format(noeFile));

    const int number1 = to_int(tokens[1]), number2 = to_int(tokens[6]);
    out.proton1 = tokens[4].substr(0, 2);
    out.proton2 = tokens[9].substr(0, 2);
    bool side1, side2;
    out.atom1 = stand_in(out.proton1, side1);
    out.atom2 = stand_in(out.proton2, side2);
    out.pairClass = (side1 ? 1 : 0) + (side2 ? 1 : 0);
    out.lowerBound = pairDistance[out.pairClass] - pairTolerance[out.pairClass];
    out.upperBound = pairDistance[out.pairClass] + pairTolerance[out.pairClass];

    // Every end must have a point in the helix.
    out.resIndex1 = position_of(number1, resNum);
    out.resIndex2 = position_of(number2, resNum);
    for (int number : {number1, number2})
        if (position_of(number, resNum) < 0)
            return Status::error("[Error] Residue " + std::to_string(number) + " in '" + noeFile +
                                 "' is not in the helix");
    for (const std::string* atom : {&out.atom1, &out.atom2})
        if (*atom != "CA" && *atom != "CB")
            return Status::error("[Error] Atom " + std::string(atom->c_str()) + " in '" + noeFile +
                                 "' is neither CA nor CB");
    return Status::fine();
}
