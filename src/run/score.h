// The score of a placement: the root mean square of each restraint's smaller
// violation over its two pairings with the neighbouring protomer. Two ways
// to the same bits: the literal one over every point of the helix, and the
// Scorer, which places only the restraint ends, four at a time.
#pragma once
#include <vector>

#include "formats/candidates.h"
#include "geometry/geometry.h"
#include "formats/helix.h"
#include "formats/restraint.h"

// Squared excess of d over the bounds, 0 inside them.
float violation(float d, float lower, float upper);
// The running sum of a score: adds the smaller violation of the two pairings.
inline float add_better_pairing(float sum, float d1, float d2, float lower, float upper) {
    float u1 = violation(d1, lower, upper), u2 = violation(d2, lower, upper);
    return sum + (u2 < u1 ? u2 : u1);
}
// The score from the sum over count restraints: the root of the mean.
float root_mean(float sum, int count);
// Root mean square of the better pairing of each restraint.
float restraint_score(const Restraint& res, const Point* model, const Point* turned);

// The literal score: places every point of the aligned helix by the
// candidate, builds the neighbour in scratch (the helix's point count) and
// scores the pair.
float placed_score(const Helix& aligned, std::vector<Point>& scratch, const Restraint& res, int numProtomer,
                   const CandidateRow& row);
// For each restraint of a placed model: -1 when the neighbour turned by minus
// one step is the closer pairing, +1 when the other is, 0 on a tie.
void placed_flags(const Point* model, std::vector<Point>& scratch, const Restraint& res, int numProtomer,
                  int* flags);

// Scores candidates as placed_score does, bit for bit, but places only the
// points that restraints use, so the cost does not grow with the helix.
// One Scorer serves many threads, each with a Scratch of its own.
class Scorer {
public:
    Scorer(const Helix& aligned, const Restraint& res, int numProtomer);
    struct Scratch {  // one slot per restraint
        std::vector<float> ax, ay, az, bx, by, bz;  // the two ends rotated
        std::vector<float> d1, d2, better;
    };
    Scratch scratch() const;
    float score(const CandidateRow& row, Scratch& s) const;
    // The flags of placed_flags for this candidate.
    void flags(const CandidateRow& row, Scratch& s, int* flags) const;

    // The score in two steps, for many shifts of one rotation: the rotation
    // of the ends, then the score of each shift (x, y, z).
    void rotate_ends(const Rotation& r, Scratch& s) const;
    float score_rotated(const float shift[3], Scratch& s) const;

private:
    // Places both ends of every restraint and fills d1 and d2.
    void measure(const float shift[3], Scratch& s) const;
    std::size_t count_;
    Rotation step_;
    // Each restraint's two ends in the aligned helix, by coordinate, and its bounds.
    std::vector<float> ax_, ay_, az_, bx_, by_, bz_, lower_, upper_;
};
