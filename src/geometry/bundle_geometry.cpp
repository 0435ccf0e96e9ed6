#include "geometry/bundle_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geometry/place.h"

namespace {

using ideal::Vec;
using ideal::cross;
using ideal::dot;
using ideal::norm;

constexpr double none = std::numeric_limits<double>::quiet_NaN();
constexpr double pi = 3.14159265358979323846;

Vec vec(Point p) { return {p.x, p.y, p.z}; }

struct Axis {
    std::vector<Vec> local;  // one point per residue but the first and the last two
    Vec start, end;          // the fitted line over the helix's extent, first residue to last
    Vec centre;              // on the line, nearest the mean of the CA atoms
    bool ok = false;
};

// The bisector method over residues 1 to n - 3.
std::vector<Vec> local_axis(const std::vector<Vec>& ca) {
    std::vector<Vec> points;
    for (std::size_t i = 1; i + 2 < ca.size(); ++i) {
        const Vec u1 = (2.0 * ca[i] - ca[i - 1]) - ca[i + 1], u2 = (2.0 * ca[i + 1] - ca[i]) - ca[i + 2];
        const double n1 = norm(u1), n2 = norm(u2), bend = 1 - dot(u1, u2) / (n1 * n2);
        if (!(n1 > 0 && n2 > 0 && bend > 1e-9)) continue;  // no turn to measure here
        points.push_back(ca[i] - (std::sqrt(n1 * n2) / (2 * bend) / n1) * u1);
    }
    return points;
}

Vec mean_of(const std::vector<Vec>& points) {
    Vec sum{0, 0, 0};
    for (const Vec& p : points) sum = sum + p;
    return (1.0 / points.size()) * sum;
}

// The direction of largest spread of the points about c, by power iteration
// from a first guess.
Vec principal_direction(const std::vector<Vec>& points, Vec c, Vec guess) {
    double m[3][3] = {};
    for (const Vec& p : points) {
        const double d[3] = {p.x - c.x, p.y - c.y, p.z - c.z};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) m[i][j] += d[i] * d[j];
    }
    Vec v = ideal::unit(guess);
    for (int k = 0; k < 200; ++k)
        v = ideal::unit({m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                         m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z});
    return dot(v, guess) < 0 ? -1.0 * v : v;
}

Axis helix_axis(const std::vector<Point>& caPoints) {
    Axis a;
    std::vector<Vec> ca;
    for (Point p : caPoints) ca.push_back(vec(p));
    a.local = local_axis(ca);
    if (a.local.size() < 2) return a;
    const Vec c = mean_of(a.local), d = principal_direction(a.local, c, ca.back() - ca.front());
    const auto on_line = [&](Vec p) { return c + dot(p - c, d) * d; };
    a.start = on_line(ca.front());
    a.end = on_line(ca.back());
    a.centre = on_line(mean_of(ca));
    a.ok = std::isfinite(dot(a.end - a.start, a.end - a.start));
    return a;
}

Vec turned(Vec p, double angle) {  // about z, by angle counter-clockwise seen from +z
    return {std::cos(angle) * p.x - std::sin(angle) * p.y, std::sin(angle) * p.x + std::cos(angle) * p.y, p.z};
}

// The shortest distance between segments p0-p1 and q0-q1 (both of length > 0).
double segment_distance(Vec p0, Vec p1, Vec q0, Vec q1) {
    const Vec d1 = p1 - p0, d2 = q1 - q0, r = p0 - q0;
    const double a = dot(d1, d1), e = dot(d2, d2), b = dot(d1, d2), c = dot(d1, r), f = dot(d2, r);
    const double denominator = a * e - b * b;
    double s = denominator > 1e-12 * a * e ? std::clamp((b * f - c * e) / denominator, 0.0, 1.0) : 0.0;
    double t = (b * s + f) / e;
    if (t < 0 || t > 1) {
        t = std::clamp(t, 0.0, 1.0);
        s = std::clamp((b * t - c) / a, 0.0, 1.0);
    }
    return norm((p0 + s * d1) - (q0 + t * d2));
}

double rms_distance_to_line(const std::vector<Vec>& points, Vec a, Vec b) {
    const Vec d = ideal::unit(b - a);
    double sum = 0;
    for (const Vec& p : points) sum += dot(cross(p - a, d), cross(p - a, d));
    return std::sqrt(sum / points.size());
}

