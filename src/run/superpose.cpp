#include "run/superpose.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct Vec {
    double x, y, z;
};

// The largest eigenvalue of a symmetric 4 x 4 matrix by cyclic Jacobi
// rotations, which converge for every matrix, degenerate ones included;
// its eigenvector too when vector is given.
double largest_eigenvalue(double a[4][4], double* vector = nullptr) {
    double v[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0, scale = 0;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) (i == j ? scale : off) += a[i][j] * a[i][j];
        if (off <= 1e-30 * scale || off == 0) break;
        for (int p = 0; p < 3; ++p)
            for (int q = p + 1; q < 4; ++q) {
                if (a[p][q] == 0) continue;
                const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const double t = (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < 4; ++k) {  // columns p and q
                    const double kp = a[k][p], kq = a[k][q];
                    a[k][p] = c * kp - s * kq;
                    a[k][q] = s * kp + c * kq;
                    const double vp = v[k][p], vq = v[k][q];
                    v[k][p] = c * vp - s * vq;
                    v[k][q] = s * vp + c * vq;
                }
                for (int k = 0; k < 4; ++k) {  // rows p and q
                    const double pk = a[p][k], qk = a[q][k];
                    a[p][k] = c * pk - s * qk;
                    a[q][k] = s * pk + c * qk;
                }
            }
    }
    int best = 0;
    for (int i = 1; i < 4; ++i)
        if (a[i][i] > a[best][best]) best = i;
    for (int k = 0; vector != nullptr && k < 4; ++k) vector[k] = v[k][best];
    return a[best][best];
}

Vec centre(const std::vector<Vec>& v) {
    Vec c{0, 0, 0};
    for (const Vec& p : v) c.x += p.x, c.y += p.y, c.z += p.z;
    const double n = static_cast<double>(std::max<std::size_t>(v.size(), 1));
    return {c.x / n, c.y / n, c.z / n};
}

}  // namespace

// The RMSD after the best rotation (Horn's quaternion method) of centred
// points, from their correlation s = sum of a b^T and sum = sum of |a|^2 +
// |b|^2: the largest eigenvalue of the key matrix gives it directly, its
// eigenvector (when quaternion is given) the rotation that puts a on b.
static double rmsd_of(const double s[3][3], double sum, double count, double* quaternion = nullptr) {
    const double xx = s[0][0], xy = s[0][1], xz = s[0][2], yx = s[1][0], yy = s[1][1], yz = s[1][2];
    const double zx = s[2][0], zy = s[2][1], zz = s[2][2];
    double n[4][4] = {{xx + yy + zz, yz - zy, zx - xz, xy - yx},
                      {yz - zy, xx - yy - zz, xy + yx, zx + xz},
                      {zx - xz, xy + yx, -xx + yy - zz, yz + zy},
                      {xy - yx, zx + xz, yz + zy, -xx - yy + zz}};
    return std::sqrt(std::max(0.0, (sum - 2 * largest_eigenvalue(n, quaternion)) / std::max(count, 1.0)));
}

// The correlation s of a and b about their centres, and the sum of their
// squared distances from them (points of float or double coordinates).
template <class P>
static double correlate(const std::vector<P>& a, const std::vector<P>& b, const Vec& ca, const Vec& cb,
                        double s[3][3]) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double p[3] = {a[i].x - ca.x, a[i].y - ca.y, a[i].z - ca.z};
        const double q[3] = {b[i].x - cb.x, b[i].y - cb.y, b[i].z - cb.z};
        for (int j = 0; j < 3; ++j) {
            sum += p[j] * p[j] + q[j] * q[j];
            for (int k = 0; k < 3; ++k) s[j][k] += p[j] * q[k];
        }
    }
    return sum;
}

// The RMSD after the best rotation and translation.
static double superposed_rmsd(const std::vector<Vec>& a, const std::vector<Vec>& b) {
    const Vec ca = centre(a), cb = centre(b);
    double s[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    const double sum = correlate(a, b, ca, cb, s);
    return rmsd_of(s, sum, static_cast<double>(a.size()));
}

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

Matrix product(const Matrix& a, const Matrix& b) {
    Matrix c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) c[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return c;
}

Vec ring_centre(const std::vector<Point>& first, int n) {
    Vec c{0, 0, 0};
    for (const Point& p : first) c.x += p.x, c.y += p.y, c.z += p.z;
    const double count = double(std::max<std::size_t>(first.size(), 1));
    return n == 1 ? Vec{c.x / count, c.y / count, c.z / count} : Vec{0, 0, c.z / count};
}

Matrix turn_about_z(double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
}

}  // namespace

