#include "formats/verdict_line.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

bool decides(const AllowedSet& set) {
    return set.clusters.size() == 1 && double(set.clusters[0].delta) <= set.tolerance + 1e-6;
}

std::string one_decimal(double value, const std::string& unit) {
    return std::isfinite(value) ? decimals(value, 1) + unit : "undefined";
}

std::string verdict_line(const AllowedSet& set, const std::vector<double>& crossingAngles) {
    const std::string n = std::to_string(set.allowed);
    if (set.clusters.size() == 1 && !decides(set))
        return "Warning: the restraints do not decide the bundle: no placement meets them all (best Delta " +
               decimals(set.clusters[0].delta, 3) + " \xC3\x85); the " + n + " that fit them as well lie within " +
               one_decimal(set.clusters[0].spread, " \xC3\x85") + " of structure 1, but a restraint or the helix's "
               "shape may be wrong";
    if (set.clusters.size() <= 1) {
        if (set.allowed == 1) return "The restraints decide the bundle: structure 1 is the only placement that fits them";
        return "The restraints decide the bundle: all " + n + " placements that fit them lie within " +
               one_decimal(set.clusters.empty() ? 0.0 : set.clusters[0].spread, " \xC3\x85") + " of structure 1";
    }
    std::string angles;
    for (std::size_t k = 0; k < crossingAngles.size() && k < 6; ++k)
        angles += (k ? ", " : "") + one_decimal(crossingAngles[k], "\xC2\xB0");
    if (crossingAngles.size() > 6) angles += ", ...";
    double apart = 0;
    for (const AllowedCluster& c : set.clusters) apart = std::max(apart, c.toFirst);
    return "Warning: the restraints do not decide the bundle: " + n + " placements fit them equally, in " +
           std::to_string(set.clusters.size()) + " clusters (crossing angles " + angles + "; up to " +
           one_decimal(apart, " \xC3\x85") + " apart)";
}