// Fits the local axis points with a helix about z: angle about z and
// distance from z linear in z (helices of a bundle may splay). Sets the
// supercoil when the axis is bent beyond the precision of coordinates and
// the helix fits the points closer than the straight line by a margin.
void fit_supercoil(const Axis& a, BundleGeometry& g) {
    const std::size_t n = a.local.size();
    std::vector<double> angle(n);
    double radius = 0, zMean = 0, angleMean = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Vec& p = a.local[i];
        angle[i] = std::atan2(p.y, p.x);
        if (i > 0) angle[i] -= 2 * pi * std::round((angle[i] - angle[i - 1]) / (2 * pi));  // unwrapped
        radius += std::hypot(p.x, p.y) / n;
        zMean += p.z / n;
        angleMean += angle[i] / n;
    }
    double szz = 0, sza = 0, szr = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dz = a.local[i].z - zMean;
        szz += dz * dz;
        sza += dz * (angle[i] - angleMean);
        szr += dz * std::hypot(a.local[i].x, a.local[i].y);
    }
    if (!(szz > 0) || sza == 0) return;
    const double rate = sza / szz, splay = szr / szz;  // radians about z, and Angstrom out, per Angstrom along z
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Vec& p = a.local[i];
        const double phi = angleMean + rate * (p.z - zMean), r = radius + splay * (p.z - zMean);
        const Vec model{r * std::cos(phi), r * std::sin(phi), p.z};
        sum += dot(p - model, p - model);
    }
    const double straight = rms_distance_to_line(a.local, a.start, a.end);
    if (straight < 0.1 || std::sqrt(sum / n) > 0.75 * straight) return;
    g.winds = true;
    g.supercoilRadius = radius;
    g.supercoilPitch = 2 * pi / std::fabs(rate);
}

}  // namespace

BundleGeometry bundle_geometry(const std::vector<Point>& caOfProtomer1, int numProtomer) {
    BundleGeometry g{none, none, none, none, false, none, none};
    const Axis a = helix_axis(caOfProtomer1);
    if (!a.ok) return g;
    const Vec d = ideal::unit(a.end - a.start);
    g.axisRadius = std::hypot(a.centre.x, a.centre.y);
    g.tilt = std::acos(std::min(1.0, std::fabs(d.z))) * 180 / pi;
    fit_supercoil(a, g);
    if (numProtomer < 2) return g;
    // Protomer 2 is protomer 1 turned clockwise by one step.
    const double step = -2 * pi / numProtomer;
    const Vec start2 = turned(a.start, step), end2 = turned(a.end, step), d2 = ideal::unit(end2 - start2);
    g.axisDistance = segment_distance(a.start, a.end, start2, end2);
    // The dihedral's sign: whether d, d2 and the way from one line to the
    // other form a right-handed set.
    const double sign = dot(cross(d, d2), start2 - a.start) < 0 ? -1 : 1;
    g.crossingAngle = sign * std::acos(std::clamp(dot(d, d2), -1.0, 1.0)) * 180 / pi;
    return g;
}

std::vector<int> interface_residues(const std::vector<std::vector<Point>>& oligomer, const std::vector<int>& residueOf,
                                    const std::vector<char>& heavy) {
    constexpr double reach = 4.5;
    std::vector<Vec> others;  // heavy atoms of the other protomers, by z
    for (std::size_t q = 1; q < oligomer.size(); ++q)
        for (std::size_t j = 0; j < oligomer[q].size(); ++j)
            if (heavy[j]) others.push_back(vec(oligomer[q][j]));
    std::sort(others.begin(), others.end(), [](const Vec& a, const Vec& b) { return a.z < b.z; });
    std::vector<int> out;
    for (std::size_t i = 0; !oligomer.empty() && i < oligomer[0].size(); ++i) {
        if (!heavy[i]) continue;
        const Vec p = vec(oligomer[0][i]);
        auto j = std::lower_bound(others.begin(), others.end(), p.z - reach,
                                  [](const Vec& a, double z) { return a.z < z; });
        for (; j != others.end() && j->z <= p.z + reach; ++j)
            if (dot(*j - p, *j - p) <= reach * reach) {
                out.push_back(residueOf[i]);
                break;
            }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}