RingCorrelation::RingCorrelation(int n) : n_(n) {
    for (int p = 0; p < n; ++p) turns_.push_back(turn_about_z(2 * M_PI * p / n));
}

Assignment RingCorrelation::best(const std::vector<Point>& target, const std::vector<Point>& mobile) const {
    // Each ring's centre lies on the axis, at the mean height of protomer 1
    // (a single protomer is its own centre).
    const Vec ct = ring_centre(target, n_), cm = ring_centre(mobile, n_);
    double first[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};  // protomer 1 of the target against the mobile's
    const double sum = correlate(target, mobile, ct, cm, first);
    Matrix c{};
    for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 3; ++k) c[j][k] = first[j][k];
    // Target chain d p against mobile protomer p: the sum over p of
    // R^(d p) c R^-p. Another start turns the target ring onto itself, so
    // it gives the same RMSD: start 0 stands for them all.
    Matrix forward{}, backward{};
    for (int p = 0; p < n_; ++p) {
        const Matrix f = product(product(turns_[p], c), turns_[(n_ - p) % n_]);
        const Matrix b = product(product(turns_[(n_ - p) % n_], c), turns_[(n_ - p) % n_]);
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) forward[j][k] += f[j][k], backward[j][k] += b[j][k];
    }
    Assignment best;
    for (int direction : {1, -1}) {
        if (n_ <= 2 && direction < 0) break;  // two chains: the reverse is a shift
        double plain[3][3];
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) plain[j][k] = (direction > 0 ? forward : backward)[j][k];
        const double rmsd = rmsd_of(plain, n_ * sum, double(n_) * double(target.size()));
        if (direction > 0 || rmsd < best.rmsd) best = {rmsd, 0, direction};
    }
    return best;
}

Assignment best_assignment(const Oligomer& target, const Oligomer& mobile) {
    const int n = static_cast<int>(target.size());
    std::vector<Vec> moving;
    for (const std::vector<Point>& protomer : mobile)
        for (const Point& q : protomer) moving.push_back({q.x, q.y, q.z});
    Assignment best;
    bool first = true;
    std::vector<Vec> fixed;
    for (int direction : {1, -1}) {
        for (int start = 0; start < n; ++start) {
            if (n <= 2 && direction < 0) break;  // two chains: the reverse is a shift
            Assignment a;
            a.start = start;
            a.direction = direction;
            fixed.clear();
            for (int p = 0; p < n; ++p)
                for (const Point& q : target[a.chain_of(p, n)]) fixed.push_back({q.x, q.y, q.z});
            a.rmsd = superposed_rmsd(fixed, moving);
            if (first || a.rmsd < best.rmsd) best = a;
            first = false;
        }
    }
    return best;
}

Oligomer select_points(const Oligomer& oligomer, const std::vector<int>& indices) {
    Oligomer out(oligomer.size());
    for (std::size_t p = 0; p < oligomer.size(); ++p)
        for (int i : indices) out[p].push_back(oligomer[p][i]);
    return out;
}

Superposition superpose(const std::vector<Point>& target, const std::vector<Point>& mobile) {
    std::vector<Vec> a, b;  // a onto b
    for (const Point& p : mobile) a.push_back({p.x, p.y, p.z});
    for (const Point& p : target) b.push_back({p.x, p.y, p.z});
    const Vec ca = centre(a), cb = centre(b);
    double s[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    const double sum = correlate(a, b, ca, cb, s);
    double q[4];
    Superposition out;
    out.rmsd = rmsd_of(s, sum, static_cast<double>(a.size()), q);
    const double w = q[0], x = q[1], y = q[2], z = q[3];  // the unit quaternion of the rotation
    const double r[3][3] = {{w * w + x * x - y * y - z * z, 2 * (x * y - w * z), 2 * (x * z + w * y)},
                            {2 * (y * x + w * z), w * w - x * x + y * y - z * z, 2 * (y * z - w * x)},
                            {2 * (z * x - w * y), 2 * (z * y + w * x), w * w - x * x - y * y + z * z}};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) out.rotation[i][j] = r[i][j];
        out.mobileCentre[i] = i == 0 ? ca.x : (i == 1 ? ca.y : ca.z);
        out.targetCentre[i] = i == 0 ? cb.x : (i == 1 ? cb.y : cb.z);
    }
    return out;
}

Point Superposition::apply(Point p) const {
    const double d[3] = {p.x - mobileCentre[0], p.y - mobileCentre[1], p.z - mobileCentre[2]};
    float out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = static_cast<float>(rotation[i][0] * d[0] + rotation[i][1] * d[1] + rotation[i][2] * d[2] + targetCentre[i]);
    return {out[0], out[1], out[2]};
}
