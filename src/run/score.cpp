#include "run/score.h"

#include <algorithm>

#include "geometry/lanes.h"

float violation(float d, float lower, float upper) {
    const float excess = d > upper ? d - upper : (d < lower ? d - lower : 0.0f);
    // The square of a float is exact in double, so squaring in double and
    // rounding to float is one rounding, the same as a float product.
    return excess * excess;
}

float root_mean(float sum, int count) {
    // A float square root equals the double one rounded to float.
    return std::sqrt(sum / static_cast<float>(count));
}

float restraint_score(const Restraint& res, const Point* model, const Point* turned) {
    float sum = 0;
    for (int r = 0; r < res.numRestraint; ++r) {
        float d1, d2;
        pair_distances(res, r, model, turned, d1, d2);
        sum = add_better_pairing(sum, d1, d2, res.lowerBound[r], res.upperBound[r]);
    }
    return root_mean(sum, res.numRestraint);
}

// The neighbour of a placed model: the model copied into the scratch array
// and turned by one step about z, as the run builds it.
static void build_neighbour(const Point* model, std::vector<Point>& scratch, int numProtomer,
                            std::vector<Point>& turned) {
    const int n = static_cast<int>(scratch.size());
    std::copy(model, model + n, scratch.begin());
    const float step[3] = {step_angle(numProtomer), 0, 0};
    turned.resize(n);
    rotate_points(scratch.data(), step, turned.data(), n);
}

float placed_score(const Helix& aligned, std::vector<Point>& scratch, const Restraint& res, int numProtomer,
                   const CandidateRow& row) {
    static thread_local std::vector<Point> rotated, model, turned;  // reused between calls
    const int n = aligned.numPoint();
    rotated.resize(n);
    model.resize(n);
    rotate_points(aligned.coord.data(), &row[0], rotated.data(), n);
    shift_points(rotated.data(), model.data(), &row[3], n);
    build_neighbour(model.data(), scratch, numProtomer, turned);
    return restraint_score(res, model.data(), turned.data());
}

void placed_flags(const Point* model, std::vector<Point>& scratch, const Restraint& res, int numProtomer,
                  int* flags) {
    std::vector<Point> turned;
    build_neighbour(model, scratch, numProtomer, turned);
    for (int i = 0; i < res.numRestraint; ++i) {
        float d1, d2;
        pair_distances(res, i, model, turned.data(), d1, d2);
        flags[i] = closer_side(d1, d2);
    }
}

Scorer::Scorer(const Helix& aligned, const Restraint& res, int numProtomer) : count_(res.numRestraint) {
    const float step[3] = {step_angle(numProtomer), 0, 0};
    step_ = rotation_matrix(step);
    for (int r = 0; r < res.numRestraint; ++r) {
        const Point a = aligned.coord[end_point(res.resIndex1[r], res.atom1[r])];
        const Point b = aligned.coord[end_point(res.resIndex2[r], res.atom2[r])];
        ax_.push_back(a.x), ay_.push_back(a.y), az_.push_back(a.z);
        bx_.push_back(b.x), by_.push_back(b.y), bz_.push_back(b.z);
        lower_.push_back(res.lowerBound[r]);
        upper_.push_back(res.upperBound[r]);
    }
    // Whole groups of four for the vector loop; the padding is never added up.
    const std::size_t padded = (count_ + 3) / 4 * 4;
    for (std::vector<float>* v : {&ax_, &ay_, &az_, &bx_, &by_, &bz_, &lower_, &upper_}) v->resize(padded, 0.0f);
}

Scorer::Scratch Scorer::scratch() const {
    const std::vector<float> room(ax_.size());
    return Scratch{room, room, room, room, room, room, room, room, room};
}


void Scorer::rotate_ends(const Rotation& r, Scratch& s) const {
    for (std::size_t i = 0; i < ax_.size(); i += 4) {
        const Points a = transform(r, {load(&ax_[i]), load(&ay_[i]), load(&az_[i])});
        const Points b = transform(r, {load(&bx_[i]), load(&by_[i]), load(&bz_[i])});
        store(&s.ax[i], a.x), store(&s.ay[i], a.y), store(&s.az[i], a.z);
        store(&s.bx[i], b.x), store(&s.by[i], b.y), store(&s.bz[i], b.z);
    }
}

void Scorer::measure(const float shift[3], Scratch& s) const {
    const Lanes sx = lanes(shift[0]), sy = lanes(shift[1]), sz = lanes(shift[2]);
    for (std::size_t i = 0; i < ax_.size(); i += 4) {
        const Points a{load(&s.ax[i]) + sx, load(&s.ay[i]) + sy, load(&s.az[i]) + sz};
        const Points b{load(&s.bx[i]) + sx, load(&s.by[i]) + sy, load(&s.bz[i]) + sz};
        store(&s.d1[i], gaps(a, transform(step_, b)));
        store(&s.d2[i], gaps(transform(step_, a), b));
    }
}

float Scorer::score_rotated(const float shift[3], Scratch& s) const {
    measure(shift, s);
    for (std::size_t i = 0; i < ax_.size(); i += 4) {
        const Lanes lower = load(&lower_[i]), upper = load(&upper_[i]);
        store(&s.better[i], smaller(violations(load(&s.d2[i]), lower, upper),
                                    violations(load(&s.d1[i]), lower, upper)));
    }
    float sum = 0;  // in restraint order, as the plain loop adds
    for (std::size_t i = 0; i < count_; ++i) sum += s.better[i];
    return root_mean(sum, static_cast<int>(count_));
}

float Scorer::score(const CandidateRow& row, Scratch& s) const {
    rotate_ends(rotation_matrix(&row[0]), s);
    return score_rotated(&row[3], s);
}

void Scorer::flags(const CandidateRow& row, Scratch& s, int* flags) const {
    rotate_ends(rotation_matrix(&row[0]), s);
    measure(&row[3], s);
    for (std::size_t i = 0; i < count_; ++i) flags[i] = closer_side(s.d1[i], s.d2[i]);
}

