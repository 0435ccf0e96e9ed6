// The systematic search of placements: the grid, and the best K placements
// of it found on every core, with the best score over the turning angles for
// each tilt and radius (the landscape). Three rules make the kept placements
// physically sound: one of each pair of mirror twins is searched, placements
// whose backbones clash are left out, and equal scores are ordered by their
// packing energy (contacts.h).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/candidates.h"
#include "search/contacts.h"
#include "run/score.h"

// Grid values, each exactly as a candidate file holds it: the float that its
// three-decimal text reads back as. Angles in radians, radii in Angstrom.
struct Grid {
    std::vector<float> phi, theta, psi, radius;
    std::uint64_t size() const { return std::uint64_t(phi.size()) * theta.size() * psi.size() * radius.size(); }
    // Placement i in grid order: phi slowest, then theta, psi, radius fastest.
    CandidateRow row(std::uint64_t i) const;
    // The twin of (phi, theta, psi, radius), (phi + pi, pi - theta, pi - psi,
    // radius), is the same oligomer turned 180 degrees about x with protomers
    // k and N - k swapped: it scores alike but votes for the other neighbour.
    // The search keeps theta below 90 degrees, or at 90 with phi below 180,
    // judged by the grid values.
    bool one_twin(std::size_t phiIndex, std::size_t thetaIndex) const;
};
// phi and psi from 0 up to 360 degrees excluded, theta from 0 to 180
// included, in steps of angleStep degrees; radius from rBeg to rEnd included.
Grid make_grid(double angleStep, double rBeg, double rEnd, double rStep);
// The float a value becomes through a candidate file.
float as_written(double value);
// An angle in radians as the candidate file writes it, in [0, 2 pi): a
// value that rounds to a full turn is written 0.
float written_turn(double angle);

struct Hit {
    float score;
    std::uint64_t index;       // in grid order
    PackingUnits packing = 0;  // 0 when the search measures no packing
};
// Scores tie when they fall into the same millionth of an Angstrom: tied
// scores are then equal by fequal, and ties stay transitive, so the kept
// list does not depend on the order in which threads meet placements.
std::int64_t tie_class(float score);
// Orders hits best first: lower tie class of the score (NaN last), then
// lower packing energy, then grid order.
bool better(const Hit& a, const Hit& b);

struct SearchResult {
    std::vector<Hit> best;         // at most keep, best first
    std::vector<CandidateRow> rows;  // the placement of each, grid.row(index) unless refined off the grid
    std::vector<float> landscape;  // best score for each (theta, radius): theta * nRadius + radius; NaN for twins
    std::uint64_t searched = 0, twins = 0;  // placements scored, and those left out as mirror twins
    // Placements left out because their backbones clash, counted among
    // those in the tie class of the last kept placement or better (all of
    // them when fewer than keep are kept): only these are ever checked.
    std::uint64_t clashing = 0;
    bool packed = false, sideChains = false;  // packing measured; with side chains beyond CB
    // With contacts: every placement that passes the steric rule and scores
    // within allowedTolerance of the best (the set the restraints allow),
    // best first; the kept list is its head.
    std::vector<Hit> allowed;
};
// How far above the best score a placement still fits the restraints as
// well, in Angstrom of Delta: 0.05 A, a tenth of the half Angstrom to which
// bounds drawn from NOE intensities are known, so no list tells such
// placements apart. It stays below what a user would call a violation:
// one restraint of ten exceeded by 0.16 A already gives a Delta of 0.05.
constexpr double allowedTolerance = 0.05;
// Scores one twin of every placement of the grid with the scorer; with
// contacts, also applies the steric rule and measures the packing of the
// placements that can still enter the kept list. progress(done, total) is
// called now and then from one thread.
SearchResult search(const Scorer& scorer, const Grid& grid, std::size_t keep,
                    const std::function<void(std::uint64_t, std::uint64_t)>& progress = nullptr,
                    const ContactModel* contacts = nullptr);
// The summary lines of the three rules for the user.
std::vector<std::string> rule_summary(const SearchResult& result);
