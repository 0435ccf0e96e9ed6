#include "analysis/restraint_summary.h"

#include <algorithm>
#include <cmath>

std::vector<RestraintTally> restraint_tallies(const std::vector<std::vector<RestraintCheck>>& checks, float threshold) {
    std::vector<RestraintTally> tallies;
    const std::size_t count = checks.empty() ? 0 : checks.front().size();
    for (std::size_t i = 0; i < count; ++i) {
        RestraintTally t;
        t.line = static_cast<int>(i + 1);
        double sum = 0;
        for (const std::vector<RestraintCheck>& structure : checks) {
            const float v = structure[i].violation;
            t.violated += violated(structure[i], threshold) ? 1 : 0;
            sum += v;
            if (!(v <= t.largest)) t.largest = v;
        }
        t.mean = static_cast<float>(sum / static_cast<double>(checks.size()));
        tallies.push_back(t);
    }
    return tallies;
}

std::vector<RestraintTally> most_violated_first(std::vector<RestraintTally> tallies) {
    // A mean that is not a number (coordinates that are not) sorts as the largest.
    const auto mean = [](const RestraintTally& t) { return std::isnan(t.mean) ? HUGE_VALF : t.mean; };
    std::stable_sort(tallies.begin(), tallies.end(), [&mean](const RestraintTally& a, const RestraintTally& b) {
        return a.violated != b.violated ? a.violated > b.violated : mean(a) > mean(b);
    });
    return tallies;
}

std::string restraint_summary_csv(const std::vector<RestraintTally>& tallies, int structures, const RestraintNames& names) {
    std::string s = "line,restraint,structures,violated_over_threshold,violation_threshold,mean_violation,largest_violation\n";
    for (const RestraintTally& t : tallies) {
        s += std::to_string(t.line) + "," + csv_quoted(line_of(names, t.line - 1)) + "," + std::to_string(structures) + "," +
             std::to_string(t.violated) + "," + decimals3(names.threshold) + "," + decimals3(t.mean) + "," +
             decimals3(t.largest) + "\n";
    }
    return s;
}

std::string restraint_summary_line(const std::vector<RestraintTally>& tallies, int structures, float threshold) {
    const std::vector<RestraintTally> ordered = most_violated_first(tallies);
    int any = 0;
    for (const RestraintTally& t : ordered) any += t.violated > 0 ? 1 : 0;
    std::string s = "Restraints violated by more than " + threshold_words(threshold) + " in any of the best " +
                    std::to_string(structures) + ": " + std::to_string(any) + " of " + std::to_string(tallies.size());
    if (any > 0) {
        const RestraintTally& t = ordered.front();
        s += "; most often line " + std::to_string(t.line) + " (in " + std::to_string(t.violated) + " of " +
             std::to_string(structures) + ", mean " + decimals3(t.mean) + " \u00c5, largest " + decimals3(t.largest) +
             " \u00c5)";
    }
    return s + "; restraint_summary.csv gives each";
}
