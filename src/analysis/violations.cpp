#include "analysis/violations.h"

#include <cmath>

#include "base/text.h"

PlacedPair place_pair(const Helix& aligned, const CandidateRow& row, int numProtomer) {
    const int n = aligned.numPoint();
    PlacedPair placed{std::vector<Point>(n), std::vector<Point>(n)};
    std::vector<Point> rotated(n);
    rotate_points(aligned.coord.data(), &row[0], rotated.data(), n);
    shift_points(rotated.data(), placed.model.data(), &row[3], n);
    const float step[3] = {step_angle(numProtomer), 0, 0};
    rotate_points(placed.model.data(), step, placed.turned.data(), n);
    return placed;
}

float placement_delta(const Restraint& res, const PlacedPair& placed) {
    return restraint_score(res, placed.model.data(), placed.turned.data());
}

static float excess(float d, float lower, float upper) {
    return d > upper ? d - upper : (d < lower ? lower - d : 0.0f);
}

std::vector<RestraintCheck> check_restraints(const Restraint& res, const PlacedPair& placed, int numProtomer) {
    std::vector<RestraintCheck> checks;
    for (int i = 0; i < res.numRestraint; ++i) {
        float d1, d2;
        pair_distances(res, i, placed.model.data(), placed.turned.data(), d1, d2);
        const float lower = res.lowerBound[i], upper = res.upperBound[i];
        const float u1 = violation(d1, lower, upper), u2 = violation(d2, lower, upper);
        // d1 puts the second end on protomer 2; d2 puts the first end there,
        // which by symmetry is the second end on the last protomer.
        const bool second = u2 < u1 || (!(u1 < u2) && closer_side(d1, d2) > 0);
        const float d = second ? d2 : d1;
        checks.push_back({d, second ? numProtomer : 2, excess(d, lower, upper)});
    }
    return checks;
}

bool violated(const RestraintCheck& check, float threshold) {
    return check.violation > threshold || std::isnan(check.violation);
}

std::string threshold_words(float threshold) {
    std::string text = decimals(threshold, 3);
    while (text.size() > 1 && text.back() == '0' && text[text.size() - 2] != '.') text.pop_back();
    return text + " \u00c5";
}

ViolationCount count_violations(const std::vector<RestraintCheck>& checks, float threshold) {
    ViolationCount count;
    for (const RestraintCheck& c : checks) {
        if (violated(c, threshold)) ++count.violated;
        if ((c.violation > 0 || std::isnan(c.violation)) && !(c.violation <= count.largest)) count.largest = c.violation;
    }
    return count;
}

std::string stand_in_atom(const Restraint& res, int i, int end, const std::vector<int>& resNum) {
    const int index = end == 1 ? res.resIndex1[i] : res.resIndex2[i];
    return std::to_string(resNum[index]) + " " + (end == 1 ? res.atom1[i] : res.atom2[i]);
}
