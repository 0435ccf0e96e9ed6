// The tables of noebundle-analyze: ranking.csv, violations.csv and the lines
// of its summary on standard output.
#pragma once
#include <string>
#include <vector>

#include "formats/candidates.h"
#include "geometry/bundle_geometry.h"
#include "formats/restraint.h"
#include "run/cluster.h"
#include "run/superpose.h"
#include "analysis/violations.h"

// One ranked structure as measured by the analysis.
struct RankedResult {
    int rank;
    float delta;
    CandidateRow row;
    float closestBackbone;
    double packing;
    ViolationCount violations;
    bool hasReference = false;
    Assignment reference;  // with hasReference
    int cluster = 0;       // 0: not among the clustered top structures
    BundleGeometry geometry{};
};

// What the restraint tables need to name restraints as written, and to mark the violated ones.
struct RestraintNames {
    const Restraint& res;
    const std::vector<std::string>& lines;  // the restraint file's lines
    const std::vector<int>& resNum;         // residue number of each helix position
    int numProtomer;
    float threshold = defaultViolationThreshold;  // a violation above it counts
};

// phi, theta and psi in degrees, as whole steps of angleStep (degrees) where they are (formats/angle_text.h);
// the violated restraints counted above threshold, which a column repeats.
std::string ranking_csv(const std::vector<RankedResult>& results, bool withReference, double angleStep = 0,
                        float threshold = defaultViolationThreshold);

// checks[k]: the restraints of the structure ranked k + 1.
std::string violations_csv(const std::vector<std::vector<RestraintCheck>>& checks, const RestraintNames& names);

// The restraints of one structure, aligned for a terminal; those violated above names.threshold marked.
std::vector<std::string> violation_table(const std::vector<RestraintCheck>& checks, const RestraintNames& names);

// The first count structures in short.
std::vector<std::string> top_table(const std::vector<RankedResult>& results, std::size_t count, bool withReference);

// The clusters of the top in words: their number within the cutoff, then each one's size and best member.
std::vector<std::string> cluster_lines(const Clustering& clusters, double cutoff, std::size_t top);

// "1,2,3,4 on A,B,C,D": which chain of the reference each protomer takes.
std::string assignment_text(const Assignment& a, const std::vector<std::string>& chains);

// A CSV field in double quotes, quotes doubled and carriage returns left out.
std::string csv_quoted(const std::string& text);

// Restraint i's line as the restraint file writes it, without a carriage return.
std::string line_of(const RestraintNames& n, int i);

// A number with three decimals, empty for infinity or NaN.
std::string decimals3(double value);
