// The systematic search of placements: the grid, and the best K placements
// of it found on every core, with the best score over the turning angles for
// each tilt and radius (the landscape).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "candidates.h"
#include "score.h"

// Grid values, each exactly as a candidate file holds it: the float that its
// three-decimal text reads back as. Angles in radians, radii in Angstrom.
struct Grid {
    std::vector<float> phi, theta, psi, radius;
    std::uint64_t size() const { return std::uint64_t(phi.size()) * theta.size() * psi.size() * radius.size(); }
    // Placement i in grid order: phi slowest, then theta, psi, radius fastest.
    CandidateRow row(std::uint64_t i) const;
};
// phi and psi from 0 up to 360 degrees excluded, theta from 0 to 180
// included, in steps of angleStep degrees; radius from rBeg to rEnd included.
Grid make_grid(double angleStep, double rBeg, double rEnd, double rStep);
// The float a value becomes through a candidate file.
float as_written(double value);

struct Hit {
    float score;
    std::uint64_t index;  // in grid order
};
// Orders hits best first: lower score, NaN last, then grid order.
bool better(const Hit& a, const Hit& b);

struct SearchResult {
    std::vector<Hit> best;             // at most keep, best first
    std::vector<float> landscape;      // best score for each (theta, radius): theta * nRadius + radius
    std::uint64_t searched = 0;
};
// Scores every placement of the grid with the scorer; progress(done, total)
// is called now and then from one thread.
SearchResult search(const Scorer& scorer, const Grid& grid, std::size_t keep,
                    const std::function<void(std::uint64_t, std::uint64_t)>& progress = nullptr);
